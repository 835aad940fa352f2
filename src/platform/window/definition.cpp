#include "platform/window/definition.h"

namespace ui {

const ControlDef* WindowDef::FindControl(const Text& controlName) const {
    for (const ControlDef& control : controls) {
        if (control.name == controlName) return &control;
    }
    return nullptr;
}

}  // namespace ui
