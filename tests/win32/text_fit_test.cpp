// Every fixed text of every window fits the control it is drawn in, measured
// with the control's own font as the real controls draw it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/win32/win32_automated_desktop.h"
#include "platform/win32/win32_internal.h"
#include "ui/windows/clear_password_window.h"
#include "ui/windows/colour_scheme_window.h"
#include "ui/windows/file_cipher_window.h"
#include "ui/windows/find_replace_window.h"
#include "ui/windows/font_scheme_window.h"
#include "ui/windows/icon_picker_window.h"
#include "ui/windows/main_window.h"
#include "ui/windows/new_directory_window.h"
#include "ui/windows/set_password_window.h"
#include "ui/windows/title_search_window.h"
#include "ui/windows/transparency_window.h"
#include "ui/windows/unlock_window.h"
#include "ui/windows/update_window.h"

namespace {

// The room a caption needs: wrapped at `width` for a label, one line for the
// others.
SIZE TextExtent(HWND control, const std::wstring& text, int width, bool wraps) {
    HDC dc = GetDC(control);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT r{0, 0, width, 0};
    const UINT flags = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS |
                       (wraps ? DT_WORDBREAK : static_cast<UINT>(DT_SINGLELINE));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {r.right - r.left, r.bottom - r.top};
}

TEST(TextFit, EveryCaptionFitsItsControl) {
    platform::Win32AutomatedDesktop desktop;
    const ui::WindowDef& (*const defs[])() = {
        &ui::MainWindowDef,         &ui::ColourSchemeWindowDef, &ui::NewDirectoryWindowDef,
        &ui::SetPasswordWindowDef,  &ui::UnlockWindowDef,       &ui::ClearPasswordWindowDef,
        &ui::FontSchemeWindowDef,   &ui::UpdateWindowDef,       &ui::IconPickerWindowDef,
        &ui::FindReplaceWindowDef,  &ui::FileCipherWindowDef,   &ui::TitleSearchWindowDef,
        &ui::TransparencyWindowDef,
    };
    for (const auto def : defs) {
        const std::unique_ptr<ui::WindowPeer> window = desktop.CreateWindowFromDef(def(), nullptr);
        // In the window's pixels, which the text is measured in, at any DPI.
        const auto& peer = static_cast<platform::win32::Win32Window&>(*window);
        RECT client;
        GetClientRect(peer.Hwnd(), &client);
        for (const ui::ControlDef& c : def().controls) {
            HWND hwnd = static_cast<platform::win32::Win32Control&>(window->Control(c.name)).Hwnd();
            std::wstring text = platform::win32::Wide(c.caption);
            // A closing line break draws nothing.
            while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
            if (hwnd == nullptr || text.empty()) continue;
            RECT on;
            GetWindowRect(hwnd, &on);
            MapWindowPoints(nullptr, peer.Hwnd(), reinterpret_cast<POINT*>(&on), 2);
            const ui::Rect r{on.left, on.top, on.right - on.left, on.bottom - on.top};
            SCOPED_TRACE(text::ToUtf8(def().name + "." + c.name));
            switch (c.kind) {
                case ui::ControlKind::Label: {
                    const SIZE need = TextExtent(hwnd, text, r.width, true);
                    EXPECT_LE(need.cx, r.width);
                    EXPECT_LE(need.cy, r.height);
                    break;
                }
                case ui::ControlKind::Button:
                case ui::ControlKind::CheckBox:
                case ui::ControlKind::GroupBox: {
                    // Room for the frame, the check box or the group's corner.
                    const int frame =
                        peer.Scale().ToPixels(c.kind == ui::ControlKind::CheckBox ? 20 : 8);
                    const SIZE need = TextExtent(hwnd, text, r.width, false);
                    EXPECT_LE(need.cx + frame, r.width);
                    EXPECT_LE(need.cy, r.height);
                    break;
                }
                default:
                    continue;
            }
            // And the control itself lies inside the window.
            if (c.parent.empty()) {
                EXPECT_LE(r.top + r.height, client.bottom);
            }
        }
    }
}

}  // namespace
