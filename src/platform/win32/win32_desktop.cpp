#include "platform/win32/win32_desktop.h"

#include <cstdio>
#include <cstdlib>

#include "platform/win32/resource_ids.h"
#include "platform/win32/win32_internal.h"

namespace platform {
namespace win32 {

namespace {
constexpr wchar_t kWindowClass[] = L"MoxiaWindow";
// Safety valve for PumpPending: a handler that keeps posting to itself must
// not hang a test.
constexpr int kMaxPumpedMessages = 100000;
// How often work behind a progress bar repaints the windows.
constexpr DWORD kBusyPaintMilliseconds = 150;
// The face of controls whose definition names none. The stock GUI face
// (MS Shell Dlg, Tahoma) has no Chinese glyphs of its own and, bold or
// outside a Chinese locale, shows every text of this program as boxes.
constexpr wchar_t kDefaultFace[] = L"微软雅黑";

// The program icon at one of the system's two icon sizes, so Windows picks the
// frame drawn for that size instead of scaling another. Loaded once per
// process and kept: the window class is registered again by every desktop.
HICON ProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    HICON icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(MOXIA_RES_APP_ICON),
                                               IMAGE_ICON, GetSystemMetrics(widthMetric),
                                               GetSystemMetrics(heightMetric), 0));
    return icon != nullptr ? icon : LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
}
// The height of a font that names none, in units: the message font's at 96
// DPI where Windows can say it, else the stock GUI font's, whose height
// follows the system DPI.
int DefaultFontHeight(const LOGFONTW& guiFont) {
    using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto forDpi = reinterpret_cast<SystemParametersInfoForDpiFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "SystemParametersInfoForDpi")));
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (forDpi != nullptr &&
        forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, kUnitDpi) &&
        metrics.lfMessageFont.lfHeight != 0) {
        return std::abs(metrics.lfMessageFont.lfHeight);
    }
    HDC screen = GetDC(nullptr);
    const int systemDpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kUnitDpi;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return std::max(1, DpiScale(systemDpi).ToUnits(std::abs(guiFont.lfHeight)));
}

}  // namespace

void Fail(const char* what, const Text& name) {
    std::fprintf(stderr, "moxia desktop: %s: %s\n", what, text::ToUtf8(name).c_str());
    std::fflush(stderr);
    std::abort();
}

DesktopState::DesktopState(std::unique_ptr<Person> standing) : person(std::move(standing)) {
    instance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES |
                     ICC_PROGRESS_CLASS | ICC_BAR_CLASSES;
    InitCommonControlsEx(&controls);
    richEditModule = LoadLibraryW(L"Msftedit.dll");

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &Win32Window::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    // Every window of the program, MainWindow and the dialogs, shows its icon.
    static const HICON largeIcon = ProgramIcon(instance, SM_CXICON, SM_CYICON);
    static const HICON smallIcon = ProgramIcon(instance, SM_CXSMICON, SM_CYSMICON);
    wc.hIcon = largeIcon;
    wc.hIconSm = smallIcon;
    wc.lpszClassName = kWindowClass;
    // The background is painted on WM_ERASEBKGND, in the window's own colour.
    windowClass = RegisterClassExW(&wc);

    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof guiFont, &guiFont);
    defaultFontHeight = DefaultFontHeight(guiFont);
}

DesktopState::~DesktopState() {
    for (auto& [key, font] : fonts) DeleteObject(font);
    for (auto& [colour, brush] : brushes) DeleteObject(brush);
    for (auto& [pixels, icon] : icons) DestroyIcon(icon);
    if (windowClass != 0) UnregisterClassW(kWindowClass, instance);
    // The rich edit library stays loaded: another desktop of this process
    // may still use its window class.
}

