#include "exchange/data_exchange.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <fcntl.h>
#include <unistd.h>

#include "app/app_settings.h"
#include "app/config_file.h"
#include "model/backup.h"
#include "model/schema.h"
#include "model/tdm.h"
#include "platform/archive_extract.h"
#include "platform/database.h"
#include "platform/files.h"

namespace zelvan {

namespace {

const QString kAllDataFiles = QStringLiteral("AllDataFiles");
const QString kConfigName = QStringLiteral("Local_Zelvan.ini");
const QString kInstruction = QStringLiteral("Instrukcia_ROBOTA.doc");

// The templates and documents that travel with the database.
bool isDocument(const QString& name) {
    for (const char* suffix : {".doc", ".docx", ".frf"})
        if (name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive)) return true;
    return false;
}

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

// Copies a file over its target: written under a temporary name first, so that a
// failed copy leaves the old target whole. A failure is added to `failures`.
bool copyOver(const QString& source, const QString& target, QStringList& failures) {
    const QString name = QFileInfo(target).fileName();
    if (!QFileInfo(source).isFile()) {
        failures << QStringLiteral("%1: немає файлу \"%2\"").arg(name, shown(source));
        return false;
    }
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    QFile in(source);
    if (!in.copy(partial)) {
        failures << QStringLiteral("%1: %2").arg(name, in.errorString());
        QFile::remove(partial);
        return false;
    }
    QFile old(target);
    if (old.exists()) {
        old.setPermissions(old.permissions() | QFileDevice::WriteOwner);
        if (!old.remove()) {
            failures << QStringLiteral("%1: %2").arg(name, old.errorString());
            QFile::remove(partial);
            return false;
        }
    }
    QFile part(partial);
    if (!part.rename(target)) {
        failures << QStringLiteral("%1: %2").arg(name, part.errorString());
        QFile::remove(partial);
        return false;
    }
    return true;
}

void copyDocuments(const QString& from, const QString& to, QStringList& failures, const std::function<void()>& tick) {
    const QDir source(from);
    for (const QString& name : source.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
        if (!isDocument(name)) continue;
        copyOver(source.filePath(name), QDir(to).filePath(name), failures);
        if (tick) tick();
    }
}

// A database file holding one table of ours with its rows, filled through a connection
// of its own that reads the live database: nothing is attached to the program's own
// connection, which may have statements running.
void writeSingleTable(const Database& live, const QString& table, const QString& path) {
    const TableDef* def = findTable(table);
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    QFile::remove(path);
    QStringList columns;
    for (const ColumnDef& column : def->columns) {
        QString definition = column.name + u' ' + column.type;
        if (column.name == def->primaryKey) definition += QStringLiteral(" PRIMARY KEY");
        columns << definition;
    }
    try {
        Database single(partial, Database::Mode::Create);
        single.exec(QStringLiteral("attach database :file as live"), {{QStringLiteral(":file"), live.filePath()}});
        single.transaction([&] {
            // The names come from the program's own table list.
            single.exec(QStringLiteral("create table main.%1 (%2)").arg(def->name, columns.join(QStringLiteral(", "))));
            single.exec(QStringLiteral("insert into main.%1 (%2) select %2 from live.%1")
                            .arg(def->name, def->columnNames().join(QStringLiteral(", "))));
        });
        single.exec(QStringLiteral("detach database live"));
        // A file standing alone carries no journal beside it.
        single.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    } catch (...) {
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-wal"));
        QFile::remove(partial + QStringLiteral("-shm"));
        throw;
    }
    if (!QFile::rename(partial, path)) throw ExchangeError(QStringLiteral("Не вдалося записати файл \"%1\".").arg(shown(path)));
}

// Copies a file under a temporary name and gives it its name when complete.
void copyWhole(const QString& source, const QString& target) {
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    QFile in(source);
    if (!in.copy(partial))
        throw ExchangeError(QStringLiteral("Не вдалося записати файл \"%1\": %2").arg(shown(target), in.errorString()));
    QFile::remove(target);
    if (!QFile::rename(partial, target))
        throw ExchangeError(QStringLiteral("Не вдалося записати файл \"%1\".").arg(shown(target)));
}

// The values table alone: a snapshot of the database without the other tables. Writing
// the snapshot is far quicker than copying a million rows through SQL.
void keepValuesTableOnly(const QString& path) {
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::rename(path, partial))
        throw ExchangeError(QStringLiteral("Не вдалося записати файл \"%1\".").arg(shown(path)));
    {
        Database single(partial, Database::Mode::OpenExisting);
        single.transaction([&] {
            for (const TableDef& table : reportingTables())
                if (table.name != QStringLiteral("ZNACHENIE") && single.hasTable(table.name))
                    single.exec(QStringLiteral("drop table %1").arg(table.name));
        });
        // A file standing alone carries no journal beside it.
        single.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    }
    if (!QFile::rename(partial, path)) throw ExchangeError(QStringLiteral("Не вдалося записати файл \"%1\".").arg(shown(path)));
}

