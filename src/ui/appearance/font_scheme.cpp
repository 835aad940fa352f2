#include "ui/appearance/font_scheme.h"

#include <string>

namespace ui::appearance {

int ChoiceCount(FontSlot slot) {
    switch (slot) {
        case kFace:
            return static_cast<int>(kFontFaces.size());
        case kTitleSize:
            return 10;
        case kContentSize:
        case kListSize:
            return static_cast<int>(kFontSizes.size());
        case kHomeSize:
            return 14;
        default:
            return kStyleCount;
    }
}

std::optional<int> ChoiceIndex(const Text& value, int count) {
    for (int i = 0; i < count; ++i) {
        if (value == std::to_string(i)) return i;
    }
    return std::nullopt;
}

int PointsToPixels(int points) {
    return (points * 96 + 36) / 72;
}

bool StyleIsBold(int style) {
    return style == 1 || style == 3;
}

bool StyleIsItalic(int style) {
    return style == 2 || style == 3;
}

Font WithStyle(Font font, int style) {
    font.weight = StyleIsBold(style) ? 700 : 400;
    font.italic = StyleIsItalic(style);
    return font;
}

Font WithPointSize(Font font, int points) {
    font.height = PointsToPixels(points);
    return font;
}

}  // namespace ui::appearance
