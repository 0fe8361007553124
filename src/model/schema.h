#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace zelvan {

class Database;

// The name of the database file in the database folder.
inline const QString kDatabaseFileName = QStringLiteral("zelvan.sqlite");

struct ColumnDef {
    QString name;
    QString type;  // the declared SQL type
};

struct TableDef {
    QString name;
    std::vector<ColumnDef> columns;
    QString primaryKey;  // empty when the table has none

    QStringList columnNames() const;
};

// Every table of the reporting database with its columns, in a fixed order.
const std::vector<TableDef>& reportingTables();

// The table of that name (any letter case); nullptr when there is none.
const TableDef* findTable(const QString& name);

// Creates every table and index in an empty database.
void createSchema(const Database& db);

// Creates the indexes the program's lookups rely on where a database lacks them (a
// database folder that came from elsewhere).
void ensureIndexes(const Database& db);

// Empty when the database holds every table with every column; otherwise a text that
// names what is missing.
QString schemaProblems(const Database& db);

}  // namespace zelvan
