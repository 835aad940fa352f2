// The stand-in for the person at the screen, and acting as the user for
// tests through the same messages a person's input produces: BM_CLICK,
// WM_CHAR, WM_PASTE, LB_SETCURSEL with its notification, WM_COMMAND for menu
// items, accelerator translation, WM_SYSCOMMAND SC_CLOSE.
#include <cstring>
#include <cwchar>
#include <map>

#include "platform/win32/win32_automated_desktop.h"
#include "platform/win32/win32_internal.h"

namespace platform {
namespace win32 {

class StandIn final : public Person {
  public:
    ~StandIn() override { RemoveHook(); }
    ui::AutomationQueues queues;

    // Tests tick timers themselves (FirePendingTimers); real ticks would make
    // them depend on the clock.
    void ArmTimer(HWND, UINT_PTR, int) override {}
    std::optional<ui::Colour> ChooseColour(HWND, ui::Colour) override { return std::nullopt; }
    std::optional<Text> ChooseFile(HWND, const ui::FileDialogRequest& request) override {
        return queues.AnswerFileDialog(request);
    }

    void ModalLoopStarting(Win32Window& window) override {
        if (ui::ModalScript script = queues.TakeModalScript()) {
            scripts_[window.Hwnd()] = std::move(script);
        }
        // Runs once the loop is running, inside it.
        PostMessageW(window.Hwnd(), kMsgRunModalScript, 0, 0);
    }

    void InModalLoop(Win32Window& window) override {
        if (auto it = scripts_.find(window.Hwnd()); it != scripts_.end()) {
            const ui::ModalScript script = std::move(it->second);
            scripts_.erase(it);
            script(window);
        }
        // Nobody is left to use the window: its close box ends the loop, and
        // a close handler that refuses cannot keep it open for ever.
        if (window.IsOpen()) window.CloseAsUser();
        if (window.IsOpen()) window.Close();
    }

    void AnswerMessageBox(HWND owner, const Text& ownerName, const std::wstring& text,
                          const std::wstring& caption, UINT style) override;

    void PopUpOpening(HWND window, const Text& barCaption) override {
        queues.RecordPopUp(barCaption);
        // The menu's own loop dispatches this at once and closes the menu.
        PostMessageW(window, kMsgEndPopUp, 0, 0);
    }

    // The test process goes on; the desktop's loops end.
    void EndProcess(int exitCode) override { queues.RequestExit(exitCode); }

  private:
    static LRESULT CALLBACK AnswerMessageBoxes(int code, WPARAM wParam, LPARAM lParam);
    void RemoveHook();

