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

class Win32Control final : public ui::ControlPeer {
  public:
    Win32Control(Win32Window& window, int index, const ui::ControlDef& def);
    ~Win32Control() override;

    // Builds the child window (visual kinds) at its definition's place.
    void Create();
    // The window moved to a screen of another DPI: the same place and size
    // in units, the font and images drawn for the new DPI.
    void Rescale(const ui::Rect& units);
    HWND Hwnd() const { return hwnd_; }
    int Index() const { return index_; }
    Win32Window& Window() { return window_; }
    // The owning window is gone: every call returns a default from now on.
    void Detach();

    // Messages the owning window routes here.
    void OnCommand(WORD code);
    void OnNotify(const NMHDR& header);
    void OnScroll();
    void OnTimer();
    void OnIconChosen();
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    // WM_CTLCOLOR*: the brush to paint with, or nullptr for the default.
    HBRUSH OnCtlColour(HDC dc);
    // The edit box subclass: refuses what does not fit the byte limit.
    bool AcceptChar(wchar_t unit);
    void PasteWithinLimit();
    std::size_t BytesOutsideSelection() const;
    void OnRightButtonDown();

    bool TimerArmed() const { return period_ > 0 && windowAlive_; }
    // A key, not the mouse, is moving a list's selection: only Enter opens.
    bool keyboardSelects = false;
    void Fire(ui::Event event, int argument);
    // Automation routes a user choice through the list view's own messages.
    void SetUserSelection(int index);

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
    int GetTextIndent() override;
    void SetTextIndent(int pixels) override;

    int AddItem(const Text& text, int image) override;
    void AddItems(const std::vector<Text>& texts, int image) override;
    int ItemCount() override;
    Text ItemText(int index) override;
    int ItemImage(int index) override;
    void ClearItems() override;
    int Selection() override;
    void SetSelection(int index) override;
    void SetImageList(const ui::ImageStrip& strip) override;
    int ImageCount() override;

    void GetSelection(int& start, int& length) override;
    void SetSelectionRange(int start, int length) override;
    Text SelectedText() override;
    void ReplaceSelection(const Text& value) override;
    int FindForward(const Text& what, int start, bool matchCase) override;
    int TextLength() override;
    void Undo() override;
    void Cut() override;
    void Copy() override;
    void Paste() override;
    void SetDefaultFormat(const ui::CharFormat& format) override;
    ui::CharFormat GetDefaultFormat() override;
    void SetRedraw(bool on) override;

    bool IsChecked() override;
    void SetChecked(bool checked) override;
    int GetPosition() override;
    void SetPosition(int position) override;
    ui::Colour GetColour() override;
    void SetColour(ui::Colour colour) override;
    int GetPeriod() override;
    void SetPeriod(int milliseconds) override;

    std::optional<Text> ShowFileDialog(const ui::FileDialogRequest& request) override;
    void SetHandler(ui::Event event, ui::EventHandler handler) override;

  private:
    bool Is(ui::ControlKind kind) const { return def_.kind == kind; }
    UINT_PTR TimerId() const { return kFirstTimerId + static_cast<UINT_PTR>(index_); }
    void ApplyRichEditColours();
    void ApplyListViewColours();
    // The rich edit's text (or its selection) with CR LF line breaks.
    Text RichEditText(bool selectionOnly);
    // Modes, limit, colours and subclass of a newly created rich edit.
    void PrepareRichEdit();
    void SetRichEditText(const Text& value);
    // Puts a new, empty rich edit in the place of the current one.
    bool RenewRichEdit();

    Win32Window& window_;
    const int index_;
    const ui::ControlDef def_;
    HWND hwnd_ = nullptr;
    bool windowAlive_ = true;

    ui::Font font_;
    std::optional<ui::Colour> textColour_, backColour_;
    std::optional<ui::CharFormat> richFormat_;  // the last default format set
    bool redrawOff_ = false;
    std::map<ui::Event, ui::EventHandler> handlers_;
    // Edit box: the left margin the control chose for its font (pixels), and
    // the indent the program asked for on top of it (units).
    int fontMargin_ = 0;
    int textIndent_ = 0;
    void ApplyTextIndent(bool fontChanged);
    HFONT Font() const;
    std::shared_ptr<const ui::ImageStrip> images_;  // drawn again at a new DPI

    int period_ = 0;               // timer
    ui::Colour colour_ = 0;        // colour picker
    int sliderPosition_ = 0;       // last position reported by the slider
    bool programSelects_ = false;  // icon list: the program, not the user, selects
    wchar_t pendingHigh_ = 0;      // edit box: first half of a surrogate pair
    ui::Rect nonVisualRect_;
};

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
