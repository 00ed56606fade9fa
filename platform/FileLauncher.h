#pragma once
// Every file handed to the desktop goes through a FileLauncher, as every read of the clock goes
// through a TimeSource, so that tests see what would be opened without opening anything.
#include <string>

#include "platform/Process.h"
#include "platform/Status.h"

namespace quilvane {

class FileLauncher {
public:
    virtual ~FileLauncher() = default;
    // Opens `path` (a disk path) with the desktop's handler; fails with the reason when nothing
    // could open it.
    [[nodiscard]] virtual Status Open(const std::string& path) const = 0;
};

// The desktop's own handler, started as ShellOpen starts it.
class DesktopLauncher final : public FileLauncher {
public:
    Status Open(const std::string& path) const override { return ShellOpen(path); }
};

} // namespace quilvane