HFONT DesktopState::FontFor(const ui::Font& font, int dpi) {
    LOGFONTW lf = guiFont;
    std::wstring face = font.face.empty() ? std::wstring(kDefaultFace) : Wide(font.face);
    if (face.size() >= LF_FACESIZE) face.resize(LF_FACESIZE - 1);
    const int height = -DpiScale(dpi).ToPixels(font.height > 0 ? font.height : defaultFontHeight);
    const auto key = std::make_tuple(face, height, font.weight, font.italic);
    if (auto it = fonts.find(key); it != fonts.end()) return it->second;
    lf.lfHeight = height;
    lf.lfWidth = 0;
    lf.lfWeight = font.weight;
    lf.lfItalic = font.italic ? TRUE : FALSE;
    lf.lfUnderline = FALSE;
    lf.lfStrikeOut = FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), L'\0');
    std::copy(face.begin(), face.end(), lf.lfFaceName);
    HFONT created = CreateFontIndirectW(&lf);
    if (created == nullptr) created = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    fonts.emplace(key, created);
    return created;
}

HICON DesktopState::ProgramIconAt(int pixels) {
    if (auto it = icons.find(pixels); it != icons.end()) return it->second;
    auto icon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(MOXIA_RES_APP_ICON), IMAGE_ICON, pixels, pixels, 0));
    if (icon != nullptr) icons.emplace(pixels, icon);
    return icon;
}

HBRUSH DesktopState::BrushFor(COLORREF colour) {
    colour &= 0xFFFFFF;
    if (auto it = brushes.find(colour); it != brushes.end()) return it->second;
    HBRUSH brush = CreateSolidBrush(colour);
    brushes.emplace(colour, brush);
    return brush;
}

Win32Window* DesktopState::FindWindow(HWND hwnd) {
    if (hwnd == nullptr) return nullptr;
    for (Win32Window* window : windows) {
        if (window->Hwnd() == hwnd) return window;
    }
    return nullptr;
}

namespace {

bool IsReadOnly(HWND hwnd) {
    return (GetWindowLongW(hwnd, GWL_STYLE) & ES_READONLY) != 0;
}

// The editing keys of the focused edit box (or the editor's Ctrl+A) go to
// it before the menu's shortcuts can take them.
bool RunEditKey(Win32Control* focused, MSG& msg) {
    if (focused == nullptr || msg.message != WM_KEYDOWN || GetKeyState(VK_MENU) < 0) return false;
    const ui::ShortcutKey key{GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0,
                              static_cast<int>(msg.wParam)};
    HWND hwnd = focused->Hwnd();
    switch (ui::EditKeyFor(focused->Definition().kind, key)) {
        case ui::EditKey::None:
            return false;
        case ui::EditKey::SelectAll:
            SendMessageW(hwnd, EM_SETSEL, 0, -1);
            break;
        case ui::EditKey::Copy:
            SendMessageW(hwnd, WM_COPY, 0, 0);
            break;
        case ui::EditKey::Cut:
            if (!IsReadOnly(hwnd)) SendMessageW(hwnd, WM_CUT, 0, 0);
            break;
        case ui::EditKey::Paste:
            if (!IsReadOnly(hwnd)) SendMessageW(hwnd, WM_PASTE, 0, 0);
            break;
        case ui::EditKey::Undo:
            if (!IsReadOnly(hwnd)) SendMessageW(hwnd, WM_UNDO, 0, 0);
            break;
    }
    return true;
}

// Tab and Shift+Tab move between the tab stops of our windows, as in a
// dialog, unless the focused control wants the key for itself (a box that
// cannot be typed into never keeps it).
bool MoveFocusByTab(HWND root, MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB) return false;
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
    const LRESULT wants =
        SendMessageW(msg.hwnd, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&msg));
    if ((wants & (DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) != 0 &&
        !IsReadOnly(msg.hwnd)) {
        return false;
    }
    HWND from = msg.hwnd;
    while (from != nullptr && GetParent(from) != root) from = GetParent(from);
    HWND next = GetNextDlgTabItem(root, from, GetKeyState(VK_SHIFT) < 0);
    if (next != nullptr && next != from) {
        SetFocus(next);
        if ((SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) {
            SendMessageW(next, EM_SETSEL, 0, -1);
        }
    }
    return true;
}

// Enter on a list opens its chosen item (moving through a list by keyboard
// only marks one), and on a focused push button presses it.
bool ChooseByEnter(Win32Control* focused, MSG& msg) {
    if (focused == nullptr || msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN) return false;
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
    switch (focused->Definition().kind) {
        case ui::ControlKind::ListBox:
        case ui::ControlKind::IconList:
            if (focused->Selection() >= 0) focused->Fire(ui::Event::Select, focused->Selection());
            return true;
        case ui::ControlKind::Button:
            SendMessageW(focused->Hwnd(), BM_CLICK, 0, 0);
            return true;
        default:
            return false;
    }
}

// Enter presses the window's default button and Esc closes a dialog, as in
// any Windows dialog, unless the focused control takes the key itself
// (multi-line boxes and the editor want Enter).
bool PressDefaultOrCancel(Win32Window& window, MSG& msg) {
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE)) {
        return false;
    }
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
    const LRESULT wants =
        SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if ((wants & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) != 0) return false;
    if (msg.wParam == VK_ESCAPE) {
        // The main window has a menu and stays; dialogs close as by their close box.
        if (GetMenu(window.Hwnd()) != nullptr) return false;
        SendMessageW(window.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    }
    for (const auto& control : window.Controls()) {
        if (!control->Definition().isDefault) continue;
        HWND button = control->Hwnd();
        if (button == nullptr || !IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
        SendMessageW(button, BM_CLICK, 0, 0);
        return true;
    }
    return false;
}

}  // namespace

