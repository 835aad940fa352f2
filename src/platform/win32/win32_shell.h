#pragma once
#include "platform/clock.h"
#include "platform/shell.h"

namespace platform {

// The shell's "open" verb through ShellExecuteW.
class Win32Shell : public Shell {
  public:
    bool Open(const Text& target) override;
};

// GetTickCount64: milliseconds since the system started.
class Win32Clock : public Clock {
  public:
    std::uint64_t NowMilliseconds() override;
};

}  // namespace platform
