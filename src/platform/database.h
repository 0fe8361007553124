#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>
#include <initializer_list>
#include <utility>

namespace zelvan {

// A named parameter and its value, for statements with :NAME placeholders.
using Binding = std::pair<QString, QVariant>;

// One connection to the reporting database file (SQLite through QtSql).
// Every failure throws DatabaseError with the engine's text.
class Database {
public:
    enum class Mode {
        OpenExisting,  // the file must exist; it is never created by accident
        Create,        // the file must not exist yet
    };

    Database(const QString& filePath, Mode mode);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& filePath() const { return filePath_; }
    QSqlDatabase handle() const;

    // A statement prepared once, to be bound and run many times.
    QSqlQuery prepare(const QString& sql) const;

    // Runs a prepared statement after binding the values; throws on failure.
    static void run(QSqlQuery& query, std::initializer_list<Binding> bindings = {});

    // Prepares and runs a statement; the result stays readable in the returned query.
    QSqlQuery exec(const QString& sql, std::initializer_list<Binding> bindings = {}) const;

    // Runs `work` inside one transaction: all its writes take effect or none.
    void transaction(const std::function<void()>& work) const;

    // Writes a consistent copy of the whole database into a new file.
    void copyTo(const QString& path) const;

    // The same by the engine's page copy, much faster for a large database: the copy is
    // written under a temporary name beside `path` and takes its name when complete.
    // `tick` is called between steps, so that a window can stay responsive.
    void backupTo(const QString& path, const std::function<void()>& tick = {}) const;

    // Replaces the whole content of this database by that of the database file at `path`
    // in one step: all or nothing. No statement of this connection may be running.
    void restoreFrom(const QString& path, const std::function<void()>& tick = {}) const;

    // True when the database has a table of this name (any letter case).
    bool hasTable(const QString& name) const;

private:
    QString connectionName_;
    QString filePath_;
};

// One result row of a bulk read, read straight from the engine.
class RowReader {
public:
    explicit RowReader(void* statement) : statement_(statement) {}
    bool isNull(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;

private:
    void* statement_;
};

// A statement prepared once with the engine's own interface, for the lookups that run
// thousands of times in one control run: integers bound by position, one row read at a
// time, no QVariant on the way. It must not outlive its Database. Throws DatabaseError.
class FastStatement {
public:
    FastStatement(const Database& db, const QString& sql);
    ~FastStatement();
    FastStatement(const FastStatement&) = delete;
    FastStatement& operator=(const FastStatement&) = delete;

    // Binds the integers to ?1, ?2, … and runs the statement up to its first row;
    // false when it has none.
    bool first(std::initializer_list<qint64> values);
    const RowReader& row() const { return reader_; }
    // Ends the run, so that an unfinished read holds no lock.
    void finish();

private:
    void* connection_ = nullptr;
    void* statement_ = nullptr;
    RowReader reader_{nullptr};
};

// Reads every row of a statement with the engine's own interface, without a QVariant for
// every value: the way to load thousands of values at once. Throws DatabaseError.
void forEachRow(const Database& db, const QString& sql, std::initializer_list<Binding> bindings,
                const std::function<void(const RowReader&)>& row);

// The user-readable text of a failed statement.
QString databaseErrorText(const QSqlQuery& query);

}  // namespace zelvan
