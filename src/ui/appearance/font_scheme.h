#pragma once
// The font scheme: one face for MainWindow, a size and a style per area,
// stored as list positions.
#include <array>
#include <optional>

#include "platform/window/definition.h"

namespace ui::appearance {

// Keys T1..T9 of section Text in storage order.
enum FontSlot {
    kFace,
    kTitleSize,
    kContentSize,
    kListSize,
    kHomeSize,
    kTitleStyle,
    kContentStyle,
    kListStyle,
    kHomeStyle,
    kFontSlotCount
};
inline constexpr std::array<const char*, kFontSlotCount> kFontKeyNames = {
    "T1", "T2", "T3", "T4", "T5", "T6", "T7", "T8", "T9"};
// The default scheme, written on first run and by "默认".
inline constexpr std::array<const char*, kFontSlotCount> kDefaultFontScheme = {
    "0", "8", "4", "6", "6", "1", "0", "1", "1"};

inline constexpr std::array<const char*, 5> kFontFaces = {"微软雅黑", "新宋体", "宋体", "仿宋",
                                                          "楷体"};
// Every area indexes this sequence; the title area sees its first 10 entries
// and the home page its first 14.
inline constexpr std::array<int, 18> kFontSizes = {8,  9,  10, 11, 12, 13, 14, 16, 18,
                                                   20, 22, 24, 26, 28, 32, 36, 48, 72};
inline constexpr int kStyleCount = 4;  // 常规, 粗体, 斜体, 粗斜体

// How many choices a key offers.
int ChoiceCount(FontSlot slot);

// The position a stored value names, compared as text: only "0" .. "n-1"
// spelled exactly match.
std::optional<int> ChoiceIndex(const Text& value, int count);

// Character height in pixels for a size in points on a 96-dpi screen.
int PointsToPixels(int points);

bool StyleIsBold(int style);
bool StyleIsItalic(int style);
Font WithStyle(Font font, int style);
Font WithPointSize(Font font, int points);

}  // namespace ui::appearance
