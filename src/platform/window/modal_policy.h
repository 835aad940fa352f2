#pragma once
// Which windows a modal loop or a message box takes from the user, and how
// they come back: one rule for both desktops. A desktop names its top-level
// windows by an id of its own (a handle, a serial) and switches them.
#include <cstdint>
#include <utility>
#include <vector>

namespace ui {

using WindowId = std::uintptr_t;  // 0: none

class WindowSwitches {
  public:
    virtual ~WindowSwitches() = default;
    // Every open top-level window of the program.
    virtual std::vector<WindowId> OpenWindows() = 0;
    // A window that is gone is disabled and stays so.
    virtual bool IsOn(WindowId window) = 0;
    virtual void Switch(WindowId window, bool on) = 0;
};

class ModalPolicy {
  public:
    explicit ModalPolicy(WindowSwitches& windows) : windows_(windows) {}

    // A modal loop of `modal` begins: every other window is disabled (a
    // modeless one would reach the owner too) and `modal` enabled, should an
    // outer loop have disabled it. Returns what the loop took, to give back.
    std::vector<WindowId> BeginLoop(WindowId modal);
    // The loop ends (innermost first).
    void EndLoop();
    // Enables what a loop took; a window gone meanwhile is left alone.
    void GiveBack(const std::vector<WindowId>& taken);
    // The window of the innermost loop running that is still open; 0 if none.
    WindowId Innermost();
    int Depth() const { return static_cast<int>(loops_.size()); }

    // A message box is modal to every window of the program, not only its
    // owner (which the box disables itself); when it closes each window is
    // exactly as enabled as it was before.
    using Snapshot = std::vector<std::pair<WindowId, bool>>;
    Snapshot BeginMessageBox(WindowId owner);
    void EndMessageBox(const Snapshot& before);

  private:
    std::vector<WindowId> DisableAllBut(WindowId keep);

    WindowSwitches& windows_;
    std::vector<WindowId> loops_;  // innermost last
};

}  // namespace ui
