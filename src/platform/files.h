#pragma once

#include <QByteArray>
#include <QString>

namespace zelvan {

// Path of the file called `name` in `folder`, found without regard to letter case.
// When the folder holds no such file, the path made of the name as given.
QString findFileIgnoringCase(const QString& folder, const QString& name);

// True when `folder` holds a file called `name` in any letter case.
bool fileExistsIgnoringCase(const QString& folder, const QString& name);

// Writes the whole file or nothing: the bytes go to a temporary file that replaces
// the target only when complete. Throws ZelvanError with the reason on failure.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace zelvan
