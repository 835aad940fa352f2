// The backup progress bar as the screen shows it: above the page it lies on,
// and painted at each new position while the work still runs.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <utility>

#include "platform/win32/win32_internal.h"
#include "support/program_fixture.h"

namespace testing_support {
namespace {

HWND HwndOf(const ui::ControlHandle& control) {
    return static_cast<platform::win32::Win32Control&>(control.Peer()).Hwnd();
}

// What the screen shows at a point of the window's client area (copied
// out, as GetPixel cannot read a layered window).
std::uint32_t PixelOf(HWND window, POINT at) {
    ClientToScreen(window, &at);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = 1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, 1, 1, screen, at.x, at.y, SRCCOPY);
    GdiFlush();
    const std::uint32_t pixel = *static_cast<const std::uint32_t*>(bits) & 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixel;
}

// Wine copies what was painted to the display a moment later.
void LetTheDisplayCatchUp() {
    MSG msg;
    for (int i = 0; i < 30; ++i, Sleep(10)) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
}

class ProgressBarTest : public ProgramTest {};

TEST_F(ProgressBarTest, LiesAboveEveryPageAndIsPaintedAtEachPosition) {
    SetSetting("Start", "Num", "1");
    MakeFolder("Default");
    MakeFolder("Default\\d");
    WriteFile("Default\\d\\one.txt", "1");
    StartProgram();
    ui::MainWindow& w = main();

    HWND window = static_cast<platform::win32::Win32Window&>(w.Peer()).Hwnd();
    HWND bar = HwndOf(w.进度条1);
    w.Peer().SetOuterPosition(0, 0);  // all of it on the screen
    auto pages = std::initializer_list<std::pair<const char*, std::function<void()>>>{
        {"directories", [] {}},
        {"titles", [&] { OpenDirectoryNamed("d"); }},
        {"editor", [&] { OpenDocumentNamed("one"); }},
    };
    for (const auto& [page, open] : pages) {
        SCOPED_TRACE(page);
        open();
        w.进度条1.Show();
        RECT r;
        GetWindowRect(bar, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        const POINT filled{r.left + (r.right - r.left) / 5, (r.top + r.bottom) / 2};
        const POINT empty{r.right - (r.right - r.left) / 5, filled.y};
        EXPECT_EQ(ChildWindowFromPointEx(window, filled, CWP_SKIPINVISIBLE), bar);

        w.进度条1.SetPosition(50);
        // Painted at once, with no message loop running: nothing left to paint,
        // and the filled part looks unlike the empty part.
        EXPECT_FALSE(GetUpdateRect(bar, nullptr, FALSE));
        LetTheDisplayCatchUp();
        EXPECT_NE(PixelOf(window, filled), PixelOf(window, empty));
        w.进度条1.SetPosition(0);
        EXPECT_FALSE(GetUpdateRect(bar, nullptr, FALSE));
        LetTheDisplayCatchUp();
        EXPECT_EQ(PixelOf(window, filled), PixelOf(window, empty));
        w.进度条1.Hide();
    }
}

}  // namespace
}  // namespace testing_support
