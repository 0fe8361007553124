// Opening and saving a large form, each against anchors measured in the same run.
//   open:  a form of 40 columns × 300 rows with 10,000 stored values, from the database to
//          the first paint, against a bare QTableView over a QAbstractTableModel of the same
//          texts, created and painted;
//   save:  3,000 cells into a database holding 1,000,000 values, against raw SQLite (one
//          transaction, one prepared insert, the same rows) and against one autocommit
//          insert per cell built as text.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QDir>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>

#include "app/environment.h"
#include "app/prompter.h"
#include "entry/form_entry.h"
#include "entry/input_znach_form.h"
#include "app/app_state.h"
#include "model/database_folder.h"
#include "model/schema.h"
#include "model/tdm.h"
#include "platform/database.h"

using namespace zelvan;

namespace {

constexpr int kCols = 40;
constexpr int kRows = 300;
constexpr int kForm = 500;

// Keys of the selection that is opened (10,000 values) and of the one that is saved (3,000).
const ValueKeys kOpenKeys{kForm, 41, 1, 1, 1, 2, 3, 4};
const ValueKeys kSaveKeys{kForm, 41, 1, 1, 9, 2, 3, 4};

class Silent final : public Prompter {
public:
    void message(MessageKind, const QString&) override {}
    void errorWithYesButton(const QString&) override {}
    bool question(MessageKind, const QString&, const QString&) override { return true; }
    int styledMessage(const QString&, TMsgDlgType, TMsgDlgButtons, const TMsgDlgStyle&) override { return mr::Yes; }
};

struct Fixture {
    QTemporaryDir dir;
    QString dbPath;
    Fixture() {
        dbPath = createDatabaseFolder(dir.path(), false);
        Database db(dbPath, Database::Mode::OpenExisting);
        db.transaction([&] {
            db.exec(QStringLiteral("insert into S_FORM (KOD_FORM, NOMER_FORM, NAME_FORM, KOD_DANPER, KOD_TYPE_ZVITNOST, "
                                   "KOD_TYPE_FORM, ROUNDTOWHOLE) values (:f, 50, 'Велика форма', 41, 1, 1, 0)"),
                    {{QStringLiteral(":f"), kForm}});
            QSqlQuery col = db.prepare(QStringLiteral("insert into S_COLUMN values (?, ?, ?, ?)"));
            for (int c = 1; c <= kCols; ++c) {
                for (const QVariant& v : {QVariant(kForm), QVariant(c), QVariant(c), QVariant(c <= 2 ? 1 : 0)})
                    col.addBindValue(v);
                Database::run(col);
            }
            QSqlQuery row = db.prepare(QStringLiteral("insert into S_ROW values (?, ?, ?, ?, 0)"));
            QSqlQuery cell = db.prepare(QStringLiteral("insert into DISABLE_CELL (KOD_FORM, NOMER_COL, NOMER_ROW, NAME_CELL, KOD_PRIZN) values (?, ?, ?, ?, 1)"));
            for (int r = 1; r <= kRows; ++r) {
                for (const QVariant& v : {QVariant(kForm), QVariant(r), QVariant(r), QVariant(r <= 2 ? 1 : 0)}) row.addBindValue(v);
                Database::run(row);
                for (const QVariant& v : {QVariant(kForm), QVariant(1), QVariant(r), QVariant(QStringLiteral("Показник рядка %1").arg(r))})
                    cell.addBindValue(v);
                Database::run(cell);
                for (const QVariant& v : {QVariant(kForm), QVariant(2), QVariant(r), QVariant(QString::number(1000 + r))})
                    cell.addBindValue(v);
                Database::run(cell);
            }
            QSqlQuery value = db.prepare(QStringLiteral(
                "insert into ZNACHENIE (KOD_FORM, KOD_OBJ, KOD_STAN, KOD_DANPER, KOD_K, KOD_F, KOD_Z, KOD_G, NOMER_COL, "
                "NOMER_ROW, ZNACHENIE, CHECK_KONTROL) values (?,?,?,?,?,?,?,?,?,?,?,1)"));
            const auto put = [&](const ValueKeys& k, int obj, int c, int r, double v) {
                for (const QVariant& x : {QVariant(k.kodForm), QVariant(obj), QVariant(k.kodStan), QVariant(k.kodDanper),
                                          QVariant(k.kodK), QVariant(k.kodF), QVariant(k.kodZ), QVariant(k.kodG), QVariant(c),
                                          QVariant(r), QVariant(v)})
                    value.addBindValue(x);
                Database::run(value);
            };
            int n = 0;
            for (int r = 3; r <= kRows && n < 10000; ++r)
                for (int c = 3; c <= kCols && n < 10000; ++c, ++n) put(kOpenKeys, 1, c, r, 1000.25 * n);
            n = 0;
            for (int r = 3; r <= kRows && n < 3000; ++r)
                for (int c = 3; c <= kCols && n < 3000; ++c, ++n) put(kSaveKeys, 1, c, r, 17.5 * n);
            // A million values of other organisations.
            for (int i = 0; i < 1000000; ++i) put(kOpenKeys, 1000 + i / 10000, 3 + i % 38, 3 + (i / 38) % 298, i);
        });
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// ---- open ---------------------------------------------------------------------------

// The program makes the entry window once and shows it for every form opened; one
// opening is the build from the database, the showing and the first paint.
void BM_OpenForm(benchmark::State& state) {
    AppState app;
    app.dm.pointAt(fixture().dir.path());
    Silent prompter;
    TInput_Znach_Form window(app, prompter);
    window.resize(1000, 650);
    window.setContextProvider([] {
        EntryContext c;
        c.selection.kodForm = kForm;
        c.selection.kodDanper = 41;
        c.selection.kodObj = 1;
        c.selection.kodStan = 1;
        c.selection.kodK = 1;
        c.selection.kodF = 2;
        c.selection.kodZ = 3;
        c.selection.kodG = 4;
        return c;
    });
    for (auto _ : state) {
        if (!window.FormShow()) state.SkipWithError("the form did not open");
        window.show();
        benchmark::DoNotOptimize(window.grab());
        window.hide();
    }
}

class TextModel : public QAbstractTableModel {
public:
    std::vector<QString> texts;
    int rows = 0, cols = 0;
    int rowCount(const QModelIndex& = {}) const override { return rows; }
    int columnCount(const QModelIndex& = {}) const override { return cols; }
    QVariant data(const QModelIndex& i, int role) const override {
        return role == Qt::DisplayRole ? QVariant(texts[size_t(i.row() * cols + i.column())]) : QVariant();
    }
};

void BM_BareTableView(benchmark::State& state) {
    // The same texts as the opened form shows.
    AppState app;
    app.dm.pointAt(fixture().dir.path());
    FormEntry entry(app.dm, app.locale, {});
    entry.build({kForm, QStringLiteral("50"), QStringLiteral("Велика форма")}, kOpenKeys);
    std::vector<QString> texts;
    for (int r = 0; r < entry.grid().rowCount(); ++r)
        for (int c = 0; c < entry.grid().colCount(); ++c) texts.push_back(entry.grid().text(c, r));
    for (auto _ : state) {
        TextModel model;
        model.texts = texts;
        model.rows = entry.grid().rowCount();
        model.cols = entry.grid().colCount();
        QTableView view;
        view.setModel(&model);
        view.resize(1000, 650);
        view.show();
        benchmark::DoNotOptimize(view.grab());
        view.hide();
    }
}

// ---- save ---------------------------------------------------------------------------

void BM_SaveForm(benchmark::State& state) {
    AppState app;
    app.dm.pointAt(fixture().dir.path());
    Silent prompter;
    FormEntry entry(app.dm, app.locale, {});
    entry.build({kForm, QStringLiteral("50"), QStringLiteral("Велика форма")}, kSaveKeys);
    for (auto _ : state) {
        if (!entry.save(kSaveKeys, prompter)) state.SkipWithError("the save stopped");
    }
}

// The rows the save writes, for the SQLite anchors.
std::vector<CellValue> saveRows() {
    std::vector<CellValue> rows;
    int n = 0;
    for (int r = 3; r <= kRows && n < 3000; ++r)
        for (int c = 3; c <= kCols && n < 3000; ++c, ++n) rows.push_back({c, r, 17.5 * n});
    return rows;
}

void BM_RawSqlite(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open(fixture().dbPath.toUtf8().constData(), &db);
    sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    const auto rows = saveRows();
    sqlite3_stmt* del = nullptr;
    sqlite3_prepare_v2(db, "delete from ZNACHENIE where KOD_FORM=?1 and KOD_OBJ=?2 and KOD_STAN=?3 and KOD_DANPER=?4 "
                           "and KOD_K=?5 and KOD_F=?6 and KOD_Z=?7 and KOD_G=?8", -1, &del, nullptr);
    sqlite3_stmt* ins = nullptr;
    sqlite3_prepare_v2(db, "insert into ZNACHENIE (KOD_FORM,KOD_OBJ,KOD_DANPER,NOMER_ROW,NOMER_COL,ZNACHENIE,CHECK_KONTROL,"
                           "KOD_STAN,KOD_F,KOD_K,KOD_Z,KOD_G) values (?,?,?,?,?,?,?,?,?,?,?,?)", -1, &ins, nullptr);
    const ValueKeys& k = kSaveKeys;
    for (auto _ : state) {
        sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
        const int keys[8] = {k.kodForm, k.kodObj, k.kodStan, k.kodDanper, k.kodK, k.kodF, k.kodZ, k.kodG};
        for (int i = 0; i < 8; ++i) sqlite3_bind_int(del, i + 1, keys[i]);
        sqlite3_step(del);
        sqlite3_reset(del);
        for (const CellValue& v : rows) {
            sqlite3_bind_int(ins, 1, k.kodForm);
            sqlite3_bind_int(ins, 2, k.kodObj);
            sqlite3_bind_int(ins, 3, k.kodDanper);
            sqlite3_bind_int(ins, 4, v.row);
            sqlite3_bind_int(ins, 5, v.col);
            sqlite3_bind_double(ins, 6, v.value);
            sqlite3_bind_int(ins, 7, 1);
            sqlite3_bind_int(ins, 8, k.kodStan);
            sqlite3_bind_int(ins, 9, k.kodF);
            sqlite3_bind_int(ins, 10, k.kodK);
            sqlite3_bind_int(ins, 11, k.kodZ);
            sqlite3_bind_int(ins, 12, k.kodG);
            if (sqlite3_step(ins) != SQLITE_DONE) state.SkipWithError(sqlite3_errmsg(db));
            sqlite3_reset(ins);
        }
        sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(del);
    sqlite3_finalize(ins);
    sqlite3_close(db);
}

// The naive way: a plain connection with the engine's default settings, every statement
// built as text and committed on its own.
void BM_AutocommitText(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open(fixture().dbPath.toUtf8().constData(), &db);
    const auto rows = saveRows();
    const ValueKeys& k = kSaveKeys;
    for (auto _ : state) {
        const std::string del = "delete from ZNACHENIE where KOD_FORM=" + std::to_string(k.kodForm) + " and KOD_OBJ=" +
                                std::to_string(k.kodObj) + " and KOD_STAN=" + std::to_string(k.kodStan) + " and KOD_DANPER=" +
                                std::to_string(k.kodDanper) + " and KOD_K=" + std::to_string(k.kodK) + " and KOD_F=" +
                                std::to_string(k.kodF) + " and KOD_Z=" + std::to_string(k.kodZ) + " and KOD_G=" +
                                std::to_string(k.kodG);
        sqlite3_exec(db, del.c_str(), nullptr, nullptr, nullptr);
        for (const CellValue& v : rows) {
            const std::string sql =
                "insert into ZNACHENIE (KOD_FORM,KOD_OBJ,KOD_DANPER,NOMER_ROW,NOMER_COL,ZNACHENIE,CHECK_KONTROL,KOD_STAN,"
                "KOD_F,KOD_K,KOD_Z,KOD_G) values (" + std::to_string(k.kodForm) + "," + std::to_string(k.kodObj) + "," +
                std::to_string(k.kodDanper) + "," + std::to_string(v.row) + "," + std::to_string(v.col) + ",\"" +
                std::to_string(v.value) + "\",1," + std::to_string(k.kodStan) + "," + std::to_string(k.kodF) + "," +
                std::to_string(k.kodK) + "," + std::to_string(k.kodZ) + "," + std::to_string(k.kodG) + ")";
            sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
        }
    }
    sqlite3_close(db);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    fixture();
    benchmark::RegisterBenchmark("open/zelvan", BM_OpenForm)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("open/bare_tableview", BM_BareTableView)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("save/zelvan", BM_SaveForm)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("save/raw_sqlite", BM_RawSqlite)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("save/autocommit_text", BM_AutocommitText)->Unit(benchmark::kMillisecond)->Iterations(2);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
