// The edit box: the program's byte limit, counted in GBK bytes, and the
// extra indent before its text.
#include "platform/win32/win32_controls.h"
#include "platform/window/byte_limit.h"

namespace platform::win32 {

namespace {

std::wstring ClipboardText(HWND owner) {
    std::wstring result;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner)) return result;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            result = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return result;
}

std::u16string_view Utf16(std::wstring_view wide) {
    return {reinterpret_cast<const char16_t*>(wide.data()), wide.size()};
}

}  // namespace

Win32Control::WindowClass Win32Edit::Class() const {
    WindowClass edit{L"EDIT", ES_LEFT};
    edit.style |= def_.multiline ? ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL
                                 : ES_AUTOHSCROLL;
    if (def_.password) edit.style |= ES_PASSWORD;
    if (def_.readOnly) edit.style |= ES_READONLY;
    if (def_.border) edit.exStyle |= WS_EX_CLIENTEDGE;
    return edit;
}

void Win32Edit::Created() {
    // The byte limit is ours; the control's own character limit is lifted.
    SendMessageW(hwnd_, EM_SETLIMITTEXT, 0, 0);
    if (def_.password) SendMessageW(hwnd_, EM_SETPASSWORDCHAR, L'*', 0);
    if (def_.byteLimit > 0) Subclass();
}

bool Win32Edit::Filter(HWND, UINT message, WPARAM wParam) {
    switch (message) {
        case WM_CHAR:
            return !AcceptChar(static_cast<wchar_t>(wParam));
        case WM_PASTE:
            PasteWithinLimit();
            return true;
        default:
            return false;
    }
}

std::size_t Win32Edit::BytesOutsideSelection() const {
    DWORD start = 0, end = 0;
    SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return ui::BytesOutsideSelection(Utf16(WindowText(hwnd_)), start, end);
}

bool Win32Edit::AcceptChar(wchar_t unit) {
    if (def_.byteLimit <= 0 || hwnd_ == nullptr) return true;
    std::wstring inserted;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        // Wait for the second half: the pair is one character.
        pendingHigh_ = unit;
        return false;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF && pendingHigh_ != 0) {
        inserted = {pendingHigh_, unit};
        pendingHigh_ = 0;
    } else {
        pendingHigh_ = 0;
        if (unit == L'\r') {
            if (!def_.multiline) return true;  // not inserted
            inserted = L"\r\n";
        } else if (unit < 0x20 && unit != L'\t') {
            return true;  // editing keys (backspace, Ctrl+letter) insert nothing
        } else {
            inserted.assign(1, unit);
        }
    }
    if (ui::WithinByteLimit(Utf16(inserted), BytesOutsideSelection(), def_.byteLimit).empty()) {
        MessageBeep(MB_OK);
        return false;
    }
    if (inserted.size() == 2 && inserted != L"\r\n") {
        SendMessageW(hwnd_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(inserted.c_str()));
        return false;  // inserted here, as one character
    }
    return true;
}

void Win32Edit::PasteWithinLimit() {
    if (hwnd_ == nullptr || (GetWindowLongW(hwnd_, GWL_STYLE) & ES_READONLY) != 0) return;
    const std::wstring clip = ClipboardText(hwnd_);
    const std::u16string_view offered = def_.multiline ? Utf16(clip) : ui::FirstLine(Utf16(clip));
    const std::u16string_view fits =
        ui::WithinByteLimit(offered, BytesOutsideSelection(), def_.byteLimit);
    if (fits.empty()) {
        if (!clip.empty()) MessageBeep(MB_OK);
        return;
    }
    const std::wstring pasted(fits.begin(), fits.end());
    SendMessageW(hwnd_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted.c_str()));
}

void Win32Edit::ApplyTextIndent(bool fontChanged) {
    if (fontChanged) {
        fontMargin_ = LOWORD(SendMessageW(hwnd_, EM_GETMARGINS, 0, 0));
        if (textIndent_ == 0) return;
    }
    const int indent = window_.Scale().ToPixels(textIndent_);
    SendMessageW(hwnd_, EM_SETMARGINS, EC_LEFTMARGIN,
                 MAKELPARAM(static_cast<WORD>(fontMargin_ + indent), 0));
    InvalidateRect(hwnd_, nullptr, TRUE);
}

int Win32Edit::GetTextIndent() {
    if (hwnd_ == nullptr) return 0;
    return window_.Scale().ToUnits(LOWORD(SendMessageW(hwnd_, EM_GETMARGINS, 0, 0)) - fontMargin_);
}

void Win32Edit::SetTextIndent(int pixels) {
    if (hwnd_ == nullptr) return;
    textIndent_ = std::max(pixels, 0);
    ApplyTextIndent(false);
}

}  // namespace platform::win32
