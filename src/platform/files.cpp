#include "platform/files.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "app/error.h"

namespace zelvan {

namespace {

QString findExisting(const QString& folder, const QString& name) {
    const QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(name))) return dir.filePath(name);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
    }
    return {};
}

}  // namespace

QString findFileIgnoringCase(const QString& folder, const QString& name) {
    const QString found = findExisting(folder, name);
    return found.isEmpty() ? QDir(folder).filePath(name) : found;
}

bool fileExistsIgnoringCase(const QString& folder, const QString& name) {
    return !findExisting(folder, name).isEmpty();
}

void writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw ZelvanError(QStringLiteral("Не вдалося записати файл \"%1\": %2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        throw ZelvanError(QStringLiteral("Не вдалося записати файл \"%1\": %2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
}

}  // namespace zelvan
