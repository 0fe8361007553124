#include "platform/volumes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>
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

namespace zelvan {

namespace {

bool oneOf(const QString& type, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (type == QLatin1String(name)) return true;
    return false;
}

// The whole disk of a partition's device name: "sdb1" → "sdb", "nvme0n1p2" → "nvme0n1",
// "mmcblk0p1" → "mmcblk0".
QString diskOf(const QString& device) {
    static const QRegularExpression partitioned(QStringLiteral("^((?:nvme\\d+n\\d+)|(?:mmcblk\\d+)|(?:loop\\d+))p\\d+$"));
    static const QRegularExpression plain(QStringLiteral("^([a-z]+)\\d+$"));
    if (const auto m = partitioned.match(device); m.hasMatch()) return m.captured(1);
    if (const auto m = plain.match(device); m.hasMatch()) return m.captured(1);
    return device;
}

}  // namespace

std::vector<Volume> mountedVolumes() {
    std::vector<Volume> volumes;
    const QString home = QStorageInfo(QDir::homePath()).rootPath();
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        const QString type = QString::fromLatin1(storage.fileSystemType());
        if (oneOf(type, {"proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "securityfs", "pstore", "bpf",
                         "debugfs", "tracefs", "mqueue", "hugetlbfs", "configfs", "fusectl", "autofs", "binfmt_misc",
                         "efivarfs", "rpc_pipefs", "nsfs", "overlay"}) &&
            storage.rootPath() != home)
            continue;
        Volume v{storage.rootPath(), storage.name(), QString::fromLocal8Bit(storage.device()), type,
                 storage.isValid() && storage.isReady()};
        if (v.root == home) volumes.insert(volumes.begin(), v);
        else volumes.push_back(v);
    }
    return volumes;
}

DriveKind driveKind(const Volume& volume, const QString& sysfsRoot) {
    if (!volume.ready) return DriveKind::NotFormatted;
    const QString& type = volume.fileSystemType;
    if (type.isEmpty()) return DriveKind::Unknown;
    if (oneOf(type, {"iso9660", "udf"})) return DriveKind::Optical;
    if (oneOf(type, {"tmpfs", "ramfs"})) return DriveKind::Ram;
    if (oneOf(type, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "sshfs", "9p", "afs", "ceph", "glusterfs",
                     "fuse.glusterfs", "davfs", "fuse.davfs", "fuse.rclone", "fuse.gvfsd-fuse"}))
        return DriveKind::Network;
    if (!volume.device.startsWith(QStringLiteral("/dev/"))) return DriveKind::Unknown;
    // A block device: the kernel says whether its disk is removable.
    const QString device = QFileInfo(volume.device).canonicalFilePath().isEmpty()
                               ? volume.device.mid(5)
                               : QFileInfo(QFileInfo(volume.device).canonicalFilePath()).fileName();
    QFile flag(QDir(sysfsRoot).filePath(QStringLiteral("block/%1/removable").arg(diskOf(device))));
    if (!flag.open(QIODevice::ReadOnly)) return DriveKind::Fixed;
    return flag.readAll().trimmed() == "1" ? DriveKind::Removable : DriveKind::Fixed;
}

}  // namespace zelvan
