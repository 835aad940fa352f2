#pragma once
#include <string>

namespace platform {

// 1600 x 100 and 800 x 50 pixels; and 3200 x 200, the same icons for
// screens of high DPI (Windows build only).
enum class IconStrip { Large, Small, ExtraLarge };

// The PNG bytes of a strip built into the program; empty where it has none.
std::string IconStripBytes(IconStrip strip);

}  // namespace platform
