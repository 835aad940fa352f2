#pragma once
#include <cstdint>

namespace platform {

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary epoch; seeds the random generator.
    virtual std::uint64_t NowMilliseconds() = 0;
};

}  // namespace platform
