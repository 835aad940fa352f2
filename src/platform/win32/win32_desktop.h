#pragma once
// The real desktop: windows and controls are HWNDs built from definitions,
// and whatever waits for a person (dialogs, message boxes, modal windows,
// timers) goes to the person at the screen.
#include <memory>

// <windows.h> maps MessageBox to MessageBoxW; the interface name must stay,
// also when <windows.h> came first.
#pragma push_macro("MessageBox")
#undef MessageBox

#include "platform/desktop.h"

namespace platform {

namespace win32 {
struct DesktopState;
class Person;
}  // namespace win32

class Win32Desktop : public Desktop {
  public:
    Win32Desktop();
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

    std::unique_ptr<ui::WindowPeer> CreateWindowFromDef(const ui::WindowDef& def,
                                                        ui::WindowPeer* owner) override;
    void RunModal(ui::WindowPeer& window, ui::WindowPeer* owner) override;
    int RunMessageLoop() override;
    void Quit(int exitCode) override;
    void ExitProcess(int exitCode) override;
    void MessageBox(ui::WindowPeer* owner, const Text& message, const Text& caption) override;
    ui::WindowPeer* InnermostModal() override;
    ui::Size ScreenSize() override;

    // Long work calls this now and then, from any thread; see DesktopState.
    void PaintWhileBusy();

    // Shared with the window and control implementations.
    win32::DesktopState& State() { return *state_; }

  protected:
    // Someone in the place of the person at the screen.
    explicit Win32Desktop(std::unique_ptr<win32::Person> person);

    std::shared_ptr<win32::DesktopState> state_;
};

}  // namespace platform

#pragma pop_macro("MessageBox")
