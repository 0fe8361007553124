#pragma once

#include <QString>

namespace zelvan {

// Creates a new database folder (made when missing) holding a reporting database
// with every table and index. With `withDemo` the tables are filled with the demo
// reporting set. Refuses, with ZelvanError, a folder that already holds a database.
// Returns the path of the database file.
QString createDatabaseFolder(const QString& folder, bool withDemo);

// Writes the Word templates of the demo forms (.docx) into a database folder.
void writeDemoTemplates(const QString& folder);

// Reads one demo table text (tab-separated; the first line names the columns; an
// empty field is NULL; "\t", "\n" and "\\" stand for a tab, a line break and a
// backslash) into the named table. Columns must be those of the table.
class Database;
void loadTableText(const Database& db, const QString& table, const QByteArray& text);

}  // namespace zelvan