// Checks that a database file holds this program's tables; the text says what is wrong.
void checkDatabaseFile(const QString& path, const QString& what) {
    try {
        Database db(path, Database::Mode::OpenExisting);
        QSqlQuery check = db.exec(QStringLiteral("PRAGMA quick_check"));
        if (!check.next() || check.value(0).toString() != QStringLiteral("ok"))
            throw ExchangeError(QStringLiteral("%1 пошкоджена; нічого не змінено.").arg(what));
        check.finish();
        const QString problems = schemaProblems(db);
        if (!problems.isEmpty())
            throw ExchangeError(QStringLiteral("%1 не відповідає програмі (%2); нічого не змінено.").arg(what, problems));
    } catch (const ExchangeError&) {
        throw;
    } catch (const ZelvanError& error) {
        throw ExchangeError(QStringLiteral("%1 не читається (%2); нічого не змінено.").arg(what, error.message()));
    }
}

// What was written reaches the medium before the user is told to take it out.
void flushToMedium(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::syncfs(fd);
    ::close(fd);
}

}  // namespace

void writeValuesDatabase(TDM& dm, const QString& path) { writeSingleTable(dm.db(), QStringLiteral("ZNACHENIE"), path); }

QString mediumFolder(const QString& root, MediumUse use) {
    return QDir(root).filePath(use == MediumUse::Update ? QStringLiteral("LZelvan_Data/Out_Zelvan_Files")
                                                        : QStringLiteral("LZelvan_Data/In_Zelvan_Files"));
}

QString failedFilesMessage(const QString& firstLine, const QStringList& failedFiles) {
    return firstLine + QStringLiteral("\nНе вдалося скопіювати:\n") + failedFiles.join(u'\n');
}

ExchangeOutcome exportDataSet(TDM& dm, const ExchangePlaces& places, const QString& medium,
                              const std::function<void()>& tick) {
    const QString all = QDir(medium).filePath(kAllDataFiles);
    if (!QDir().mkpath(all))
        throw ExchangeError(QStringLiteral("Не вдалося створити папку \"%1\". Перевірте, чи вставлено носій і чи можна на "
                                           "нього записувати; дані не записано.")
                                .arg(shown(all)));
    ExchangeOutcome outcome;
    const Database& db = dm.db();
    // The database as one consistent snapshot, never a copy of the live file; the same
    // snapshot becomes the stand-alone values table.
    const QString snapshot = QDir(all).filePath(kDatabaseFileName);
    const QString values = QDir(medium).filePath(QStringLiteral("Znachenie.DB"));
    try {
        db.backupTo(snapshot, tick);
        copyWhole(snapshot, values);
    } catch (const ZelvanError& error) {
        throw ExchangeError(QStringLiteral("Не вдалося записати копію бази даних на носій: %1").arg(error.message()));
    }
    copyDocuments(places.dbDir, all, outcome.failedFiles, tick);
    copyOver(findFileIgnoringCase(places.ftpDirectory, kConfigName), QDir(all).filePath(kConfigName), outcome.failedFiles);
    try {
        keepValuesTableOnly(values);
    } catch (const ZelvanError& error) {
        outcome.failedFiles << QStringLiteral("Znachenie.DB: %1").arg(error.message());
    }
    if (tick) tick();
    try {
        writeSingleTable(db, QStringLiteral("SORG"), QDir(medium).filePath(QStringLiteral("SORG.DB")));
    } catch (const ZelvanError& error) {
        outcome.failedFiles << QStringLiteral("SORG.DB: %1").arg(error.message());
    }
    flushToMedium(medium);
    return outcome;
}

