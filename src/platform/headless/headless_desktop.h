#pragma once
// The in-memory desktop of the native build: windows, controls, menus,
// timers and dialogs held as plain state, behaving as the Win32 desktop does
// (same positions in the rich edit, same byte limits, same event rules), so
// the behaviour tests run natively in milliseconds.
//
// It is always in automation mode: message boxes are answered with OK and
// recorded, modal windows run queued scripts and are then closed by their
// close box, file dialogs return queued answers, exit requests are recorded.
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/desktop.h"
#include "platform/window/automation_queues.h"

// Some toolchains map MessageBox to a macro; the interface name must stay.
#pragma push_macro("MessageBox")
#undef MessageBox

namespace platform {

namespace headless {
struct DesktopCore;
}

class HeadlessDesktop : public Desktop, public ui::QueuedAutomation {
  public:
    // The screen of the virtual display the Windows suite runs on.
    static constexpr ui::Size kDefaultScreen{1600, 1000};

    explicit HeadlessDesktop(ui::Size screen = kDefaultScreen);
    ~HeadlessDesktop() override;
    HeadlessDesktop(const HeadlessDesktop&) = delete;
    HeadlessDesktop& operator=(const HeadlessDesktop&) = delete;

    // Desktop
    std::unique_ptr<ui::WindowPeer> CreateWindowFromDef(const ui::WindowDef& def,
                                                        ui::WindowPeer* owner) override;
    // Shows the window with every other window disabled, runs
    // the queued modal script if there is one, then closes a window still
    // open as its close box would, forcibly if the close handler refuses.
    // After an exit request it returns at once.
    void RunModal(ui::WindowPeer& window, ui::WindowPeer* owner) override;
    // Runs the script given to OnMessageLoop, if any, then returns the Quit
    // code (or the recorded exit code, or 0): there is nobody to wait for.
    int RunMessageLoop() override;
    void Quit(int exitCode) override;
    void ExitProcess(int exitCode) override;
    void MessageBox(ui::WindowPeer* owner, const Text& message, const Text& caption) override;
    ui::WindowPeer* InnermostModal() override;
    ui::Size ScreenSize() override;

    // Automation
    void Click(ui::ControlPeer& control) override;
    void Type(ui::ControlPeer& control, const Text& text) override;
    void Paste(ui::ControlPeer& control, const Text& text) override;
    // List box: selects and notifies. Icon list: a change of selection
    // notifies once. Slider: moves the thumb there and notifies.
    void Select(ui::ControlPeer& control, int index) override;
    void RightClick(ui::ControlPeer& control) override;
    void ChooseMenu(ui::WindowPeer& window, const Text& caption) override;
    void PressShortcut(ui::WindowPeer& window, ui::ShortcutKey key) override;
    // The focused control's editing keys, the shortcuts, Tab between tab
    // stops, Enter on lists and buttons, arrows moving a list's mark.
    void PressKey(ui::WindowPeer& window, ui::ShortcutKey key) override;
    void CloseByUser(ui::WindowPeer& window) override;
    void ResizeByUser(ui::WindowPeer& window, int outerWidth, int outerHeight) override;
    bool IsWindowEnabled(ui::WindowPeer& window) override;
    int FirePendingTimers() override;
    bool IsTimerArmed(ui::ControlPeer& timer) override;
    std::optional<Layered> LayeredAttributes(ui::WindowPeer& window) override;

    // What only the headless desktop can tell, for its own tests.
    void OnMessageLoop(std::function<void()> script);
    std::optional<int> QuitRequested() const;
    std::optional<ui::Colour> WindowBackground(ui::WindowPeer& window) const;
    std::optional<ui::Colour> LayeredKey(ui::WindowPeer& window) const;
    std::optional<int> LayeredAlpha(ui::WindowPeer& window) const;
    std::optional<std::uint32_t> LayeredFlags(ui::WindowPeer& window) const;
    // A menu item's caption as shown, with the shortcut after a TAB.
    Text MenuItemText(ui::WindowPeer& window, const Text& caption) const;
    std::optional<ui::Colour> TextColour(ui::ControlPeer& control) const;
    std::optional<ui::Colour> BackColour(ui::ControlPeer& control) const;
    // The clipboard's text (CR LF line breaks); nullopt when it holds none.
    std::optional<Text> ClipboardText() const;
    // The open window built from the definition named `name`, newest first.
    ui::WindowPeer* FindOpenWindow(const Text& name) const;
    int OpenWindowCount() const;
    int ModalDepth() const;

  private:
    ui::AutomationQueues& Queues() override;
    std::shared_ptr<headless::DesktopCore> core_;
};

}  // namespace platform

#pragma pop_macro("MessageBox")
