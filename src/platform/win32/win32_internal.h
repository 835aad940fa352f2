#pragma once
// Internal to the Win32 desktop: the window, control and menu peers and the
// state they share with the desktop. Only the files of this folder include it.
#include <windows.h>
//
#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>

// The interface names must stay as declared.
#undef MessageBox
#undef FindWindow

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_dpi.h"
#include "platform/win32/win_text.h"
#include "platform/window/keyboard.h"
#include "platform/window/modal_policy.h"

namespace platform::win32 {

class Win32Window;

// Whoever sits at the screen: the desktop turns to them wherever it would
// wait for a person. The real person (RealPerson) gets the system's own
// timers, dialogs and message boxes; an automated desktop puts a stand-in in
// their place.
class Person {
  public:
    virtual ~Person() = default;
    // Starts (milliseconds > 0) or stops a timer of `owner`.
    virtual void ArmTimer(HWND owner, UINT_PTR id, int milliseconds) = 0;
    // The colour chosen in the system's colour dialog; nullopt when cancelled.
    virtual std::optional<ui::Colour> ChooseColour(HWND owner, ui::Colour current) = 0;
    virtual std::optional<Text> ChooseFile(HWND owner, const ui::FileDialogRequest& request) = 0;
    // A modal loop of `window` is about to start, and (kMsgRunModalScript,
    // posted by the person) is running.
    virtual void ModalLoopStarting(Win32Window& window) = 0;
    virtual void InModalLoop(Win32Window& window) = 0;
    // Shows a message box and returns once it is answered.
    virtual void AnswerMessageBox(HWND owner, const Text& ownerName, const std::wstring& text,
                                  const std::wstring& caption, UINT style) = 0;
    // A pop-up menu of `window` is about to be tracked.
    virtual void PopUpOpening(HWND window, const Text& barCaption) = 0;
    // The process ends; a stand-in only notes it and returns.
    virtual void EndProcess(int exitCode) = 0;
};

std::unique_ptr<Person> RealPerson();

// Private messages posted to the program's own windows.
constexpr UINT kMsgIconChosen = WM_APP + 1;      // wParam: control index
constexpr UINT kMsgRunModalScript = WM_APP + 2;  // the modal loop has started
constexpr UINT kMsgEndPopUp = WM_APP + 3;        // automation: dismiss the pop-up menu

constexpr int kFirstControlId = 1000;
constexpr UINT kFirstMenuId = 40000;
constexpr UINT_PTR kFirstTimerId = 1;

// A programming error in a definition or a caller: say what and stop.
[[noreturn]] void Fail(const char* what, const Text& name);

inline std::wstring WindowText(HWND hwnd) {
    if (hwnd == nullptr) return {};
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, buffer.data(), length + 1);
    buffer.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return buffer;
}

inline ui::WindowId IdOf(HWND hwnd) {
    return reinterpret_cast<ui::WindowId>(hwnd);
}
inline HWND HwndOf(ui::WindowId id) {
    return reinterpret_cast<HWND>(id);
}

struct DesktopState final : ui::WindowSwitches {
    explicit DesktopState(std::unique_ptr<Person> person);
    ~DesktopState();

    const std::unique_ptr<Person> person;
    HINSTANCE instance = nullptr;
    HMODULE richEditModule = nullptr;
    ATOM windowClass = 0;
    std::vector<Win32Window*> windows;  // every live window peer

    // GDI objects shared by all controls, freed with the desktop. A font's
    // height is in units, drawn at `dpi`.
    HFONT FontFor(const ui::Font& font, int dpi);
    HBRUSH BrushFor(COLORREF colour);
    // The program icon drawn for `pixels` square.
    HICON ProgramIconAt(int pixels);
    std::map<int, HICON> icons;
    LOGFONTW guiFont{};
    int defaultFontHeight = 12;  // units, for a font that names no height
    std::map<std::tuple<std::wstring, int, int, bool>, HFONT> fonts;
    std::map<COLORREF, HBRUSH> brushes;

    // The window peer of a top-level HWND (nullptr: not one of ours).
    Win32Window* FindWindow(HWND hwnd);
    // Shortcuts, Tab navigation, then the usual translate and dispatch.
    void Dispatch(MSG& msg);
    // Handles whatever is already queued (automation: deferred events).
    void PumpPending();
    // While a progress bar is up, the work behind it keeps the message loop
    // waiting: the windows are painted anyway, a few times a second at most,
    // and nothing else is handled, so no other command can start before the
    // work is done. Only on the thread the windows belong to.
    void PaintWhileBusy();
    const DWORD thread = GetCurrentThreadId();
    DWORD lastBusyPaint = 0;
    // The program's top-level windows for the modal rule.
    std::vector<ui::WindowId> OpenWindows() override;
    bool IsOn(ui::WindowId window) override;
    void Switch(ui::WindowId window, bool on) override;
    ui::ModalPolicy modal{*this};

    // Set when the process is to end (and a stand-in kept it alive): every
    // loop ends with this code.
    std::optional<int> exitCode;
    bool Ending() const { return exitCode.has_value(); }
};

