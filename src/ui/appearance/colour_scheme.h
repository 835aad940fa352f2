#pragma once
// The eight colours MainWindow is painted in and the three built-in schemes.
#include <array>
#include <functional>

#include "platform/window/definition.h"

namespace ui::appearance {

// The eight colour keys of section Color, in the order every command writes
// them. The built-in schemes and ColourScheme::values follow this order.
enum ColourSlot { kLog, kContent, kText1, kText2, kText3, kHome, kText4, kText5, kColourSlotCount };
inline constexpr std::array<const char*, kColourSlotCount> kColourKeyNames = {
    "Log", "Content", "Text1", "Text2", "Text3", "Home", "Text4", "Text5"};

using ColourScheme = std::array<Colour, kColourSlotCount>;

// Built-in scheme 1, 2 or 3 as its menu command writes it.
const ColourScheme& BuiltInColourScheme(int number);

// A stored value as a 24-bit colour: out-of-range numbers keep their low
// 24 bits so nothing but r, g and b reaches a control.
Colour ColourFromSetting(long long value);

// Three draws in the order red, green, blue; each draw is reduced to 0..255.
Colour RandomColour(const std::function<int()>& draw);

}  // namespace ui::appearance
