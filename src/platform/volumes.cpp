#include "platform/volumes.h"

#include <sys/statvfs.h>

namespace zelvan {

std::optional<quint32> rootFileSystemId() {
    struct statvfs info {};
    if (statvfs("/", &info) != 0) return std::nullopt;
    const auto fsid = static_cast<unsigned long long>(info.f_fsid);
    if (fsid == 0) return std::nullopt;
    // The file system id may be 64 bits wide (ext4 folds its UUID into it); fold both
    // halves so that every bit of it counts.
    return static_cast<quint32>((fsid & 0xffffffffULL) ^ (fsid >> 32));
}

}  // namespace zelvan
