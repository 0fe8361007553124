// Export of a data set from a database holding 1,000,000 values, against a plain copy of
// that database file, measured in the same run.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "exchange/data_exchange.h"
#include "model/database_folder.h"
#include "model/schema.h"
#include "model/tdm.h"

using namespace zelvan;

namespace {

struct Fixture {
    QTemporaryDir dir;
    QString dbPath;
    ExchangePlaces places;
    Fixture() {
        places.dbDir = dir.filePath(QStringLiteral("db"));
        places.ftpDirectory = dir.filePath(QStringLiteral("ftp"));
        dbPath = createDatabaseFolder(places.dbDir, true);
        QDir().mkpath(places.ftpDirectory);
        QFile ini(QDir(places.ftpDirectory).filePath(QStringLiteral("Local_Zelvan.ini")));
        if (ini.open(QIODevice::WriteOnly)) ini.write("DB_Dir=x\r\n");
        sqlite3* db = nullptr;
        sqlite3_open(dbPath.toUtf8().constData(), &db);
        sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db,
                           "insert into ZNACHENIE (KOD_FORM, KOD_OBJ, KOD_STAN, KOD_DANPER, KOD_K, KOD_F, KOD_Z, KOD_G, "
                           "NOMER_COL, NOMER_ROW, ZNACHENIE, CHECK_KONTROL) values (?1, ?2, 1, 41, 1, 2, 3, 4, ?3, ?4, ?5, 1)",
                           -1, &insert, nullptr);
        for (int i = 0; i < 1000000; ++i) {
            sqlite3_bind_int(insert, 1, 500 + i % 50);
            sqlite3_bind_int(insert, 2, 1000 + i / 20000);
            sqlite3_bind_int(insert, 3, 3 + i % 20);
            sqlite3_bind_int(insert, 4, 3 + (i / 20) % 1000);
            sqlite3_bind_double(insert, 5, i * 1.25);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_Export(benchmark::State& state) {
    Fixture& f = fixture();
    TDM dm;
    dm.pointAt(f.places.dbDir);
    dm.probe();
    const QString medium = f.dir.filePath(QStringLiteral("usb"));
    for (auto _ : state) {
        const ExchangeOutcome outcome = exportDataSet(dm, f.places, medium);
        if (!outcome.failedFiles.isEmpty()) state.SkipWithError("files failed");
    }
    state.counters["MB"] = double(QFileInfo(f.dbPath).size()) / (1 << 20);
}

void BM_FileCopy(benchmark::State& state) {
    Fixture& f = fixture();
    const QString target = f.dir.filePath(QStringLiteral("copy.sqlite"));
    for (auto _ : state) {
        QFile::remove(target);
        if (!QFile::copy(f.dbPath, target)) state.SkipWithError("copy failed");
    }
}

}  // namespace

BENCHMARK(BM_Export)->Name("export/zelvan")->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_FileCopy)->Name("export/file_copy")->Unit(benchmark::kMillisecond)->MinTime(2);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    fixture();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
