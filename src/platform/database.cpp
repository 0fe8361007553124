#include "platform/database.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QScopeGuard>
#include <QSqlError>
#include <sqlite3.h>

#include "app/error.h"

namespace zelvan {

namespace {

QString nextConnectionName() {
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("zelvan-%1").arg(counter.fetchAndAddRelaxed(1));
}

QString errorText(const QSqlError& error) {
    QString text = error.databaseText();
    if (text.isEmpty()) text = error.driverText();
    if (text.isEmpty()) text = error.text();
    return text;
}

[[noreturn]] void fail(const QString& what) {
    throw DatabaseError(QStringLiteral("Помилка бази даних: %1").arg(what));
}

}  // namespace

QString databaseErrorText(const QSqlQuery& query) { return errorText(query.lastError()); }

Database::Database(const QString& filePath, Mode mode)
    : connectionName_(nextConnectionName()), filePath_(filePath) {
    const bool exists = QFileInfo::exists(filePath);
    if (mode == Mode::OpenExisting && !exists) {
        throw DatabaseError(QStringLiteral("Файл бази даних \"%1\" не знайдено.")
                                .arg(QDir::toNativeSeparators(filePath)));
    }
    if (mode == Mode::Create && exists) {
        throw DatabaseError(QStringLiteral("Файл бази даних \"%1\" уже існує.")
                                .arg(QDir::toNativeSeparators(filePath)));
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    db.setDatabaseName(filePath);
    if (!db.open()) {
        const QString text = errorText(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName_);
        fail(text);
    }
    try {
        // WAL keeps readers and the single writer apart and makes commits cheap;
        // the first statement also tells whether the file is a database at all.
        // New databases take larger pages: a large database then copies and checks in
        // far fewer steps. (An existing file keeps the page size it was made with.)
        if (mode == Mode::Create) exec(QStringLiteral("PRAGMA page_size=16384"));
        exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
        // Reads through a memory map: no system call per page for large reads and copies.
        exec(QStringLiteral("PRAGMA mmap_size=1073741824"));
    } catch (...) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName_);
        throw;
    }
}

