#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "app/error.h"

namespace zelvan {

// An archive that cannot or must not be unpacked; the message says which and why.
class ArchiveError : public ZelvanError {
public:
    using ZelvanError::ZelvanError;
};

// Limits that keep a hostile or broken archive from filling the disk.
struct ExtractLimits {
    qint64 maxTotalBytes = qint64(4) << 30;  // 4 GiB unpacked
    int maxEntries = 20000;
};

// Unpacks a RAR (4 or 5), ZIP or 7z archive, its kind told by its content, with its inner
// paths into `folder`: a staging folder, thrown away by the caller when this fails. An
// entry whose path is absolute or leaves the folder, a link that points outside it, or
// an archive beyond the limits is refused, and so is a damaged or truncated archive;
// nothing is ever written outside the folder. Links inside the folder are not made.
// Returns the relative paths of the files written. Throws ArchiveError naming the archive.
QStringList extractArchive(const QString& archivePath, const QString& folder, const ExtractLimits& limits = {},
                           const std::function<void()>& tick = {});

}  // namespace zelvan
