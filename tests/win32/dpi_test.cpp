// The program works in the units of a 96-DPI screen; on a screen of another
// DPI the windows are built in its pixels, and what the program reads back
// and stores stays in units.
#include <gtest/gtest.h>

#include "platform/win32/win32_automated_desktop.h"
#include "platform/win32/win32_internal.h"
#include "support/program_fixture.h"
#include "ui/icon_strips.h"
#include "ui/windows/font_scheme_window.h"

namespace testing_support {
namespace {

using platform::win32::DpiScale;
using platform::win32::Win32Control;
using platform::win32::Win32Window;

HWND HwndOf(ui::ControlPeer& control) {
    return static_cast<Win32Control&>(control).Hwnd();
}

ui::Rect PixelsIn(HWND window, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// What Windows sends when the window moves to a screen of `dpi`: the
// suggested rectangle keeps its size in units.
void MoveToScreenOf(ui::WindowPeer& window, int dpi) {
    const ui::Rect units = window.GetOuterRect();
    const DpiScale scale(dpi);
    RECT suggested{0, 0, scale.ToPixels(units.width), scale.ToPixels(units.height)};
    SendMessageW(static_cast<Win32Window&>(window).Hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
}

TEST(DpiScale, UnitsComeBackFromPixelsAtEveryScreenDpi) {
    for (const int dpi : {96, 120, 144, 168, 192, 240, 288}) {
        const DpiScale scale(dpi);
        for (int units = -3000; units <= 3000; ++units) {
            ASSERT_EQ(scale.ToUnits(scale.ToPixels(units)), units) << units << " at " << dpi;
        }
    }
    // Rounded to the nearest pixel, halves away from zero.
    EXPECT_EQ(DpiScale(144).ToPixels(ui::Rect{3, 48, 760, 21}), (ui::Rect{5, 72, 1140, 32}));
    EXPECT_EQ(DpiScale(144).ToPixels(-3), -5);
    EXPECT_EQ(DpiScale(120).ToUnits(1543), 1234);
}

// The icon cells for another DPI come from the sharpest rendering the program
// has, and keep the strip's rules: the key colour behind every transparent
// pixel, on none that shows, and at the first pixel.
TEST(DpiScale, IconCellsForAnotherDpiComeFromTheSharpestRendering) {
    const ui::ImageStrip large = ui::LoadIconStrip(platform::IconStrip::Large);
    ASSERT_EQ(large.larger.size(), 1u);
    EXPECT_EQ(platform::win32::StripForCell(large, 200).rgba, large.larger[0]->rgba);
    for (const int cell : {75, 150, 250}) {
        SCOPED_TRACE(cell);
        const ui::ImageStrip strip = platform::win32::StripForCell(large, cell);
        ASSERT_EQ(strip.width, 16 * cell);
        ASSERT_EQ(strip.height, cell);
        const ui::Colour key = large.KeyColour();
        EXPECT_EQ(strip.rgba[0], key | 0xFF000000u);
        int shown = 0;
        for (std::size_t i = 1; i < strip.rgba.size(); ++i) {
            const bool isKey = (strip.rgba[i] & 0xFFFFFF) == key;
            ASSERT_EQ(isKey, strip.rgba[i] >> 24 == 0) << i;
            shown += isKey ? 0 : 1;
        }
        // About as much of each cell is drawn as in the 100-unit strip.
        int shownLarge = 0;
        for (std::uint32_t px : large.rgba) shownLarge += (px & 0xFFFFFF) != key ? 1 : 0;
        EXPECT_NEAR(shown / double(cell * cell), shownLarge / 10000.0, 0.05 * 16);
    }
}

TEST(Dpi, ControlsAndFontsFollowTheScreenAndReadBackAsDefined) {
    platform::Win32AutomatedDesktop desktop;
    const ui::WindowDef& def = ui::FontSchemeWindowDef();  // controls inside group boxes too
    const auto window = desktop.CreateWindowFromDef(def, nullptr);
    const int dpi = static_cast<Win32Window&>(*window).Scale().Dpi() * 3 / 2;
    MoveToScreenOf(*window, dpi);
    const DpiScale scale(dpi);
    HWND hwnd = static_cast<Win32Window&>(*window).Hwnd();
    for (const ui::ControlDef& c : def.controls) {
        if (!ui::IsVisualKind(c.kind)) continue;
        SCOPED_TRACE(text::ToUtf8(c.name));
        ui::ControlPeer& control = window->Control(c.name);
        const ui::Rect defined{c.left, c.top, c.width, c.height};
        EXPECT_EQ(control.GetRect(), defined);
        ui::Rect origin;
        if (!c.parent.empty()) origin = PixelsIn(hwnd, HwndOf(window->Control(c.parent)));
        ui::Rect expected = scale.ToPixels(defined);
        expected.left += origin.left;
        expected.top += origin.top;
        EXPECT_EQ(PixelsIn(hwnd, HwndOf(control)), expected);
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(HwndOf(control), WM_GETFONT, 0, 0)),
                   sizeof font, &font);
        EXPECT_EQ(font.lfHeight, -scale.ToPixels(c.font.height));
    }
}

class DpiProgramTest : public ProgramTest {};

TEST_F(DpiProgramTest, TheStoredSizeAndTheLayoutStayInUnitsOnAScreenOfOneAndAHalfTimesTheDpi) {
    StartProgram();
    automation().ResizeByUser(main().Peer(), 800, 560);
    ASSERT_EQ(Setting("WH", "Whith"), "800");
    const int dpi = static_cast<Win32Window&>(main().Peer()).Scale().Dpi() * 3 / 2;
    MoveToScreenOf(main().Peer(), dpi);
    EXPECT_EQ(Setting("WH", "Whith"), "800");
    EXPECT_EQ(Setting("WH", "Height"), "560");

    const ui::Size client = main().Peer().GetClientSize();
    const ui::Rect button{client.width - 66 - 30, client.height - 40 - 6, 66, 40};
    EXPECT_EQ(main().按钮1.GetRect(), button);
    HWND hwnd = static_cast<Win32Window&>(main().Peer()).Hwnd();
    EXPECT_EQ(PixelsIn(hwnd, HwndOf(main().按钮1.Peer())), DpiScale(dpi).ToPixels(button));
    // The directory icons are drawn for the new screen: 100 units wide.
    int width = 0, height = 0;
    ImageList_GetIconSize(
        reinterpret_cast<HIMAGELIST>(
            SendMessageW(HwndOf(main().超级列表框1.Peer()), LVM_GETIMAGELIST, LVSIL_NORMAL, 0)),
        &width, &height);
    EXPECT_EQ(width, DpiScale(dpi).ToPixels(100));
    EXPECT_EQ(height, width);
    // And the title bar's icon is the frame for the new screen's size.
    ICONINFO icon{};
    ASSERT_TRUE(
        GetIconInfo(reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0)), &icon));
    BITMAP mask{};
    GetObjectW(icon.hbmMask, sizeof mask, &mask);
    DeleteObject(icon.hbmMask);
    if (icon.hbmColor != nullptr) DeleteObject(icon.hbmColor);
    EXPECT_EQ(mask.bmWidth, platform::win32::SystemMetricForDpi(SM_CXSMICON, dpi));
}

}  // namespace
}  // namespace testing_support