ExchangeOutcome returnDataSet(TDM& dm, const ExchangePlaces& places, const QString& medium, const QDateTime& now,
                              const std::function<void()>& tick) {
    const QString all = QDir(medium).filePath(kAllDataFiles);
    const QString snapshot = findFileIgnoringCase(all, kDatabaseFileName);
    if (!QFileInfo(snapshot).isFile())
        throw ExchangeError(QStringLiteral("На електронному носії нема потрібних файлів: [") + shown(all) + u']');
    // The medium's database is taken into the database folder first and checked there:
    // a medium pulled out half-way or a damaged copy changes nothing.
    QTemporaryDir staging(QDir(places.dbDir).filePath(QStringLiteral(".return-XXXXXX")));
    if (!staging.isValid())
        throw ExchangeError(QStringLiteral("Не вдалося створити тимчасову папку в \"%1\"; нічого не змінено.").arg(shown(places.dbDir)));
    const QString copy = staging.filePath(kDatabaseFileName);
    if (!QFile::copy(snapshot, copy))
        throw ExchangeError(QStringLiteral("Не вдалося прочитати \"%1\" з носія; нічого не змінено.").arg(shown(snapshot)));
    checkDatabaseFile(copy, QStringLiteral("База даних на носії"));

    ExchangeOutcome outcome;
    const Database& db = dm.db();
    outcome.backupPath = writeBackup(db, places.dbDir, now);
    try {
        db.restoreFrom(copy, tick);
    } catch (const ZelvanError& error) {
        throw ExchangeError(QStringLiteral("Базу даних не вдалося замінити (%1); дані не змінено.").arg(error.message()));
    }
    dm.probe();
    copyDocuments(all, places.dbDir, outcome.failedFiles, tick);
    copyOver(findFileIgnoringCase(all, kConfigName), QDir(places.ftpDirectory).filePath(kConfigName), outcome.failedFiles);
    return outcome;
}

std::optional<QString> findUpdateArchive(const QString& folder) {
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        for (const char* suffix : {".rar", ".zip", ".7z"})
            if (name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive)) return dir.filePath(name);
    }
    return std::nullopt;
}

ExchangeOutcome applyStructureUpdate(TDM& dm, const ExchangePlaces& places, const QString& medium,
                                     const QDateTime& now, const UserLocale& locale,
                                     const std::function<void()>& tick) {
    const auto archive = findUpdateArchive(medium);
    if (!archive) throw ExchangeError(QStringLiteral("На електронному носії немає потрібного файла!"));
    return applyUpdateArchive(dm, places, *archive, now, locale, tick);
}