Database::~Database() {
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

QSqlDatabase Database::handle() const { return QSqlDatabase::database(connectionName_, false); }

QSqlQuery Database::prepare(const QString& sql) const {
    QSqlQuery query(handle());
    query.setForwardOnly(true);
    if (!query.prepare(sql)) fail(errorText(query.lastError()));
    return query;
}

void Database::run(QSqlQuery& query, std::initializer_list<Binding> bindings) {
    for (const auto& [name, value] : bindings) query.bindValue(name, value);
    if (!query.exec()) fail(errorText(query.lastError()));
}

QSqlQuery Database::exec(const QString& sql, std::initializer_list<Binding> bindings) const {
    QSqlQuery query = prepare(sql);
    run(query, bindings);
    return query;
}

void Database::transaction(const std::function<void()>& work) const {
    QSqlDatabase db = handle();
    if (!db.transaction()) fail(errorText(db.lastError()));
    try {
        work();
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit()) {
        const QString text = errorText(db.lastError());
        db.rollback();
        fail(text);
    }
}

void Database::copyTo(const QString& path) const {
    exec(QStringLiteral("vacuum into :file"), {{QStringLiteral(":file"), path}});
}

namespace {

sqlite3* engineConnection(const Database& db);

// Copies every page of one database into another; throws with the engine's text.
void copyPages(sqlite3* destination, sqlite3* source, const std::function<void()>& tick) {
    sqlite3_backup* backup = sqlite3_backup_init(destination, "main", source, "main");
    if (!backup) fail(QString::fromUtf8(sqlite3_errmsg(destination)));
    int rc;
    // Steps of about 4 MB keep a window responsive without slowing the copy.
    while ((rc = sqlite3_backup_step(backup, 8192)) == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (tick) tick();
        if (rc != SQLITE_OK) sqlite3_sleep(20);
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) fail(QString::fromUtf8(sqlite3_errstr(rc)));
}

struct Connection {
    sqlite3* handle = nullptr;
    ~Connection() { sqlite3_close_v2(handle); }
};

}  // namespace

void Database::backupTo(const QString& path, const std::function<void()>& tick) const {
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    {
        Connection target;
        if (sqlite3_open_v2(partial.toUtf8().constData(), &target.handle,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
            const QString why = QString::fromUtf8(sqlite3_errmsg(target.handle));
            fail(QStringLiteral("не вдалося створити файл \"%1\": %2").arg(QDir::toNativeSeparators(partial), why));
        }
        try {
            // The copy is a new file under a temporary name: it needs no journal of its
            // own. (Whoever needs it on the disk at once syncs it.)
            sqlite3_exec(target.handle, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
            copyPages(target.handle, engineConnection(*this), tick);
        } catch (...) {
            sqlite3_close_v2(target.handle);
            target.handle = nullptr;
            QFile::remove(partial);
            throw;
        }
    }
    QFile::remove(path);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        fail(QStringLiteral("не вдалося записати файл \"%1\"").arg(QDir::toNativeSeparators(path)));
    }
}

void Database::restoreFrom(const QString& path, const std::function<void()>& tick) const {
    Connection source;
    if (sqlite3_open_v2(path.toUtf8().constData(), &source.handle, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK)
        fail(QString::fromUtf8(sqlite3_errmsg(source.handle)));
    copyPages(engineConnection(*this), source.handle, tick);
}

bool Database::hasTable(const QString& name) const {
    QSqlQuery query = exec(
        QStringLiteral("select 1 from sqlite_master where type in ('table', 'view') "
                       "and name = :name collate nocase"),
        {{QStringLiteral(":name"), name}});
    return query.next();
}

bool RowReader::isNull(int column) const {
    return sqlite3_column_type(static_cast<sqlite3_stmt*>(statement_), column) == SQLITE_NULL;
}

qint64 RowReader::integer(int column) const {
    return sqlite3_column_int64(static_cast<sqlite3_stmt*>(statement_), column);
}

double RowReader::real(int column) const { return sqlite3_column_double(static_cast<sqlite3_stmt*>(statement_), column); }

namespace {

sqlite3* engineConnection(const Database& db) {
    const QVariant handle = db.handle().driver()->handle();
    sqlite3* connection = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
                              ? *static_cast<sqlite3* const*>(handle.data())
                              : nullptr;
    if (!connection) fail(QStringLiteral("немає з'єднання з базою даних"));
    return connection;
}

}  // namespace

FastStatement::FastStatement(const Database& db, const QString& sql) {
    sqlite3* connection = engineConnection(db);
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(connection, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &statement,
                           nullptr) != SQLITE_OK)
        fail(QString::fromUtf8(sqlite3_errmsg(connection)));
    connection_ = connection;
    statement_ = statement;
    reader_ = RowReader(statement);
}

FastStatement::~FastStatement() { sqlite3_finalize(static_cast<sqlite3_stmt*>(statement_)); }

void FastStatement::finish() { sqlite3_reset(static_cast<sqlite3_stmt*>(statement_)); }

bool FastStatement::first(std::initializer_list<qint64> values) {
    auto* statement = static_cast<sqlite3_stmt*>(statement_);
    sqlite3_reset(statement);
    int index = 1;
    for (const qint64 value : values) {
        if (sqlite3_bind_int64(statement, index++, value) != SQLITE_OK)
            fail(QString::fromUtf8(sqlite3_errmsg(static_cast<sqlite3*>(connection_))));
    }
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) return true;
    sqlite3_reset(statement);
    if (rc != SQLITE_DONE) fail(QString::fromUtf8(sqlite3_errmsg(static_cast<sqlite3*>(connection_))));
    return false;
}

void forEachRow(const Database& db, const QString& sql, std::initializer_list<Binding> bindings,
                const std::function<void(const RowReader&)>& row) {
    sqlite3* connection = engineConnection(db);
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(connection, text.constData(), int(text.size()), &statement, nullptr) != SQLITE_OK)
        fail(QString::fromUtf8(sqlite3_errmsg(connection)));
    const auto finish = qScopeGuard([&] { sqlite3_finalize(statement); });
    for (const auto& [name, value] : bindings) {
        const int index = sqlite3_bind_parameter_index(statement, name.toUtf8().constData());
        if (index == 0) fail(QStringLiteral("немає параметра %1").arg(name));
        int rc = SQLITE_OK;
        if (value.isNull()) rc = sqlite3_bind_null(statement, index);
        else if (value.typeId() == QMetaType::Double) rc = sqlite3_bind_double(statement, index, value.toDouble());
        else if (value.typeId() == QMetaType::QString) {
            const QByteArray bytes = value.toString().toUtf8();
            rc = sqlite3_bind_text(statement, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        } else rc = sqlite3_bind_int64(statement, index, value.toLongLong());
        if (rc != SQLITE_OK) fail(QString::fromUtf8(sqlite3_errmsg(connection)));
    }
    const RowReader reader(statement);
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) row(reader);
    if (rc != SQLITE_DONE) fail(QString::fromUtf8(sqlite3_errmsg(connection)));
}

}  // namespace zelvan
