#pragma once
// What behaviour tests use to act as the user. The Win32 backend goes through
// real messages (BM_CLICK, LB_SETCURSEL with its notification, WM_COMMAND,
// WM_TIMER, keyboard input for shortcuts); the headless backend calls the
// bound handlers the same way.
#include <functional>
#include <optional>
#include <vector>

#include "platform/window/keyboard.h"
#include "platform/window/peer.h"

namespace ui {

struct MessageRecord {
    Text message;
    Text caption;
    Text owner;  // definition name of the window that owns the box; empty: none
};

class Automation {
  public:
    virtual ~Automation() = default;

    virtual void Click(ControlPeer& control) = 0;
    // Types character by character, as keystrokes; limits of the box apply.
    virtual void Type(ControlPeer& control, const Text& text) = 0;
    // Puts text on the clipboard and pastes it into the control.
    virtual void Paste(ControlPeer& control, const Text& text) = 0;
    // Selects an item as the user would; the selection event fires.
    virtual void Select(ControlPeer& control, int index) = 0;
    virtual void RightClick(ControlPeer& control) = 0;
    // Chooses a menu item by caption; a disabled item does nothing.
    virtual void ChooseMenu(WindowPeer& window, const Text& caption) = 0;
    // Presses a shortcut while the window has the focus.
    virtual void PressShortcut(WindowPeer& window, ShortcutKey key) = 0;
    // Presses a key as the user types it into the window's focused control:
    // the box's own editing keys first, then the shortcuts, Tab, Enter, Esc.
    virtual void PressKey(WindowPeer& window, ShortcutKey key) = 0;
    // Closes a window by its close box (or the system close keystroke).
    virtual void CloseByUser(WindowPeer& window) = 0;
    // Resizes as the user would by dragging the frame.
    virtual void ResizeByUser(WindowPeer& window, int outerWidth, int outerHeight) = 0;

    // Whether the user can reach the window (a modal loop or a message box
    // disables the others).
    virtual bool IsWindowEnabled(WindowPeer& window) = 0;

    // Delivers one tick to every armed timer; returns how many ticked.
    virtual int FirePendingTimers() = 0;
    virtual bool IsTimerArmed(ControlPeer& timer) = 0;

    // Message boxes are answered with OK and recorded.
    virtual const std::vector<MessageRecord>& Messages() = 0;
    virtual void ClearMessages() = 0;

    // The next modal window runs this script inside its own modal loop; a
    // window still open when the script returns is closed by its close box.
    virtual void OnNextModal(std::function<void(WindowPeer&)> script) = 0;
    // The next file dialog returns this answer (nullopt: cancelled) instead
    // of waiting for a person; the request it was shown with is recorded.
    virtual void AnswerNextFileDialog(std::optional<Text> path) = 0;
    virtual std::vector<FileDialogRequest> FileDialogsShown() = 0;
    // Exit requests are recorded instead of ending the test process.
    virtual std::optional<int> ExitRequested() = 0;
    // The submenu last popped up at the cursor (its bar caption), if any.
    virtual std::optional<Text> LastPopUp() = 0;
    // The layered attributes in effect on a window: nullopt when it has none.
    struct Layered {
        Colour key = 0;
        int alpha = 0;
        std::uint32_t flags = 0;
    };
    virtual std::optional<Layered> LayeredAttributes(WindowPeer& window) = 0;
};

}  // namespace ui
