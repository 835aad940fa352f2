#include "platform/win32/win32_dpi.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform::win32 {

namespace {

// A function of a system DLL, or nullptr where this Windows (or Wine) has
// none. The detour through a plain function pointer keeps the cast legal.
template <typename Function>
Function Find(const wchar_t* module, const char* name) {
    HMODULE handle = GetModuleHandleW(module);
    if (handle == nullptr) handle = LoadLibraryW(module);
    if (handle == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}

int SystemDpi() {
    using GetDpiForSystemFn = UINT(WINAPI*)();
    static const auto getDpiForSystem = Find<GetDpiForSystemFn>(L"user32.dll", "GetDpiForSystem");
    if (getDpiForSystem != nullptr) {
        if (const UINT dpi = getDpiForSystem(); dpi > 0) return static_cast<int>(dpi);
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kUnitDpi;
}

}  // namespace

int DpiOfWindow(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = Find<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    if (getDpiForWindow != nullptr && hwnd != nullptr) {
        if (const UINT dpi = getDpiForWindow(hwnd); dpi > 0) return static_cast<int>(dpi);
    }
    return SystemDpi();
}

int DpiOfPrimaryScreen() {
    // MDT_EFFECTIVE_DPI is 0.
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor =
        Find<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
    if (getDpiForMonitor != nullptr) {
        HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
        UINT x = 0, y = 0;
        if (primary != nullptr && SUCCEEDED(getDpiForMonitor(primary, 0, &x, &y)) && y > 0) {
            return static_cast<int>(y);
        }
    }
    return SystemDpi();
}

void EnableNonClientScaling(HWND hwnd) {
    using EnableNonClientDpiScalingFn = BOOL(WINAPI*)(HWND);
    static const auto enable =
        Find<EnableNonClientDpiScalingFn>(L"user32.dll", "EnableNonClientDpiScaling");
    if (enable != nullptr) enable(hwnd);
}

int SystemMetricForDpi(int index, int dpi) {
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto forDpi =
        Find<GetSystemMetricsForDpiFn>(L"user32.dll", "GetSystemMetricsForDpi");
    if (forDpi != nullptr) return forDpi(index, static_cast<UINT>(dpi));
    return DpiScale(dpi).ToPixels(DpiScale(SystemDpi()).ToUnits(GetSystemMetrics(index)));
}

namespace {

// The source pixels one destination pixel is made of, with their weights.
struct Tap {
    int from;
    float weight;
};

// For each destination coordinate: the area it covers when shrinking, a
// linear blend of the two nearest when growing.
std::vector<std::vector<Tap>> Taps(int source, int destination) {
    std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(destination));
    const double ratio = static_cast<double>(source) / destination;
    for (int d = 0; d < destination; ++d) {
        auto& out = taps[static_cast<std::size_t>(d)];
        if (ratio >= 1.0) {
            const double begin = d * ratio, end = (d + 1) * ratio;
            for (int s = static_cast<int>(begin); s < source && s < end; ++s) {
                const double covered = std::min<double>(s + 1, end) - std::max<double>(s, begin);
                if (covered > 0) out.push_back({s, static_cast<float>(covered / ratio)});
            }
        } else {
            const double centre = std::clamp((d + 0.5) * ratio - 0.5, 0.0, source - 1.0);
            const int low = static_cast<int>(centre);
            const int high = std::min(low + 1, source - 1);
            const auto part = static_cast<float>(centre - low);
            out.push_back({low, 1.0f - part});
            if (high != low) out.push_back({high, part});
        }
    }
    return taps;
}

// Cell by cell, in premultiplied alpha so the transparent background (the
// key colour at alpha 0) never bleeds into the edges.
ui::ImageStrip Resample(const ui::ImageStrip& source, int cell) {
    const ui::Colour key = source.KeyColour();
    const int cells = source.CellCount();
    ui::ImageStrip out;
    out.cellWidth = out.cellHeight = cell;
    out.width = cell * cells;
    out.height = cell;
    out.rgba.assign(static_cast<std::size_t>(out.width) * out.height, key);
    const auto across = Taps(source.cellWidth, cell);
    const auto down = Taps(source.cellHeight, cell);
    for (int c = 0; c < cells; ++c) {
        for (int y = 0; y < cell; ++y) {
            for (int x = 0; x < cell; ++x) {
                float r = 0, g = 0, b = 0, a = 0;
                for (const Tap& ty : down[static_cast<std::size_t>(y)]) {
                    const std::size_t row = static_cast<std::size_t>(ty.from) * source.width;
                    for (const Tap& tx : across[static_cast<std::size_t>(x)]) {
                        const std::uint32_t px =
                            source.rgba[row + static_cast<std::size_t>(c * source.cellWidth) +
                                        static_cast<std::size_t>(tx.from)];
                        if ((px & 0xFFFFFF) == key) continue;  // background
                        const float w = tx.weight * ty.weight * static_cast<float>(px >> 24);
                        r += w * static_cast<float>(px & 0xFF);
                        g += w * static_cast<float>((px >> 8) & 0xFF);
                        b += w * static_cast<float>((px >> 16) & 0xFF);
                        a += w;
                    }
                }
                const auto alpha = static_cast<std::uint32_t>(std::lround(a));
                if (alpha == 0) continue;
                auto channel = [&](float sum) {
                    return static_cast<std::uint32_t>(std::clamp(std::lround(sum / a), 0L, 255L));
                };
                std::uint32_t colour = channel(r) | (channel(g) << 8) | (channel(b) << 16);
                // A drawn pixel must not turn into the see-through key colour.
                if (colour == key) colour ^= 0x010000;
                out.rgba[static_cast<std::size_t>(y) * out.width +
                         static_cast<std::size_t>(c * cell + x)] =
                    colour | (std::min<std::uint32_t>(alpha, 255) << 24);
            }
        }
    }
    // Whoever reads the strip's first pixel finds the key, as in the drawn strips.
    out.rgba[0] = key | 0xFF000000u;
    return out;
}

}  // namespace

ui::ImageStrip StripForCell(const ui::ImageStrip& strip, int cellPixels) {
    const ui::ImageStrip* best = &strip;
    for (const auto& rendering : strip.larger) {
        if (rendering == nullptr || rendering->cellWidth <= 0 ||
            rendering->CellCount() != strip.CellCount()) {
            continue;
        }
        const bool bestTooSmall = best->cellWidth < cellPixels;
        if (rendering->cellWidth >= cellPixels
                ? bestTooSmall || rendering->cellWidth < best->cellWidth
                : bestTooSmall && rendering->cellWidth > best->cellWidth) {
            best = rendering.get();
        }
    }
    if (best->cellWidth == cellPixels && best->cellHeight == cellPixels) {
        ui::ImageStrip same = *best;
        same.larger.clear();
        return same;
    }
    if (cellPixels <= 0 || best->cellHeight <= 0 || best->CellCount() == 0 ||
        best->rgba.size() < static_cast<std::size_t>(best->width) * best->height) {
        return {};
    }
    return Resample(*best, cellPixels);
}

}  // namespace platform::win32