// "描述|*.txt|描述|*.*" as the common dialogs want it: NUL-separated, ending
// in two NULs.
std::wstring FileDialogFilter(const Text& filter);

// The rich edit stores a line break as one CR; text handed to it may say CR LF or LF.
std::wstring WithSingleBreaks(const Text& value);

// What every control shares: its place in the window, font, colours,
// visibility, focus and events. One class per kind (win32_controls.h) adds the
// child window it is and what that kind does; a call that means nothing for a
// kind changes nothing and answers a default.
class Win32Control : public ui::ControlPeer {
  public:
    Win32Control(Win32Window& window, int index, const ui::ControlDef& def);
    ~Win32Control() override;

    // Builds the child window (visual kinds) at its definition's place.
    virtual void Create();
    // The window moved to a screen of another DPI: the same place and size
    // in units, the font and images drawn for the new DPI.
    void Rescale(const ui::Rect& units);
    HWND Hwnd() const { return hwnd_; }
    int Index() const { return index_; }
    Win32Window& Window() { return window_; }
    // The owning window is gone: every call returns a default from now on.
    virtual void Detach() { hwnd_ = nullptr; }

    // Messages the owning window routes here.
    virtual void OnCommand(WORD) {}
    virtual void OnNotify(const NMHDR&) {}
    virtual void OnScroll() {}
    virtual void OnTimer() {}
    void OnIconChosen();
    virtual void OnDrawItem(const DRAWITEMSTRUCT&) {}
    // WM_CTLCOLOR*: the brush to paint with, or nullptr for the default.
    HBRUSH OnCtlColour(HDC dc);
    // A message to the subclassed child window; true when it is done with.
    virtual bool Filter(HWND, UINT, WPARAM) { return false; }
    void OnRightButtonDown();

    virtual bool TimerArmed() const { return false; }
    // A key, not the mouse, is moving a list's selection: only Enter opens.
    bool keyboardSelects = false;
    void Fire(ui::Event event, int argument);
    // Automation routes a user choice through the list view's own messages.
    virtual void SetUserSelection(int) {}

    const ui::ControlDef& Definition() const override { return def_; }
    Text GetText() override;
    void SetText(const Text& value) override;
    bool IsVisible() override;
    void SetVisible(bool visible) override;
    bool IsEnabled() override;
    void SetEnabled(bool enabled) override;
    ui::Rect GetRect() override;
    void SetRect(const ui::Rect& rect) override;
    ui::Font GetFont() override;
    void SetFont(const ui::Font& font) override;
    void SetTextColour(ui::Colour colour) override;
    void SetBackColour(ui::Colour colour) override;
    void Focus() override;
    bool HasFocus() override;
    int GetTextIndent() override { return 0; }
    void SetTextIndent(int) override {}

    int AddItem(const Text&, int) override { return -1; }
    void AddItems(const std::vector<Text>&, int) override {}
    int ItemCount() override { return 0; }
    Text ItemText(int) override { return {}; }
    int ItemImage(int) override { return -1; }
    void ClearItems() override {}
    int Selection() override { return -1; }
    void SetSelection(int) override {}
    void SetImageList(const ui::ImageStrip&) override {}
    int ImageCount() override { return 0; }

    void GetSelection(int& start, int& length) override { start = length = 0; }
    void SetSelectionRange(int, int) override {}
    Text SelectedText() override { return {}; }
    void ReplaceSelection(const Text&) override {}
    int FindForward(const Text&, int, bool) override { return -1; }
    int TextLength() override { return 0; }
    void Undo() override {}
    void Cut() override {}
    void Copy() override {}
    void Paste() override {}
    void SetDefaultFormat(const ui::CharFormat&) override {}
    ui::CharFormat GetDefaultFormat() override { return {}; }
    void SetRedraw(bool) override {}

    bool IsChecked() override { return false; }
    void SetChecked(bool) override {}
    int GetPosition() override { return 0; }
    void SetPosition(int) override {}
    ui::Colour GetColour() override { return 0; }
    void SetColour(ui::Colour) override {}
    int GetPeriod() override { return 0; }
    void SetPeriod(int) override {}

    std::optional<Text> ShowFileDialog(const ui::FileDialogRequest&) override {
        return std::nullopt;
    }
    void SetHandler(ui::Event event, ui::EventHandler handler) override;

  protected:
    // The child window a visual kind is.
    struct WindowClass {
        const wchar_t* name = L"STATIC";
        DWORD style = 0, exStyle = 0;
        bool focusable = true;
        bool caption = true;  // the definition's caption is the initial window text
    };
    virtual WindowClass Class() const = 0;
    // Right after the child window is made, with its font.
    virtual void Created() {}
    // The font was set (the control may have reset its margins).
    virtual void FontSet() {}
    // After a move to another DPI, with the new font in place.
    virtual void Rescaled() {}
    // A colour changed; the default repaints with it.
    virtual void ColoursChanged(bool text);
    // The background of a box the user types into or picks from.
    virtual bool PaintsAsWindow() const { return false; }
    HFONT Font() const;
    // Subclasses the child window, so that Filter sees its messages.
    void Subclass();

