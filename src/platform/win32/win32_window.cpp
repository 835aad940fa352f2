// The top-level window peer: the HWND built from a WindowDef and the window
// procedure that routes control notifications to their peers.
#include "platform/win32/win32_internal.h"

namespace platform::win32 {

namespace {

// No WS_CLIPCHILDREN: a group box leaves its inside unpainted, so the
// window's own background must show through it.
DWORD StyleFor(ui::Border border) {
    switch (border) {
        case ui::Border::None:
            return WS_POPUP | WS_BORDER;
        case ui::Border::Fixed:
            return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
        case ui::Border::Resizable:
            return WS_OVERLAPPEDWINDOW;
    }
    return WS_OVERLAPPEDWINDOW;
}

}  // namespace

Win32Window::Win32Window(std::shared_ptr<DesktopState> desktop, const ui::WindowDef& def,
                         HWND owner)
    : desktopOwner_(std::move(desktop)),
      desktop_(*desktopOwner_),
      def_(def),
      menu_(*this),
      background_(def.background) {
    menu_.Build(def_.menu);
    // Centred on the primary screen, in its pixels, until the program places it.
    scale_ = DpiScale(DpiOfPrimaryScreen());
    const int width = scale_.ToPixels(def_.width), height = scale_.ToPixels(def_.height);
    const int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    const int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    const std::wstring caption = Wide(def_.caption);
    CreateWindowExW(0, L"MoxiaWindow", caption.c_str(), StyleFor(def_.border), left, top, width,
                    height, owner, menu_.Bar(), desktop_.instance, this);
    if (hwnd_ == nullptr) Fail("cannot create the window", def_.name);
    // The screen it landed on has the last word.
    if (const int dpi = DpiOfWindow(hwnd_); dpi != scale_.Dpi()) {
        scale_ = DpiScale(dpi);
        SetWindowPos(hwnd_, nullptr, 0, 0, scale_.ToPixels(def_.width),
                     scale_.ToPixels(def_.height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    lastClientSize_ = ClientPixels();
    const ui::Rect outer = OuterPixels();
    lastOuterSize_ = {outer.width, outer.height};
    desktop_.windows.push_back(this);

    controls_.reserve(def_.controls.size());
    for (std::size_t i = 0; i < def_.controls.size(); ++i) {
        const ui::ControlDef& control = def_.controls[i];
        std::unique_ptr<Win32Control> peer = MakeControl(*this, static_cast<int>(i), control);
        if (!byName_.emplace(control.name, peer.get()).second) {
            Fail("two controls share a name", control.name);
        }
        controls_.push_back(std::move(peer));
    }
    for (auto& control : controls_) control->Create();
    // A group box goes beneath the controls it frames and, clipped by them,
    // never paints over them. A progress bar goes above everything: shown for
    // a while over the lists or the editor, it must not be hidden under them.
    for (auto& control : controls_) {
        const ui::ControlKind kind = control->Definition().kind;
        if ((kind == ui::ControlKind::GroupBox || kind == ui::ControlKind::ProgressBar) &&
            control->Hwnd()) {
            SetWindowPos(control->Hwnd(),
                         kind == ui::ControlKind::GroupBox ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

Win32Window::~Win32Window() {
    if (hwnd_ != nullptr) {
        RestoreDisabledWindows();
        DestroyWindow(hwnd_);
    }
    // Normally done on WM_NCDESTROY; also covers a window that never opened.
    auto& all = desktop_.windows;
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

Win32Control* Win32Window::ControlById(int id) {
    const int index = id - kFirstControlId;
    if (index < 0 || index >= static_cast<int>(controls_.size())) return nullptr;
    return controls_[static_cast<std::size_t>(index)].get();
}

Win32Control* Win32Window::ControlByHwnd(HWND hwnd) {
    if (hwnd == nullptr || GetParent(hwnd) != hwnd_) return nullptr;
    Win32Control* control = ControlById(GetDlgCtrlID(hwnd));
    return control != nullptr && control->Hwnd() == hwnd ? control : nullptr;
}

POINT Win32Window::OriginOf(const Text& groupName) {
    if (groupName.empty()) return {0, 0};
    auto it = byName_.find(groupName);
    if (it == byName_.end()) Fail("unknown group box", groupName);
    Win32Control& group = *it->second;
    if (group.Definition().kind != ui::ControlKind::GroupBox) {
        Fail("parent is not a group box of the window", groupName);
    }
    if (group.Hwnd() != nullptr && hwnd_ != nullptr) {
        RECT rect;
        GetWindowRect(group.Hwnd(), &rect);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
        return {rect.left, rect.top};
    }
    if (group.Definition().parent == groupName) Fail("group box inside itself", groupName);
    const POINT base = OriginOf(group.Definition().parent);
    return {base.x + scale_.ToPixels(group.Definition().left),
            base.y + scale_.ToPixels(group.Definition().top)};
}

ui::Colour Win32Window::BackgroundColour() const {
    return background_ ? *background_ : static_cast<ui::Colour>(GetSysColor(COLOR_BTNFACE));
}

void Win32Window::RestoreDisabledWindows() {
    std::vector<ui::WindowId> disabled;
    disabled.swap(disabledByModal);
    desktop_.modal.GiveBack(disabled);
}

void Win32Window::CloseAsUser() {
    if (hwnd_ == nullptr) return;
    bool close = true;
    if (closeHandler_) {
        auto handler = closeHandler_;
        close = handler();
    }
    if (close && hwnd_ != nullptr) Close();
}

ui::ControlPeer& Win32Window::Control(const Text& name) {
    auto it = byName_.find(name);
    if (it == byName_.end()) Fail("no such control", def_.name + "." + name);
    return *it->second;
}

Text Win32Window::GetCaption() {
    return FromWide(WindowText(hwnd_));
}

void Win32Window::SetCaption(const Text& caption) {
    if (hwnd_ != nullptr) SetWindowTextW(hwnd_, Wide(caption).c_str());
}

ui::Rect Win32Window::OuterPixels() const {
    RECT rect{};
    if (hwnd_ == nullptr || !GetWindowRect(hwnd_, &rect)) return {};
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

ui::Size Win32Window::ClientPixels() const {
    RECT rect{};
    if (hwnd_ == nullptr || !GetClientRect(hwnd_, &rect)) return {};
    return {rect.right - rect.left, rect.bottom - rect.top};
}

ui::Rect Win32Window::GetOuterRect() {
    return scale_.ToUnits(OuterPixels());
}

void Win32Window::SetOuterSize(int width, int height) {
    if (hwnd_ == nullptr) return;
    SetWindowPos(hwnd_, nullptr, 0, 0, scale_.ToPixels(width), scale_.ToPixels(height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::SetOuterPosition(int left, int top) {
    if (hwnd_ == nullptr) return;
    SetWindowPos(hwnd_, nullptr, scale_.ToPixels(left), scale_.ToPixels(top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

ui::Size Win32Window::GetClientSize() {
    return scale_.ToUnits(ClientPixels());
}

void Win32Window::SetBackColour(ui::Colour colour) {
    background_ = colour;
    if (hwnd_ != nullptr) {
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

void Win32Window::Show() {
    if (hwnd_ == nullptr) return;
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
}

bool Win32Window::IsShown() {
    return hwnd_ != nullptr && IsWindowVisible(hwnd_);
}

void Win32Window::Focus() {
    if (hwnd_ == nullptr) return;
    SetForegroundWindow(hwnd_);
    SetActiveWindow(hwnd_);
    if (GetFocus() == nullptr || GetAncestor(GetFocus(), GA_ROOT) != hwnd_) SetFocus(hwnd_);
}

void Win32Window::Close() {
    if (hwnd_ == nullptr) return;
    // Owners come back before the window goes, so activation returns to them.
    RestoreDisabledWindows();
    DestroyWindow(hwnd_);
}

std::uint32_t Win32Window::GetExStyle() {
    if (hwnd_ == nullptr) return 0;
    return static_cast<std::uint32_t>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
}

void Win32Window::SetExStyle(std::uint32_t style) {
    if (hwnd_ == nullptr) return;
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, static_cast<LONG_PTR>(style));
}

void Win32Window::SetLayeredAttributes(ui::Colour key, int alpha, std::uint32_t flags) {
    if (hwnd_ == nullptr) return;
    SetLayeredWindowAttributes(hwnd_, key & 0xFFFFFF, static_cast<BYTE>(std::clamp(alpha, 0, 255)),
                               flags);
}

void Win32Window::SetSizeHandler(std::function<void()> handler) {
    sizeHandler_ = std::move(handler);
}

void Win32Window::SetCloseHandler(std::function<bool()> handler) {
    closeHandler_ = std::move(handler);
}

LRESULT CALLBACK Win32Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<Win32Window*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        EnableNonClientScaling(hwnd);
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
        self->OnDestroyed();
        return result;
    }
    return self->HandleMessage(message, wParam, lParam);
}

void Win32Window::OnDestroyed() {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    for (auto& control : controls_) control->Detach();
    menu_.Detach();
    hwnd_ = nullptr;
    auto& all = desktop_.windows;
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    // A modal loop waiting for its window wakes up and ends.
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

void Win32Window::OnDpiChanged(int dpi, const RECT& suggested) {
    if (dpi > 0 && dpi != scale_.Dpi()) {
        // Every control keeps its place and size in units. Group boxes go
        // first: the controls inside them are placed relative to them.
        std::vector<ui::Rect> units;
        units.reserve(controls_.size());
        for (auto& control : controls_) units.push_back(control->GetRect());
        scale_ = DpiScale(dpi);
        for (bool groups : {true, false}) {
            for (std::size_t i = 0; i < controls_.size(); ++i) {
                if ((controls_[i]->Definition().kind == ui::ControlKind::GroupBox) == groups) {
                    controls_[i]->Rescale(units[i]);
                }
            }
        }
    }
    // The class's icons are drawn for the system DPI; the title bar and the
    // task switcher of this screen get the frames drawn for its sizes.
    for (const auto& [which, metric] :
         {std::pair{ICON_SMALL, SM_CXSMICON}, {ICON_BIG, SM_CXICON}}) {
        if (HICON icon = desktop_.ProgramIconAt(SystemMetricForDpi(metric, scale_.Dpi()))) {
            SendMessageW(hwnd_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
        }
    }
    // The size Windows suggests keeps the window's size in units; the size
    // handler lays out for it.
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Win32Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_;
    switch (message) {
        case WM_DESTROY:
            destroying_ = true;
            break;
        case WM_COMMAND: {
            if (destroying_) return 0;
            HWND from = reinterpret_cast<HWND>(lParam);
            if (from != nullptr) {
                if (Win32Control* control = ControlByHwnd(from)) control->OnCommand(HIWORD(wParam));
                return 0;
            }
            if (menu_.OnCommand(LOWORD(wParam))) return 0;
            break;
        }
        case WM_NOTIFY: {
            if (destroying_) return 0;
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (Win32Control* control = ControlByHwnd(header->hwndFrom)) control->OnNotify(*header);
            return 0;
        }
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (lParam != 0 && !destroying_) {
                if (Win32Control* control = ControlByHwnd(reinterpret_cast<HWND>(lParam))) {
                    control->OnScroll();
                    return 0;
                }
            }
            break;
        case WM_TIMER: {
            const UINT_PTR index = wParam - kFirstTimerId;
            if (!destroying_ && wParam >= kFirstTimerId && index < controls_.size()) {
                Win32Control& control = *controls_[index];
                if (control.Definition().kind == ui::ControlKind::Timer) control.OnTimer();
            }
            return 0;
        }
        case kMsgIconChosen:
            if (!destroying_ && wParam < controls_.size()) controls_[wParam]->OnIconChosen();
            return 0;
        case kMsgRunModalScript:
            desktop_.person->InModalLoop(*this);
            return 0;
        case kMsgEndPopUp:
            EndMenu();
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            if (Win32Control* control = ControlByHwnd(reinterpret_cast<HWND>(lParam))) {
                if (HBRUSH brush = control->OnCtlColour(dc))
                    return reinterpret_cast<LRESULT>(brush);
            }
            if ((message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) && background_) {
                // Labels, check boxes and group boxes sit on the window's colour.
                SetBkColor(dc, *background_);
                return reinterpret_cast<LRESULT>(desktop_.BrushFor(*background_));
            }
            break;
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (Win32Control* control = ControlByHwnd(item->hwndItem)) {
                control->OnDrawItem(*item);
                return TRUE;
            }
            break;
        }
        case WM_ERASEBKGND: {
            RECT rect;
            GetClientRect(hwnd, &rect);
            FillRect(reinterpret_cast<HDC>(wParam), &rect, desktop_.BrushFor(BackgroundColour()));
            return 1;
        }
        case WM_SIZE: {
            // A minimised window has no client area to lay out, and the
            // WM_SIZE of the first ShowWindow changes nothing.
            if (wParam == SIZE_MINIMIZED || destroying_) return 0;
            const ui::Size client{LOWORD(lParam), HIWORD(lParam)};
            const ui::Rect outer = OuterPixels();
            const ui::Size outerSize{outer.width, outer.height};
            if (client == lastClientSize_ && outerSize == lastOuterSize_) return 0;
            lastClientSize_ = client;
            lastOuterSize_ = outerSize;
            if (sizeHandler_) {
                auto handler = sizeHandler_;
                handler();
            }
            return 0;
        }
        case WM_DPICHANGED:
            if (!destroying_) {
                OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            }
            return 0;
        case WM_CLOSE:
            CloseAsUser();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(hwnd, focus)) lastFocus_ = focus;
            }
            break;
        case WM_SETFOCUS:
            // Not a control hidden meanwhile (a replaced rich edit waits hidden).
            if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsChild(hwnd, lastFocus_) &&
                IsWindowVisible(lastFocus_)) {
                SetFocus(lastFocus_);
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace platform::win32
