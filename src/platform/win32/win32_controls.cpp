// What every control shares, and the class for each kind.
#include "platform/win32/win32_controls.h"

namespace platform::win32 {

namespace {

// Edit boxes with a byte limit and rich edits (right button) are
// subclassed; the control peer does the work.
LRESULT CALLBACK ControlSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR data) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &ControlSubclassProc, id);
    } else if (reinterpret_cast<Win32Control*>(data)->Filter(hwnd, message, wParam)) {
        return 0;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<Win32Control> MakeControl(Win32Window& window, int index,
                                          const ui::ControlDef& def) {
    switch (def.kind) {
        case ui::ControlKind::Label:
            return std::make_unique<Win32Label>(window, index, def);
        case ui::ControlKind::Button:
            return std::make_unique<Win32Button>(window, index, def);
        case ui::ControlKind::Edit:
            return std::make_unique<Win32Edit>(window, index, def);
        case ui::ControlKind::CheckBox:
            return std::make_unique<Win32CheckBox>(window, index, def);
        case ui::ControlKind::ListBox:
            return std::make_unique<Win32ListBox>(window, index, def);
        case ui::ControlKind::GroupBox:
            return std::make_unique<Win32GroupBox>(window, index, def);
        case ui::ControlKind::ProgressBar:
            return std::make_unique<Win32ProgressBar>(window, index, def);
        case ui::ControlKind::Slider:
            return std::make_unique<Win32Slider>(window, index, def);
        case ui::ControlKind::ColourPicker:
            return std::make_unique<Win32ColourPicker>(window, index, def);
        case ui::ControlKind::FileDialog:
            return std::make_unique<Win32FileDialog>(window, index, def);
        case ui::ControlKind::Timer:
            return std::make_unique<Win32Timer>(window, index, def);
        case ui::ControlKind::IconList:
            return std::make_unique<Win32IconList>(window, index, def);
        case ui::ControlKind::RichEdit:
            return std::make_unique<Win32RichEdit>(window, index, def);
        case ui::ControlKind::ZipCompressor:
            return std::make_unique<Win32NonVisual>(window, index, def);
    }
    Fail("unknown control kind", def.name);
}

Win32Control::Win32Control(Win32Window& window, int index, const ui::ControlDef& def)
    : window_(window),
      index_(index),
      def_(def),
      font_(def.font),
      textColour_(def.textColour),
      backColour_(def.backColour) {}

Win32Control::~Win32Control() = default;

void Win32Control::Create() {
    const WindowClass kind = Class();
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | kind.style;
    if (def_.visible) style |= WS_VISIBLE;
    if (def_.disabled) style |= WS_DISABLED;
    if (def_.tabStop && kind.focusable) style |= WS_TABSTOP;
    const std::wstring caption = kind.caption ? Wide(def_.caption) : std::wstring();

    const POINT origin = window_.OriginOf(def_.parent);
    const ui::Rect place =
        window_.Scale().ToPixels(ui::Rect{def_.left, def_.top, def_.width, def_.height});
    hwnd_ = CreateWindowExW(kind.exStyle, kind.name, caption.c_str(), style, origin.x + place.left,
                            origin.y + place.top, place.width, place.height, window_.Hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index_)),
                            window_.Desktop().instance, nullptr);
    if (hwnd_ == nullptr) Fail("cannot create the control", def_.name);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
    FontSet();
    Created();
}

void Win32Control::Subclass() {
    SetWindowSubclass(hwnd_, &ControlSubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

void Win32Control::Fire(ui::Event event, int argument) {
    auto it = handlers_.find(event);
    if (it == handlers_.end() || !it->second) return;
    // A copy: the handler may replace itself or close the window.
    ui::EventHandler handler = it->second;
    handler(argument);
}

void Win32Control::SetHandler(ui::Event event, ui::EventHandler handler) {
    handlers_[event] = std::move(handler);
}

void Win32Control::OnIconChosen() {
    Fire(ui::Event::Select, Selection());
}

void Win32Control::OnRightButtonDown() {
    Fire(ui::Event::RightButtonDown, 0);
}

HBRUSH Win32Control::OnCtlColour(HDC dc) {
    if (!textColour_ && !backColour_) return nullptr;
    COLORREF back = 0;
    if (backColour_) {
        back = *backColour_;
    } else {
        back = PaintsAsWindow() ? GetSysColor(COLOR_WINDOW) : window_.BackgroundColour();
    }
    if (textColour_) SetTextColor(dc, *textColour_ & 0xFFFFFF);
    SetBkColor(dc, back);
    return window_.Desktop().BrushFor(back);
}

Text Win32Control::GetText() {
    if (hwnd_ == nullptr) return {};
    return FromWide(WindowText(hwnd_));
}

void Win32Control::SetText(const Text& value) {
    if (hwnd_ != nullptr) SetWindowTextW(hwnd_, Wide(value).c_str());
}

bool Win32Control::IsVisible() {
    return hwnd_ != nullptr && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Control::SetVisible(bool visible) {
    if (hwnd_ != nullptr) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

bool Win32Control::IsEnabled() {
    return hwnd_ != nullptr && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_DISABLED) == 0;
}

void Win32Control::SetEnabled(bool enabled) {
    if (hwnd_ != nullptr) EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

ui::Rect Win32Control::GetRect() {
    if (hwnd_ == nullptr) return {};
    RECT rect;
    GetWindowRect(hwnd_, &rect);
    MapWindowPoints(nullptr, window_.Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    const POINT origin = window_.OriginOf(def_.parent);
    return window_.Scale().ToUnits(ui::Rect{rect.left - origin.x, rect.top - origin.y,
                                            rect.right - rect.left, rect.bottom - rect.top});
}

void Win32Control::SetRect(const ui::Rect& rect) {
    if (hwnd_ == nullptr) return;
    const POINT origin = window_.OriginOf(def_.parent);
    const ui::Rect place = window_.Scale().ToPixels(rect);
    MoveWindow(hwnd_, origin.x + place.left, origin.y + place.top, place.width, place.height, TRUE);
}

void Win32Control::Rescale(const ui::Rect& units) {
    if (hwnd_ == nullptr) return;
    SetRect(units);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
    FontSet();
    Rescaled();
}

HFONT Win32Control::Font() const {
    return window_.Desktop().FontFor(font_, window_.Scale().Dpi());
}

ui::Font Win32Control::GetFont() {
    return font_;
}

void Win32Control::SetFont(const ui::Font& font) {
    font_ = font;
    if (hwnd_ == nullptr) return;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
    FontSet();
}

void Win32Control::SetTextColour(ui::Colour colour) {
    textColour_ = colour;
    if (hwnd_ != nullptr) ColoursChanged(true);
}

void Win32Control::SetBackColour(ui::Colour colour) {
    backColour_ = colour;
    if (hwnd_ != nullptr) ColoursChanged(false);
}

void Win32Control::ColoursChanged(bool) {
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32Control::Focus() {
    if (hwnd_ != nullptr) SetFocus(hwnd_);
}

bool Win32Control::HasFocus() {
    if (hwnd_ == nullptr) return false;
    HWND focus = GetFocus();
    return focus != nullptr && (focus == hwnd_ || IsChild(hwnd_, focus));
}

}  // namespace platform::win32
