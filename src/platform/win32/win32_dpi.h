#pragma once
// The program measures everything in the units of a 96-DPI screen: window
// definitions, the main window's layout, the stored window size. A window is
// built in the pixels of the screen it is on. These are the only conversions
// between the two.
#include <windows.h>

#include "platform/window/peer.h"

namespace platform::win32 {

constexpr int kUnitDpi = 96;

class DpiScale {
  public:
    explicit DpiScale(int dpi = kUnitDpi) : dpi_(dpi > 0 ? dpi : kUnitDpi) {}
    int Dpi() const { return dpi_; }

    // Both round to the nearest: at 96 DPI or more, units turned into pixels
    // and back are the same units.
    int ToPixels(int units) const { return Rounded(units, dpi_, kUnitDpi); }
    int ToUnits(int pixels) const { return Rounded(pixels, kUnitDpi, dpi_); }
    ui::Rect ToPixels(const ui::Rect& r) const {
        return {ToPixels(r.left), ToPixels(r.top), ToPixels(r.width), ToPixels(r.height)};
    }
    ui::Rect ToUnits(const ui::Rect& r) const {
        return {ToUnits(r.left), ToUnits(r.top), ToUnits(r.width), ToUnits(r.height)};
    }
    ui::Size ToUnits(const ui::Size& s) const { return {ToUnits(s.width), ToUnits(s.height)}; }

  private:
    static int Rounded(int value, int numerator, int denominator) {
        const long long product = static_cast<long long>(value) * numerator;
        const long long half = denominator / 2;
        return static_cast<int>((product >= 0 ? product + half : product - half) / denominator);
    }
    int dpi_;
};

// The DPI a window is drawn at, and that of the primary screen, through the
// newest call user32 (or shcore) has: per-monitor values since Windows 8.1,
// the one system value before, 96 when nothing answers.
int DpiOfWindow(HWND hwnd);
int DpiOfPrimaryScreen();
// Per-monitor awareness v1 (Windows 10 before 1703) scales the title bar and
// menu only when asked to, in WM_NCCREATE; v2 does it by itself.
void EnableNonClientScaling(HWND hwnd);
// A system metric (icon sizes) as it is on a screen of `dpi`.
int SystemMetricForDpi(int index, int dpi);

// The strip with cells of `cellPixels`, made from the sharpest rendering the
// strip carries: a cell of the same size as is, else averaged down from a
// larger one (or, larger than every rendering, stretched from the largest).
ui::ImageStrip StripForCell(const ui::ImageStrip& strip, int cellPixels);

}  // namespace platform::win32