    Win32Window& window_;
    const int index_;
    const ui::ControlDef def_;
    HWND hwnd_ = nullptr;
    ui::Font font_;
    std::optional<ui::Colour> textColour_, backColour_;

  private:
    std::map<ui::Event, ui::EventHandler> handlers_;
};

// The peer of one control of a definition, of the class for its kind.
std::unique_ptr<Win32Control> MakeControl(Win32Window& window, int index,
                                          const ui::ControlDef& def);

class Win32Menu final : public ui::MenuPeer {
  public:
    explicit Win32Menu(Win32Window& window) : window_(window) {}
    ~Win32Menu() override;

    // Builds the menu bar and the accelerator table of its shortcuts.
    void Build(const std::vector<ui::MenuItemDef>& items);
    HMENU Bar() const { return bar_; }
    HACCEL Accelerators() const { return accelerators_; }
    // The window destroyed the bar along with itself.
    void Detach() { bar_ = nullptr; }
    // A WM_COMMAND from the menu, an accelerator or a pop-up.
    bool OnCommand(UINT id);
    // The command id of an item; 0 for separators and submenus.
    UINT CommandId(const Text& caption);

    bool HasItem(const Text& caption) override;
    bool IsEnabled(const Text& caption) override;
    void SetEnabled(const Text& caption, bool enabled) override;
    bool IsChecked(const Text& caption) override;
    void SetChecked(const Text& caption, bool checked) override;
    void SetHandler(const Text& caption, std::function<void()> handler) override;
    void PopUpAtCursor(const Text& barCaption) override;

  private:
    struct Item {
        Text caption;
        HMENU container = nullptr;  // the menu holding the item
        UINT position = 0;          // within the container
        UINT id = 0;                // 0: opens a submenu
        HMENU submenu = nullptr;
        bool isBar = false;
        std::function<void()> handler;
    };
    Item* Find(const Text& caption);
    Item& Get(const Text& caption);

    Win32Window& window_;
    std::vector<Item> items_;
    HMENU bar_ = nullptr;
    HACCEL accelerators_ = nullptr;
};

class Win32Window final : public ui::WindowPeer {
  public:
    // Window peers share the desktop state, so they stay safe to use (and to
    // destroy) in any order.
    Win32Window(std::shared_ptr<DesktopState> desktop, const ui::WindowDef& def, HWND owner);
    ~Win32Window() override;

    HWND Hwnd() const { return hwnd_; }
    DesktopState& Desktop() { return desktop_; }
    // Units (what the program sees) to this window's pixels and back.
    const DpiScale& Scale() const { return scale_; }
    Win32Menu& MenuImpl() { return menu_; }
    Win32Control* ControlById(int id);
    Win32Control* ControlByHwnd(HWND hwnd);
    // The client position, in pixels, the coordinates of a control inside
    // `groupName` are relative to.
    POINT OriginOf(const Text& groupName);
    const std::vector<std::unique_ptr<Win32Control>>& Controls() const { return controls_; }
    ui::Colour BackgroundColour() const;

    // Windows disabled while this one is modal.
    std::vector<ui::WindowId> disabledByModal;
    void RestoreDisabledWindows();
    // Closes as the user would: the close handler may keep the window open.
    void CloseAsUser();

    const ui::WindowDef& Definition() const override { return def_; }
    ui::ControlPeer& Control(const Text& name) override;
    ui::MenuPeer& Menu() override { return menu_; }
    Text GetCaption() override;
    void SetCaption(const Text& caption) override;
    ui::Rect GetOuterRect() override;
    void SetOuterSize(int width, int height) override;
    void SetOuterPosition(int left, int top) override;
    ui::Size GetClientSize() override;
    void SetBackColour(ui::Colour colour) override;
    void Show() override;
    bool IsShown() override;
    void Focus() override;
    void Close() override;
    bool IsOpen() override { return hwnd_ != nullptr; }
    std::uint32_t GetExStyle() override;
    void SetExStyle(std::uint32_t style) override;
    void SetLayeredAttributes(ui::Colour key, int alpha, std::uint32_t flags) override;
    void SetSizeHandler(std::function<void()> handler) override;
    void SetCloseHandler(std::function<bool()> handler) override;

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnDestroyed();
    void OnDpiChanged(int dpi, const RECT& suggested);
    ui::Rect OuterPixels() const;
    ui::Size ClientPixels() const;

    std::shared_ptr<DesktopState> desktopOwner_;
    DesktopState& desktop_;
    const ui::WindowDef def_;
    HWND hwnd_ = nullptr;
    std::vector<std::unique_ptr<Win32Control>> controls_;
    std::map<Text, Win32Control*> byName_;
    Win32Menu menu_;
    std::optional<ui::Colour> background_;
    DpiScale scale_;
    std::function<void()> sizeHandler_;
    std::function<bool()> closeHandler_;
    HWND lastFocus_ = nullptr;
    bool destroying_ = false;
    // The size handler runs for real changes only (pixels).
    ui::Size lastClientSize_, lastOuterSize_;
};

}  // namespace platform::win32
