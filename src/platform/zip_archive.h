#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace zelvan {

// One file of a zip archive: its path inside the archive ("/" between folders) and its
// bytes.
struct ZipEntry {
    QString name;
    QByteArray data;
};

// Reads every file of a zip archive (folders are skipped), in archive order. Throws
// ZelvanError naming `shownName` when the bytes are not a readable zip archive.
std::vector<ZipEntry> readZip(const QByteArray& archive, const QString& shownName);

// A zip archive of the entries, deflated, names in UTF-8.
QByteArray writeZip(const std::vector<ZipEntry>& entries);

}  // namespace zelvan
