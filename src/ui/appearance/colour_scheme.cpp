#include "ui/appearance/colour_scheme.h"

namespace ui::appearance {

const ColourScheme& BuiltInColourScheme(int number) {
    static const std::array<ColourScheme, 3> schemes = {{
        {Rgb(63, 65, 68), Rgb(231, 225, 208), Rgb(218, 212, 195), Rgb(63, 65, 68), Rgb(63, 65, 68),
         Rgb(208, 202, 185), Rgb(45, 47, 51), Rgb(231, 225, 208)},
        {Rgb(214, 212, 212), Rgb(247, 245, 240), Rgb(80, 75, 75), Rgb(70, 66, 66), Rgb(70, 66, 66),
         Rgb(242, 238, 227), Rgb(67, 63, 63), Rgb(247, 245, 240)},
        {Rgb(63, 80, 96), Rgb(236, 234, 236), Rgb(236, 234, 236), Rgb(92, 95, 97), Rgb(66, 66, 66),
         Rgb(236, 234, 236), Rgb(92, 95, 97), Rgb(236, 234, 236)},
    }};
    const int index = number < 1 ? 0 : number > 3 ? 2 : number - 1;
    return schemes[index];
}

Colour ColourFromSetting(long long value) {
    return static_cast<Colour>(static_cast<unsigned long long>(value) & 0xFFFFFFu);
}

Colour RandomColour(const std::function<int()>& draw) {
    // Drawn one after another so the order of the draws is fixed.
    const int r = draw() & 0xFF;
    const int g = draw() & 0xFF;
    const int b = draw() & 0xFF;
    return Rgb(r, g, b);
}

}  // namespace ui::appearance
