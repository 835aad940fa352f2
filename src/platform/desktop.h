#pragma once
// The windowing facility: builds live windows from definitions, runs modal
// loops and message boxes. Real Win32 in the Windows build, an in-memory
// desktop in the native build.
#include <memory>

#include "platform/window/peer.h"

// <windows.h> renames MessageBox to MessageBoxW; the member keeps its name
// whatever the include order.
#pragma push_macro("MessageBox")
#undef MessageBox

namespace platform {

class Desktop {
  public:
    virtual ~Desktop() = default;

    // Builds the window hidden, with every control of the definition. The
    // owner (if any) is the window it stays above.
    virtual std::unique_ptr<ui::WindowPeer> CreateWindowFromDef(const ui::WindowDef& def,
                                                                ui::WindowPeer* owner) = 0;
    // Shows the window and runs a nested loop until it is closed; every
    // other window of the program is disabled meanwhile.
    virtual void RunModal(ui::WindowPeer& window, ui::WindowPeer* owner) = 0;
    // The program's main loop; returns the exit code once Quit is called.
    virtual int RunMessageLoop() = 0;
    virtual void Quit(int exitCode) = 0;
    // Ends the process at once, nothing saved.
    virtual void ExitProcess(int exitCode) = 0;

    // A message box with one OK button and no icon, modal to every window.
    // While it is shown every other window of the program is disabled; when
    // it closes each window is as enabled as it was before.
    virtual void MessageBox(ui::WindowPeer* owner, const Text& message, const Text& caption) = 0;
    // The window of the innermost modal loop running now; nullptr when none.
    virtual ui::WindowPeer* InnermostModal() = 0;

    virtual ui::Size ScreenSize() = 0;
};

}  // namespace platform

#pragma pop_macro("MessageBox")