    std::map<HWND, ui::ModalScript> scripts_;
    HHOOK hook_ = nullptr;
    std::vector<HWND> answeredBoxes_;
    Text ownerName_;
};

namespace {

thread_local StandIn* answering = nullptr;

Text DialogItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr ? FromWide(WindowText(item)) : Text();
}

}  // namespace

// A message box is answered once its dialog procedure has put the text in
// place (after WM_INITDIALOG; Wine activates the box before that): record it
// and press OK. The real MessageBoxW keeps running its own loop until then.
LRESULT CALLBACK StandIn::AnswerMessageBoxes(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && answering != nullptr && call->message == WM_INITDIALOG) {
        HWND box = call->hwnd;
        wchar_t className[16] = {};
        GetClassNameW(box, className, 16);
        auto& answered = answering->answeredBoxes_;
        if (std::wcscmp(className, L"#32770") == 0 &&
            std::find(answered.begin(), answered.end(), box) == answered.end()) {
            answered.push_back(box);
            // The message text is the static with id 0xFFFF (100 in old Wine).
            Text message = DialogItemText(box, 0xFFFF);
            if (GetDlgItem(box, 0xFFFF) == nullptr) message = DialogItemText(box, 100);
            answering->queues.RecordMessage(
                {message, FromWide(WindowText(box)), answering->ownerName_});
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void StandIn::AnswerMessageBox(HWND owner, const Text& ownerName, const std::wstring& text,
                               const std::wstring& caption, UINT style) {
    // The answering hook sees every message the thread handles, which slows
    // a list filled with thousands of items severalfold: it is there only
    // while a box is up.
    const bool installed = hook_ == nullptr;
    if (installed) {
        hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, &AnswerMessageBoxes, nullptr,
                                  GetCurrentThreadId());
        answering = this;
    }
    ownerName_ = ownerName;
    MessageBoxW(owner, text.c_str(), caption.c_str(), style);
    if (installed) RemoveHook();
    answeredBoxes_.clear();
}

void StandIn::RemoveHook() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
    if (answering == this) answering = nullptr;
}

namespace {

bool SetClipboardText(HWND owner, const std::wstring& text) {
    // Another process (the X clipboard bridge) may hold it for a moment.
    bool opened = false;
    for (int attempt = 0; attempt < 50 && !opened; ++attempt) {
        opened = OpenClipboard(owner) != FALSE;
        if (!opened) Sleep(10);
    }
    if (!opened) return false;
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool done = false;
    if (memory != nullptr) {
        if (void* target = GlobalLock(memory)) {
            std::memcpy(target, text.c_str(), bytes);
            GlobalUnlock(memory);
            done = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!done) GlobalFree(memory);
    }
    CloseClipboard();
    return done;
}

// A person can act only on a control that is there and enabled, in a
// window that is enabled (a modal loop or a message box disables the others).
HWND UsableHwnd(ui::ControlPeer& peer) {
    HWND hwnd = static_cast<Win32Control&>(peer).Hwnd();
    if (hwnd == nullptr || !IsWindowEnabled(hwnd)) return nullptr;
    HWND root = GetAncestor(hwnd, GA_ROOT);
    if (root == nullptr || !IsWindowEnabled(root)) return nullptr;
    return hwnd;
}

}  // namespace

}  // namespace win32

using win32::Win32Control;
using win32::Win32Window;

// The desktop state owns the stand-in.
Win32AutomatedDesktop::Win32AutomatedDesktop()
    : Win32Desktop(std::make_unique<win32::StandIn>()),
      standIn_(static_cast<win32::StandIn&>(*state_->person)) {}

Win32AutomatedDesktop::~Win32AutomatedDesktop() = default;

ui::AutomationQueues& Win32AutomatedDesktop::Queues() {
    return standIn_.queues;
}

void Win32AutomatedDesktop::Click(ui::ControlPeer& control) {
    HWND hwnd = win32::UsableHwnd(control);
    if (hwnd == nullptr) return;
    switch (control.Definition().kind) {
        case ui::ControlKind::Button:
        case ui::ControlKind::CheckBox:
        case ui::ControlKind::ColourPicker:
            SendMessageW(hwnd, BM_CLICK, 0, 0);
            break;
        default:
            break;
    }
    state_->PumpPending();
}

void Win32AutomatedDesktop::Type(ui::ControlPeer& control, const Text& text) {
    HWND hwnd = win32::UsableHwnd(control);
    if (hwnd == nullptr) return;
    const std::wstring wide = win32::Wide(text);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        wchar_t unit = wide[i];
        // The Enter key types CR; CR LF and LF in the text are one keystroke.
        if (unit == L'\n') {
            if (i > 0 && wide[i - 1] == L'\r') continue;
            unit = L'\r';
        }
        SendMessageW(hwnd, WM_CHAR, unit, 1);
    }
    state_->PumpPending();
}

void Win32AutomatedDesktop::Paste(ui::ControlPeer& control, const Text& text) {
    HWND hwnd = win32::UsableHwnd(control);
    if (hwnd == nullptr) return;
    if (!win32::SetClipboardText(hwnd, win32::Wide(text))) return;
    SendMessageW(hwnd, WM_PASTE, 0, 0);
    state_->PumpPending();
}

