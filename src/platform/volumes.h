#pragma once

#include <QtGlobal>
#include <optional>

namespace zelvan {

// A stable 32-bit identifier of the file system that holds the root folder "/",
// the counterpart of a system disk's volume serial number. Nothing when the system
// gives none.
std::optional<quint32> rootFileSystemId();

}  // namespace zelvan