void DesktopState::Dispatch(MSG& msg) {
    if (msg.hwnd != nullptr && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
        HWND root = GetAncestor(msg.hwnd, GA_ROOT);
        if (Win32Window* window = FindWindow(root)) {
            Win32Control* focused = window->ControlByHwnd(msg.hwnd);
            if (RunEditKey(focused, msg)) return;
            HACCEL accelerators = window->MenuImpl().Accelerators();
            if (accelerators != nullptr && TranslateAcceleratorW(root, accelerators, &msg)) return;
            if (MoveFocusByTab(root, msg)) return;
            if (ChooseByEnter(focused, msg)) return;
            if (PressDefaultOrCancel(*window, msg)) return;
            if (focused != nullptr) {
                // Keys move a list's mark without opening anything.
                const bool wasKeyed = focused->keyboardSelects;
                focused->keyboardSelects = true;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
                // The key may have closed the window.
                if (FindWindow(root) == window && window->ControlByHwnd(msg.hwnd) == focused) {
                    focused->keyboardSelects = wasKeyed;
                }
                return;
            }
        }
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void DesktopState::PumpPending() {
    MSG msg;
    for (int i = 0; i < kMaxPumpedMessages && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        Dispatch(msg);
    }
}

void DesktopState::PaintWhileBusy() {
    const DWORD now = GetTickCount();
    if (GetCurrentThreadId() != thread || now - lastBusyPaint < kBusyPaintMilliseconds) return;
    const auto barShown = [](const Win32Window* window) {
        return std::any_of(window->Controls().begin(), window->Controls().end(), [](const auto& c) {
            return c->Definition().kind == ui::ControlKind::ProgressBar && c->IsVisible();
        });
    };
    if (std::none_of(windows.begin(), windows.end(), barShown)) return;
    lastBusyPaint = now;
    // Looking for a paint message lets the system hand over what it holds for
    // the windows (under Wine: what was drawn reaches the screen, and what
    // was uncovered is marked for painting); every input message stays queued.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_PAINT);
    for (Win32Window* window : windows) {
        if (window->Hwnd() != nullptr) {
            RedrawWindow(window->Hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
    }
}

std::vector<ui::WindowId> DesktopState::OpenWindows() {
    std::vector<ui::WindowId> open;
    for (Win32Window* window : windows) {
        if (window->Hwnd() != nullptr) open.push_back(IdOf(window->Hwnd()));
    }
    return open;
}

bool DesktopState::IsOn(ui::WindowId window) {
    return IsWindow(HwndOf(window)) && ::IsWindowEnabled(HwndOf(window));
}

void DesktopState::Switch(ui::WindowId window, bool on) {
    if (IsWindow(HwndOf(window))) EnableWindow(HwndOf(window), on ? TRUE : FALSE);
}

}  // namespace win32

using win32::Win32Window;

Win32Desktop::Win32Desktop() : Win32Desktop(win32::RealPerson()) {}

Win32Desktop::Win32Desktop(std::unique_ptr<win32::Person> person)
    : state_(std::make_shared<win32::DesktopState>(std::move(person))) {}

void Win32Desktop::PaintWhileBusy() {
    state_->PaintWhileBusy();
}

Win32Desktop::~Win32Desktop() = default;

std::unique_ptr<ui::WindowPeer> Win32Desktop::CreateWindowFromDef(const ui::WindowDef& def,
                                                                  ui::WindowPeer* owner) {
    HWND ownerHwnd = owner != nullptr ? static_cast<Win32Window*>(owner)->Hwnd() : nullptr;
    return std::make_unique<Win32Window>(state_, def, ownerHwnd);
}

void Win32Desktop::RunModal(ui::WindowPeer& window, ui::WindowPeer* owner) {
    auto& modal = static_cast<Win32Window&>(window);
    win32::DesktopState& state = *state_;
    // After an exit request no loop starts: the process would be gone.
    if (!modal.IsOpen() || state.Ending()) return;
    HWND hwnd = modal.Hwnd();
    HWND ownerHwnd = owner != nullptr ? static_cast<Win32Window*>(owner)->Hwnd() : nullptr;

    // Every other window of the program, not only the owner: a modeless
    // window works on MainWindow too.
    const std::vector<ui::WindowId> taken = state.modal.BeginLoop(win32::IdOf(hwnd));
    modal.disabledByModal.insert(modal.disabledByModal.end(), taken.begin(), taken.end());

    state.person->ModalLoopStarting(modal);
    modal.Show();

    MSG msg;
    while (modal.IsOpen() && !state.Ending()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // Quit belongs to the outermost loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        state.Dispatch(msg);
    }
    if (state.Ending() && modal.IsOpen()) {
        modal.CloseAsUser();
        modal.Close();
    }
    state.modal.EndLoop();
    modal.RestoreDisabledWindows();
    if (ownerHwnd != nullptr && IsWindow(ownerHwnd) && IsWindowVisible(ownerHwnd)) {
        SetActiveWindow(ownerHwnd);
    }
}

int Win32Desktop::RunMessageLoop() {
    win32::DesktopState& state = *state_;
    MSG msg;
    while (!state.Ending()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) return -1;
        if (got == 0) return static_cast<int>(msg.wParam);
        state.Dispatch(msg);
    }
    return *state.exitCode;
}

void Win32Desktop::Quit(int exitCode) {
    PostQuitMessage(exitCode);
}

void Win32Desktop::ExitProcess(int exitCode) {
    state_->person->EndProcess(exitCode);
    if (!state_->exitCode) state_->exitCode = exitCode;
    // Wakes any loop waiting for a message so it can end.
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

void Win32Desktop::MessageBox(ui::WindowPeer* owner, const Text& message, const Text& caption) {
    win32::DesktopState& state = *state_;
    HWND ownerHwnd = owner != nullptr ? static_cast<Win32Window*>(owner)->Hwnd() : nullptr;
    // MessageBoxW disables only its owner, and on closing enables it whatever
    // it was before (Wine does so even for an owner a modal loop had
    // disabled). So the box is made modal to every window here, and every
    // window gets back exactly the state it had.
    const ui::ModalPolicy::Snapshot before = state.modal.BeginMessageBox(win32::IdOf(ownerHwnd));
    const std::wstring text = win32::Wide(message);
    const std::wstring title = win32::Wide(caption);
    const Text ownerName = ownerHwnd != nullptr ? owner->Definition().name : Text();
    state.person->AnswerMessageBox(ownerHwnd, ownerName, text, title,
                                   MB_OK | (ownerHwnd != nullptr ? MB_APPLMODAL : MB_TASKMODAL));
    state.modal.EndMessageBox(before);
    if (ownerHwnd != nullptr && IsWindow(ownerHwnd) && ::IsWindowEnabled(ownerHwnd)) {
        SetActiveWindow(ownerHwnd);
    }
}

ui::WindowPeer* Win32Desktop::InnermostModal() {
    return state_->FindWindow(win32::HwndOf(state_->modal.Innermost()));
}

ui::Size Win32Desktop::ScreenSize() {
    // In the units of the windows placed on it.
    return win32::DpiScale(win32::DpiOfPrimaryScreen())
        .ToUnits(ui::Size{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

}  // namespace platform