void Win32AutomatedDesktop::Select(ui::ControlPeer& control, int index) {
    HWND hwnd = win32::UsableHwnd(control);
    if (hwnd == nullptr) return;
    auto& peer = static_cast<Win32Control&>(control);
    switch (control.Definition().kind) {
        case ui::ControlKind::ListBox:
            SendMessageW(hwnd, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
            SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), LBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(hwnd));
            break;
        case ui::ControlKind::IconList:
            peer.SetUserSelection(index);
            break;
        case ui::ControlKind::Slider:
            SendMessageW(hwnd, TBM_SETPOS, TRUE, index);
            SendMessageW(GetParent(hwnd), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, index),
                         reinterpret_cast<LPARAM>(hwnd));
            break;
        default:
            break;
    }
    state_->PumpPending();
}

void Win32AutomatedDesktop::RightClick(ui::ControlPeer& control) {
    HWND hwnd = win32::UsableHwnd(control);
    if (hwnd == nullptr) return;
    RECT client{};
    GetClientRect(hwnd, &client);
    const LPARAM centre = MAKELPARAM(client.right / 2, client.bottom / 2);
    SendMessageW(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, centre);
    if (IsWindow(hwnd)) SendMessageW(hwnd, WM_RBUTTONUP, 0, centre);
    state_->PumpPending();
}

void Win32AutomatedDesktop::ChooseMenu(ui::WindowPeer& window, const Text& caption) {
    auto& peer = static_cast<Win32Window&>(window);
    win32::Win32Menu& menu = peer.MenuImpl();
    const UINT id = menu.CommandId(caption);
    if (peer.Hwnd() == nullptr || !::IsWindowEnabled(peer.Hwnd()) || id == 0 ||
        !menu.IsEnabled(caption)) {
        return;
    }
    SendMessageW(peer.Hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    state_->PumpPending();
}

void Win32AutomatedDesktop::PressShortcut(ui::WindowPeer& window, ui::ShortcutKey key) {
    auto& peer = static_cast<Win32Window&>(window);
    HWND hwnd = peer.Hwnd();
    HACCEL accelerators = peer.MenuImpl().Accelerators();
    // A disabled window gets no keyboard input.
    if (hwnd == nullptr || accelerators == nullptr || !::IsWindowEnabled(hwnd)) return;
    // The accelerator reads Ctrl and Shift from the thread's key state.
    BYTE saved[256] = {};
    GetKeyboardState(saved);
    BYTE pressed[256];
    std::memcpy(pressed, saved, sizeof pressed);
    const BYTE ctrl = key.ctrl ? 0x80 : 0, shift = key.shift ? 0x80 : 0;
    pressed[VK_CONTROL] = pressed[VK_LCONTROL] = ctrl;
    pressed[VK_RCONTROL] = 0;
    pressed[VK_SHIFT] = pressed[VK_LSHIFT] = shift;
    pressed[VK_RSHIFT] = 0;
    pressed[VK_MENU] = pressed[VK_LMENU] = pressed[VK_RMENU] = 0;
    pressed[key.key & 0xFF] = 0x80;
    SetKeyboardState(pressed);

    HWND target = GetFocus();
    if (target == nullptr || GetAncestor(target, GA_ROOT) != hwnd) target = hwnd;
    MSG msg{};
    msg.hwnd = target;
    msg.message = WM_KEYDOWN;
    msg.wParam = static_cast<WPARAM>(key.key);
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(key.key), MAPVK_VK_TO_VSC);
    msg.lParam = static_cast<LPARAM>(1 | (scan << 16));
    msg.time = GetTickCount();
    TranslateAcceleratorW(hwnd, accelerators, &msg);

    SetKeyboardState(saved);
    state_->PumpPending();
}

