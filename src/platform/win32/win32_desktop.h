#pragma once
// The real desktop: windows and controls are HWNDs built from definitions.
// With `automation` set, the same class also acts as the user for tests:
// message boxes are answered, modal windows run queued scripts, file dialogs
// return queued answers, and an exit request is recorded instead of ending
// the process.
#include <memory>

// <windows.h> maps MessageBox to MessageBoxW; the interface name must stay,
// also when <windows.h> came first.
#pragma push_macro("MessageBox")
#undef MessageBox

#include "platform/desktop.h"
#include "platform/window/automation_queues.h"

namespace platform {

namespace win32 {
struct DesktopState;
}

class Win32Desktop : public Desktop, public ui::QueuedAutomation {
  public:
    explicit Win32Desktop(bool automation);
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

    // Desktop
    std::unique_ptr<ui::WindowPeer> CreateWindowFromDef(const ui::WindowDef& def,
                                                        ui::WindowPeer* owner) override;
    void RunModal(ui::WindowPeer& window, ui::WindowPeer* owner) override;
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
    void Select(ui::ControlPeer& control, int index) override;
    void RightClick(ui::ControlPeer& control) override;
    void ChooseMenu(ui::WindowPeer& window, const Text& caption) override;
    void PressShortcut(ui::WindowPeer& window, ui::ShortcutKey key) override;
    void PressKey(ui::WindowPeer& window, ui::ShortcutKey key) override;
    void CloseByUser(ui::WindowPeer& window) override;
    void ResizeByUser(ui::WindowPeer& window, int outerWidth, int outerHeight) override;
    bool IsWindowEnabled(ui::WindowPeer& window) override;
    int FirePendingTimers() override;
    bool IsTimerArmed(ui::ControlPeer& timer) override;
    std::optional<Layered> LayeredAttributes(ui::WindowPeer& window) override;

    // Long work calls this now and then, from any thread; see DesktopState.
    void PaintWhileBusy();

    // Shared with the window and control implementations.
    win32::DesktopState& State() { return *state_; }

  private:
    ui::AutomationQueues& Queues() override;
    std::shared_ptr<win32::DesktopState> state_;
};

}  // namespace platform

#pragma pop_macro("MessageBox")
