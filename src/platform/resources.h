#pragma once
#include <string>

namespace platform {

enum class IconStrip { Large, Small };  // 1600 x 100 and 800 x 50 pixels

// The PNG bytes of a strip built into the program.
std::string IconStripBytes(IconStrip strip);

}  // namespace platform
