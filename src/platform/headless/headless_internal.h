#pragma once
// Internal to the headless desktop: the window, control and menu peers and
// the state they share with the desktop. Only this folder includes it.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/headless/text_buffer.h"
#include "platform/window/automation_queues.h"
#include "platform/window/modal_policy.h"

namespace platform::headless {

class HeadlessWindow;

// A programming error in a definition or a caller: say what and stop.
[[noreturn]] void Fail(const char* what, const Text& name);

// Frame sizes as Windows 10 reports them at 96 DPI: a captioned window (fixed
// or resizable) has 8-pixel side and bottom borders and a 31-pixel caption
// with its top border; a borderless pop-up keeps a 1-pixel line; a menu bar
// takes one 20-pixel row.
constexpr int kCaptionFrameWidth = 16;
constexpr int kCaptionFrameHeight = 39;
constexpr int kThinFrameWidth = 2;
constexpr int kThinFrameHeight = 2;
constexpr int kMenuBarHeight = 20;
// WS_EX_WINDOWEDGE, which Windows adds to every captioned window.
constexpr std::uint32_t kExStyleWindowEdge = 0x100;

struct DesktopCore final : ui::WindowSwitches {
    explicit DesktopCore(ui::Size screen) : screen(screen) {}

    ui::Size screen;
    std::uint64_t nextSerial = 1;
    // Every window peer not yet destroyed, by serial (creation order).
    std::map<std::uint64_t, HeadlessWindow*> windows;
    HeadlessWindow* Find(std::uint64_t serial) const;

    // The keyboard focus: a window, and within it a control (-1: the window).
    std::uint64_t focusWindow = 0;
    int focusControl = -1;
    // Moves the focus; the window it leaves remembers its control, which
    // gets it back when that window is activated again (as WM_SETFOCUS does).
    void SetFocus(std::uint64_t window, int control);

    std::u16string clipboard;
    bool clipboardHasText = false;

    ui::AutomationQueues queues;
    std::optional<int> quitCode;
    std::function<void()> messageLoopScript;

    // Windows by serial for the modal rule.
    std::vector<ui::WindowId> OpenWindows() override;
    bool IsOn(ui::WindowId window) override;
    void Switch(ui::WindowId window, bool on) override;
    ui::ModalPolicy modal{*this};
};

class HeadlessControl final : public ui::ControlPeer {
  public:
    HeadlessControl(HeadlessWindow& window, int index, const ui::ControlDef& def, int parentIndex);

    int Index() const { return index_; }
    // Position in the window's client area, whatever the definition is relative to.
    ui::Rect ClientRect() const { return clientRect_; }

    // The user's actions (Automation).
    void UserClick();
    void UserType(const Text& text);
    // Puts the text on the clipboard and pastes it.
    void UserPaste(const Text& text);
    void UserSelect(int index);
    void UserRightClick();
    // A key pressed while this control has the focus; false when the control
    // leaves it to the window (shortcuts, Tab, the default button).
    bool UserKey(ui::ShortcutKey key);
    // Takes the focus if Tab can move it here.
    bool TakesFocusByTab();
    // The control keeps Tab (and Enter) for itself: the multi-line boxes.
    bool WantsTab() const;

    bool TimerArmed() const;
    // Delivers one tick if the timer is still armed; false otherwise.
    bool DeliverTick();
    // The window is destroyed: timers stop, every call returns a default.
    void Detach() { period_ = 0; }

    std::optional<ui::Colour> TextColour() const { return textColour_; }
    std::optional<ui::Colour> BackColour() const { return backColour_; }

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
    void SetRedraw(bool) override {}

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
    struct Item {
        std::u16string text;
        int image = -1;
    };

    bool Live() const;
    // The user can act on it: enabled, in an enabled window.
    bool Reachable() const;
    bool Is(ui::ControlKind kind) const { return def_.kind == kind; }
    bool IsList() const { return Is(ui::ControlKind::ListBox) || Is(ui::ControlKind::IconList); }
    bool HasBuffer() const { return Is(ui::ControlKind::Edit) || Is(ui::ControlKind::RichEdit); }
    // Runs the bound handler; the control may be gone when it returns.
    void Fire(ui::Event event, int argument);
    // Inserts as much of `value` as the byte limit lets in, whole characters
    // only; returns false if nothing of a non-empty value fitted.
    bool InsertWithinLimit(std::u16string_view value, bool typing);
    void TypeUnit(std::u16string_view character, bool& afterCr);
    void PasteClipboard();
    int ClampPosition(int position) const;
    ui::Rect ParentOrigin() const;

    HeadlessWindow& window_;
    const int index_;
    const ui::ControlDef def_;
    const int parentIndex_;  // group box the definition is relative to, or -1

    ui::Rect clientRect_;
    bool visible_, enabled_;
    std::u16string text_;  // every kind but the two text boxes
    TextBuffer buffer_;    // edit box and rich edit box
    ui::Font font_;
    std::optional<ui::Colour> textColour_, backColour_;
    int textIndent_ = 0;