void Win32AutomatedDesktop::PressKey(ui::WindowPeer& window, ui::ShortcutKey key) {
    HWND hwnd = static_cast<Win32Window&>(window).Hwnd();
    if (hwnd == nullptr || !::IsWindowEnabled(hwnd)) return;
    BYTE saved[256] = {};
    GetKeyboardState(saved);
    BYTE pressed[256];
    std::memcpy(pressed, saved, sizeof pressed);
    pressed[VK_CONTROL] = pressed[VK_LCONTROL] = key.ctrl ? 0x80 : 0;
    pressed[VK_SHIFT] = pressed[VK_LSHIFT] = key.shift ? 0x80 : 0;
    pressed[VK_RCONTROL] = pressed[VK_RSHIFT] = 0;
    pressed[VK_MENU] = pressed[VK_LMENU] = pressed[VK_RMENU] = 0;
    pressed[key.key & 0xFF] = 0x80;
    SetKeyboardState(pressed);

    // The key goes where a person's would: to the focus, through the same
    // dispatch as the message loop's (which also turns it into a character).
    HWND target = GetFocus();
    if (target == nullptr || GetAncestor(target, GA_ROOT) != hwnd) target = hwnd;
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(key.key), MAPVK_VK_TO_VSC);
    MSG msg{};
    msg.hwnd = target;
    msg.message = WM_KEYDOWN;
    msg.wParam = static_cast<WPARAM>(key.key);
    msg.lParam = static_cast<LPARAM>(1 | (scan << 16));
    msg.time = GetTickCount();
    state_->Dispatch(msg);
    state_->PumpPending();

    pressed[key.key & 0xFF] = 0;
    SetKeyboardState(pressed);
    if (IsWindow(target)) {
        msg.hwnd = target;
        msg.message = WM_KEYUP;
        msg.lParam = static_cast<LPARAM>(1 | (scan << 16) | (1u << 30) | (1u << 31));
        state_->Dispatch(msg);
    }
    SetKeyboardState(saved);
    state_->PumpPending();
}

void Win32AutomatedDesktop::CloseByUser(ui::WindowPeer& window) {
    HWND hwnd = static_cast<Win32Window&>(window).Hwnd();
    if (hwnd == nullptr || !::IsWindowEnabled(hwnd)) return;
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    state_->PumpPending();
}

void Win32AutomatedDesktop::ResizeByUser(ui::WindowPeer& window, int outerWidth, int outerHeight) {
    auto& peer = static_cast<Win32Window&>(window);
    HWND hwnd = peer.Hwnd();
    if (hwnd == nullptr) return;
    SetWindowPos(hwnd, nullptr, 0, 0, peer.Scale().ToPixels(outerWidth),
                 peer.Scale().ToPixels(outerHeight), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    state_->PumpPending();
}

bool Win32AutomatedDesktop::IsWindowEnabled(ui::WindowPeer& window) {
    HWND hwnd = static_cast<Win32Window&>(window).Hwnd();
    return hwnd != nullptr && ::IsWindowEnabled(hwnd) != FALSE;
}

int Win32AutomatedDesktop::FirePendingTimers() {
    // The timers armed now each get one tick; one that a handler stops, or
    // whose window goes, before its turn gets none, as a killed timer would.
    std::vector<std::pair<HWND, int>> armed;
    for (Win32Window* window : state_->windows) {
        for (const auto& control : window->Controls()) {
            if (control->Definition().kind == ui::ControlKind::Timer && control->TimerArmed()) {
                armed.emplace_back(window->Hwnd(), control->Index());
            }
        }
    }
    int ticked = 0;
    for (const auto& [hwnd, index] : armed) {
        Win32Window* window = state_->FindWindow(hwnd);
        if (window == nullptr ||
            !window->Controls()[static_cast<std::size_t>(index)]->TimerArmed()) {
            continue;
        }
        SendMessageW(hwnd, WM_TIMER, win32::kFirstTimerId + static_cast<UINT_PTR>(index), 0);
        ++ticked;
    }
    state_->PumpPending();
    return ticked;
}

bool Win32AutomatedDesktop::IsTimerArmed(ui::ControlPeer& timer) {
    return static_cast<Win32Control&>(timer).TimerArmed();
}

std::optional<ui::Automation::Layered> Win32AutomatedDesktop::LayeredAttributes(
    ui::WindowPeer& window) {
    HWND hwnd = static_cast<win32::Win32Window&>(window).Hwnd();
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (hwnd == nullptr || !GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags)) {
        return std::nullopt;
    }
    return Layered{static_cast<ui::Colour>(key), alpha, static_cast<std::uint32_t>(flags)};
}

}  // namespace platform
