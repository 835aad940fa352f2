#include "platform/window/modal_policy.h"

#include <algorithm>

namespace ui {

std::vector<WindowId> ModalPolicy::DisableAllBut(WindowId keep) {
    std::vector<WindowId> disabled;
    for (WindowId window : windows_.OpenWindows()) {
        if (window == keep || !windows_.IsOn(window)) continue;
        windows_.Switch(window, false);
        disabled.push_back(window);
    }
    return disabled;
}

std::vector<WindowId> ModalPolicy::BeginLoop(WindowId modal) {
    std::vector<WindowId> taken = DisableAllBut(modal);
    if (!windows_.IsOn(modal)) windows_.Switch(modal, true);
    loops_.push_back(modal);
    return taken;
}

void ModalPolicy::EndLoop() {
    if (!loops_.empty()) loops_.pop_back();
}

void ModalPolicy::GiveBack(const std::vector<WindowId>& taken) {
    const std::vector<WindowId> open = windows_.OpenWindows();
    for (WindowId window : taken) {
        if (std::find(open.begin(), open.end(), window) != open.end())
            windows_.Switch(window, true);
    }
}

WindowId ModalPolicy::Innermost() {
    const std::vector<WindowId> open = windows_.OpenWindows();
    for (auto it = loops_.rbegin(); it != loops_.rend(); ++it) {
        if (std::find(open.begin(), open.end(), *it) != open.end()) return *it;
    }
    return 0;
}

ModalPolicy::Snapshot ModalPolicy::BeginMessageBox(WindowId owner) {
    Snapshot before;
    for (WindowId window : windows_.OpenWindows())
        before.emplace_back(window, windows_.IsOn(window));
    DisableAllBut(owner);
    return before;
}

void ModalPolicy::EndMessageBox(const Snapshot& before) {
    const std::vector<WindowId> open = windows_.OpenWindows();
    for (const auto& [window, on] : before) {
        if (std::find(open.begin(), open.end(), window) != open.end() &&
            windows_.IsOn(window) != on) {
            windows_.Switch(window, on);
        }
    }
}

}  // namespace ui