ExchangeOutcome applyUpdateArchive(TDM& dm, const ExchangePlaces& places, const QString& archivePath,
                                   const QDateTime& now, const UserLocale& locale, const std::function<void()>& tick) {
    const std::optional<QString> archive = archivePath;
    const QString archiveName = QFileInfo(*archive).fileName();

    // The archive's copy in the database folder, then its content in a staging folder.
    QStringList failures;
    const QString local = QDir(places.dbDir).filePath(archiveName);
    if (!copyOver(*archive, local, failures))
        throw ExchangeError(QStringLiteral("Архів не вдалося скопіювати з носія (%1); нічого не змінено.").arg(failures.join(u' ')));
    QTemporaryDir staging(QDir(places.dbDir).filePath(QStringLiteral(".update-XXXXXX")));
    if (!staging.isValid())
        throw ExchangeError(QStringLiteral("Не вдалося створити тимчасову папку в \"%1\"; нічого не змінено.").arg(shown(places.dbDir)));
    QStringList files = extractArchive(local, staging.path(), {}, tick);
    files.sort();

    QString staged;
    for (const QString& file : files)
        if (QFileInfo(file).fileName().compare(kDatabaseFileName, Qt::CaseInsensitive) == 0 && staged.isEmpty())
            staged = staging.filePath(file);
    if (staged.isEmpty())
        throw ExchangeError(QStringLiteral("В архіві \"%1\" немає бази даних %2; нічого не змінено.").arg(archiveName, kDatabaseFileName));

    // Which of our tables the archive brings, each with every column of ours.
    std::vector<const TableDef*> tables;
    bool archiveHasCard = false;
    QString archiveObj, archiveStan;
    try {
        Database update(staged, Database::Mode::OpenExisting);
        QStringList problems;
        for (const TableDef& table : reportingTables()) {
            if (!update.hasTable(table.name)) continue;
            QSqlQuery info = update.exec(QStringLiteral("select name from pragma_table_info(:t)"), {{QStringLiteral(":t"), table.name}});
            QStringList present;
            while (info.next()) present << info.value(0).toString().toUpper();
            for (const QString& column : table.columnNames())
                if (!present.contains(column.toUpper())) problems << table.name + u'.' + column;
            tables.push_back(&table);
        }
        if (tables.empty()) problems << QStringLiteral("немає жодної таблиці звітності");
        if (!problems.isEmpty())
            throw ExchangeError(QStringLiteral("База даних в архіві \"%1\" не відповідає програмі (%2); нічого не змінено.")
                                    .arg(archiveName, problems.join(QStringLiteral(", "))));
        archiveHasCard = update.hasTable(QStringLiteral("SORG"));
        if (archiveHasCard) {
            QSqlQuery card = update.exec(QStringLiteral("select sys_name, soft_name from sorg"));
            while (card.next()) {
                if (card.value(0).toString() == QStringLiteral("Kod_Obj")) archiveObj = card.value(1).toString();
                if (card.value(0).toString() == QStringLiteral("Kod_Stan")) archiveStan = card.value(1).toString();
            }
        }
    } catch (const ExchangeError&) {
        throw;
    } catch (const ZelvanError& error) {
        throw ExchangeError(QStringLiteral("Базу даних в архіві \"%1\" не вдалося прочитати (%2); нічого не змінено.")
                                .arg(archiveName, error.message()));
    }

    const Database& db = dm.db();
    // The user's card stays when the archive's is for the same organisation and state.
    QString userObj, userStan;
    {
        QSqlQuery card = db.exec(QStringLiteral("select sys_name, soft_name from sorg"));
        while (card.next()) {
            if (card.value(0).toString() == QStringLiteral("Kod_Obj")) userObj = card.value(1).toString();
            if (card.value(0).toString() == QStringLiteral("Kod_Stan")) userStan = card.value(1).toString();
        }
    }
    const auto sameNumber = [](const QString& a, const QString& b) {
        bool okA = false, okB = false;
        const double x = a.trimmed().toDouble(&okA);
        const double y = b.trimmed().toDouble(&okB);
        return okA && okB && x == y;
    };
    ExchangeOutcome outcome;
    outcome.cardKept = !archiveHasCard || (sameNumber(archiveObj, userObj) && sameNumber(archiveStan, userStan));

    outcome.backupPath = writeBackup(db, places.dbDir, now);
    db.exec(QStringLiteral("attach database :file as upd"), {{QStringLiteral(":file"), staged}});
    try {
        db.transaction([&] {
            for (const TableDef* table : tables) {
                if (table->name == QStringLiteral("SORG") && outcome.cardKept) continue;
                // Table and column names come from the program's own table list.
                const QString columns = table->columnNames().join(QStringLiteral(", "));
                db.exec(QStringLiteral("delete from main.%1").arg(table->name));
                db.exec(QStringLiteral("insert into main.%1 (%2) select %2 from upd.%1").arg(table->name, columns));
                if (tick) tick();
            }
        });
    } catch (const ZelvanError& error) {
        db.exec(QStringLiteral("detach database upd"));
        throw ExchangeError(QStringLiteral("Таблиці з архіву \"%1\" не вдалося записати (%2); дані не змінено.")
                                .arg(archiveName, error.message()));
    }
    db.exec(QStringLiteral("detach database upd"));
    dm.probe();

    // The other files of the archive into the database folder, with their inner paths.
    for (const QString& file : files) {
        if (staging.filePath(file) == staged) continue;
        const QString target = QDir(places.dbDir).filePath(file);
        QDir().mkpath(QFileInfo(target).path());
        copyOver(staging.filePath(file), target, outcome.failedFiles);
    }
    // The instruction document also into the program's folder, read-only there.
    for (const QString& file : files) {
        if (QFileInfo(file).fileName().compare(kInstruction, Qt::CaseInsensitive) != 0) continue;
        if (!places.programDir.isEmpty() && QFileInfo(places.programDir).isWritable()) {
            const QString target = QDir(places.programDir).filePath(kInstruction);
            if (copyOver(staging.filePath(file), target, outcome.failedFiles))
                QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        }
        break;
    }

    // The configuration file takes the new codes and period; its other lines stay.
    ConfigFile config = QFileInfo::exists(places.configPath) ? ConfigFile::load(places.configPath) : ConfigFile();
    {
        QSqlQuery obj = db.exec(QStringLiteral("Select * From Sorg Where SYS_Name = :n"), {{QStringLiteral(":n"), QStringLiteral("Kod_Obj")}});
        config.setValue(key::FTP_KOD_OBJ, obj.next() ? obj.value(QStringLiteral("SOFT_NAME")).toString() : QString());
        QSqlQuery stan = db.exec(QStringLiteral("Select * From Sorg Where SYS_Name = :n"), {{QStringLiteral(":n"), QStringLiteral("Kod_Stan")}});
        config.setValue(key::FTP_KOD_STAN, stan.next() ? stan.value(QStringLiteral("SOFT_NAME")).toString() : QString());
        QSqlQuery period = db.exec(QStringLiteral("Select * From Danper"));
        if (period.next()) {
            config.setValue(key::FTP_KOD_DANPER, period.value(QStringLiteral("KOD_DANPER")).toString());
            config.setValue(key::LocPeriod, locale.formatDate(fromIsoDate(period.value(QStringLiteral("NACHALO")).toString())));
        }
    }
    try {
        config.save(places.configPath);
    } catch (const ZelvanError& error) {
        outcome.failedFiles << QStringLiteral("%1: %2").arg(QFileInfo(places.configPath).fileName(), error.message());
    }
    return outcome;
}

}  // namespace zelvan
