// Labels and the button family: push buttons, check boxes, group boxes and
// the colour picker.
#include "platform/win32/win32_controls.h"

namespace platform::win32 {

Win32Control::WindowClass Win32Label::Class() const {
    return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0, false};
}

Win32Control::WindowClass Win32Button::Class() const {
    return {L"BUTTON", static_cast<DWORD>(def_.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)};
}

void Win32Button::OnCommand(WORD code) {
    if (code == BN_CLICKED) Fire(ui::Event::Click, 0);
}

Win32Control::WindowClass Win32CheckBox::Class() const {
    return {L"BUTTON", BS_AUTOCHECKBOX};
}

void Win32CheckBox::Created() {
    if (def_.checked) SendMessageW(hwnd_, BM_SETCHECK, BST_CHECKED, 0);
}

void Win32CheckBox::OnCommand(WORD code) {
    if (code == BN_CLICKED) Fire(ui::Event::Click, 0);
}

bool Win32CheckBox::IsChecked() {
    return hwnd_ != nullptr && SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32CheckBox::SetChecked(bool checked) {
    if (hwnd_ != nullptr)
        SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

Win32Control::WindowClass Win32GroupBox::Class() const {
    return {L"BUTTON", BS_GROUPBOX, 0, false};
}

Win32Control::WindowClass Win32ColourPicker::Class() const {
    return {L"BUTTON", BS_OWNERDRAW, 0, true, false};
}

void Win32ColourPicker::OnCommand(WORD code) {
    if (code != BN_CLICKED) return;
    if (const auto chosen = window_.Desktop().person->ChooseColour(window_.Hwnd(), colour_)) {
        SetColour(*chosen);
    }
}

void Win32ColourPicker::OnDrawItem(const DRAWITEMSTRUCT& item) {
    RECT rect = item.rcItem;
    HDC dc = item.hDC;
    DrawEdge(dc, &rect, (item.itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED,
             BF_RECT | BF_ADJUST);
    FillRect(dc, &rect, window_.Desktop().BrushFor(colour_));
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&rect, -2, -2);
        DrawFocusRect(dc, &rect);
    }
}

void Win32ColourPicker::SetColour(ui::Colour colour) {
    colour_ = colour & 0xFFFFFF;
    if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, TRUE);
}

}  // namespace platform::win32
