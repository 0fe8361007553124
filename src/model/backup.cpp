#include "model/backup.h"

#include <QDir>
#include <QFileInfo>

#include "app/error.h"
#include "platform/database.h"

namespace zelvan {

QString writeBackup(const Database& db, const QString& dbDir, const QDateTime& now) {
    const QString folder = QDir(dbDir).filePath(QStringLiteral("backup"));
    if (!QDir().mkpath(folder)) {
        throw ZelvanError(QStringLiteral("Не вдалося створити папку резервних копій \"%1\"; дані не змінено.")
                              .arg(QDir::toNativeSeparators(folder)));
    }
    const QString stem = QStringLiteral("zelvan-%1").arg(now.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")));
    QString path = QDir(folder).filePath(stem + QStringLiteral(".sqlite"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(QStringLiteral("%1-%2.sqlite").arg(stem).arg(n));
    try {
        db.copyTo(path);
    } catch (const ZelvanError& error) {
        throw ZelvanError(QStringLiteral("Не вдалося записати резервну копію бази даних \"%1\"; дані не змінено.\n%2")
                              .arg(QDir::toNativeSeparators(path), error.message()));
    }
    return path;
}

}  // namespace zelvan
