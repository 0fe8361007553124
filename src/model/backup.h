#pragma once

#include <QDateTime>
#include <QString>

namespace zelvan {

class Database;

// Before an operation replaces or deletes many values, a copy of the whole database
// goes into the folder "backup" of the database folder, named by the date and time.
// Returns the copy's path; throws ZelvanError when it cannot be written, so that the
// operation does not go on without it.
QString writeBackup(const Database& db, const QString& dbDir, const QDateTime& now);

}  // namespace zelvan
