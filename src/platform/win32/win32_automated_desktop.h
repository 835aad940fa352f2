#pragma once
// The real desktop with a stand-in for its person, for tests and benchmarks.
// It acts as the user through the same messages a person's input produces;
// message boxes are answered with OK and recorded, modal windows run queued
// scripts, file dialogs return queued answers, an exit request is recorded
// instead of ending the process, and timers tick only when told.
#pragma push_macro("MessageBox")
#undef MessageBox

#include "platform/win32/win32_desktop.h"
#include "platform/window/automation_queues.h"

namespace platform {

namespace win32 {
class StandIn;
}

class Win32AutomatedDesktop final : public Win32Desktop, public ui::QueuedAutomation {
  public:
    Win32AutomatedDesktop();
    ~Win32AutomatedDesktop() override;

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

  private:
    ui::AutomationQueues& Queues() override;

    win32::StandIn& standIn_;  // owned by the desktop state
};

}  // namespace platform

#pragma pop_macro("MessageBox")
