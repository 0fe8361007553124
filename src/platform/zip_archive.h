#pragma once

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

namespace zelvan {

// One file of a zip archive: its path inside the archive ("/" between folders) and its
// bytes.
struct ZipEntry {
    ZipEntry() = default;
    ZipEntry(QString name, QByteArray data, QString linkTarget = {})
        : name(std::move(name)), data(std::move(data)), linkTarget(std::move(linkTarget)) {}

    QString name;
    QByteArray data;
    QString linkTarget;  // when set, the entry is a symbolic link to it (no data)
};

enum class ArchiveFormat { Zip, SevenZip };

// Reads every file of a zip archive (folders are skipped), in archive order. Throws
// ZelvanError naming `shownName` when the bytes are not a readable zip archive.
std::vector<ZipEntry> readZip(const QByteArray& archive, const QString& shownName);

// A zip archive of the entries, deflated, names in UTF-8.
QByteArray writeZip(const std::vector<ZipEntry>& entries);

// An archive of the entries in the format, names in UTF-8.
QByteArray writeArchive(const std::vector<ZipEntry>& entries, ArchiveFormat format);

}  // namespace zelvan
