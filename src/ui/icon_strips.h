#pragma once
#include "platform/resources.h"
#include "platform/window/peer.h"

namespace ui {

// Decodes a built-in strip with libpng into cells of its own height (100 x 100
// or 50 x 50), with the larger renderings of the same icons the program has;
// an undecodable strip gives an empty strip.
ImageStrip LoadIconStrip(platform::IconStrip which);

}  // namespace ui