    std::vector<Item> items_;
    int selection_ = -1;
    int imageCount_ = 0;

    ui::CharFormat defaultFormat_;
    bool checked_;
    int position_;
    ui::Colour colour_ = 0;
    int period_;
    std::map<ui::Event, ui::EventHandler> handlers_;
};

class HeadlessMenu final : public ui::MenuPeer {
  public:
    explicit HeadlessMenu(HeadlessWindow& window, const std::vector<ui::MenuItemDef>& items);

    // Runs the handler of a command item if it is enabled (WM_COMMAND).
    void Choose(const Text& caption);
    // The first item with this shortcut runs if it is enabled, as
    // TranslateAccelerator does; returns whether some item has the shortcut.
    bool Press(ui::ShortcutKey key);
    // The caption as the menu shows it: shortcut text after a TAB.
    Text DisplayText(const Text& caption);

    bool HasItem(const Text& caption) override;
    bool IsEnabled(const Text& caption) override;
    void SetEnabled(const Text& caption, bool enabled) override;
    bool IsChecked(const Text& caption) override;
    void SetChecked(const Text& caption, bool checked) override;
    void SetHandler(const Text& caption, std::function<void()> handler) override;
    void PopUpAtCursor(const Text& barCaption) override;

  private:
    struct Item {
        ui::MenuItemDef def;
        std::optional<ui::ShortcutKey> shortcut;
        bool opensSubmenu = false;  // a bar entry or an item with level-2 items
        bool enabled = true, checked = false;
        std::function<void()> handler;
    };
    Item* Find(const Text& caption);
    Item& Get(const Text& caption);
    void Run(Item& item);

    HeadlessWindow& window_;
    std::vector<Item> items_;
};

class HeadlessWindow final : public ui::WindowPeer {
  public:
    HeadlessWindow(std::shared_ptr<DesktopCore> core, const ui::WindowDef& def,
                   HeadlessWindow* owner);
    ~HeadlessWindow() override;

    DesktopCore& Core() const { return *core_; }
    const std::shared_ptr<DesktopCore>& CoreHandle() const { return core_; }
    std::uint64_t Serial() const { return serial_; }
    std::uint64_t OwnerSerial() const { return ownerSerial_; }
    bool WindowEnabled() const { return open_ && enabled_; }
    void SetWindowEnabled(bool enabled) { enabled_ = enabled; }
    HeadlessControl& ControlAt(int index) { return *controls_[static_cast<std::size_t>(index)]; }
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    HeadlessMenu& MenuImpl() { return menu_; }
    std::optional<ui::Colour> Background() const { return background_; }
    std::optional<ui::Colour> LayeredKey() const { return layeredKey_; }
    std::optional<int> LayeredAlpha() const { return layeredAlpha_; }
    std::optional<std::uint32_t> LayeredFlags() const { return layeredFlags_; }

    // The close box: the close handler may keep the window open. The window
    // may be destroyed by the handler; callers look it up again by serial.
    void CloseAsUser();
    void ResizeAsUser(int width, int height);
    // A key typed while the window has the focus, as the message loop routes it.
    void UserKey(ui::ShortcutKey key);
    void RememberFocus(int control) { lastFocus_ = control; }

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
    bool IsShown() override { return open_ && shown_; }
    void Focus() override;
    void Close() override;
    bool IsOpen() override { return open_; }
    std::uint32_t GetExStyle() override { return open_ ? exStyle_ : 0; }
    void SetExStyle(std::uint32_t style) override;
    void SetLayeredAttributes(ui::Colour key, int alpha, std::uint32_t flags) override;
    void SetSizeHandler(std::function<void()> handler) override;
    void SetCloseHandler(std::function<bool()> handler) override;

  private:
    // Changes the outer size; a real change runs the size handler (WM_SIZE).
    void Resize(int width, int height);
    void MoveFocusByTab(bool backwards);

    std::shared_ptr<DesktopCore> core_;
    const ui::WindowDef def_;
    const std::uint64_t serial_;
    const std::uint64_t ownerSerial_;
    std::vector<std::unique_ptr<HeadlessControl>> controls_;
    HeadlessMenu menu_;

    bool open_ = true, shown_ = false, enabled_ = true;
    int lastFocus_ = -1;  // the control focused when the window lost the focus
    Text caption_;
    ui::Rect outer_;
    std::optional<ui::Colour> background_;
    std::uint32_t exStyle_;
    std::optional<ui::Colour> layeredKey_;
    std::optional<int> layeredAlpha_;
    std::optional<std::uint32_t> layeredFlags_;
    std::function<void()> sizeHandler_;
    std::function<bool()> closeHandler_;
};

// The headless peer behind an interface reference; anything else is a caller error.
HeadlessWindow& AsHeadless(ui::WindowPeer& window);
HeadlessControl& AsHeadless(ui::ControlPeer& control);

}  // namespace platform::headless
