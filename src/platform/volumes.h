#pragma once

#include <QtGlobal>
#include <optional>

namespace zelvan {

// A stable 32-bit identifier of the file system that holds the root folder "/",
// the counterpart of a system disk's volume serial number. Nothing when the system
// gives none.
std::optional<quint32> rootFileSystemId();

}  // namespace zelvan

#include <QString>
#include <vector>

namespace zelvan {

// A mounted volume as the medium dialog lists it.
struct Volume {
    QString root;    // the mount point
    QString label;   // the volume's name, when it has one
    QString device;  // e.g. "/dev/sdb1"
    QString fileSystemType;
    bool ready = true;  // mounted and readable
};

// The kinds of drive the medium dialog tells apart.
enum class DriveKind { Unknown, NotFormatted, Removable, Fixed, Network, Optical, Ram };

// The mounted volumes of the system, the one holding the home folder first; pseudo file
// systems (proc, sysfs, cgroups and the like) are left out.
std::vector<Volume> mountedVolumes();

// The kind of a volume: by its file system type (network, optical, memory) or, for a
// block device, by the "removable" flag the kernel keeps under `sysfsRoot` ("/sys").
DriveKind driveKind(const Volume& volume, const QString& sysfsRoot = QStringLiteral("/sys"));

}  // namespace zelvan
