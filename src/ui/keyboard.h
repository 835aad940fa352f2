#pragma once
// Keys, and which of them a focused text box takes before the window's
// shortcuts see them: one rule for both desktops.
#include "ui/definition.h"

namespace ui {

struct ShortcutKey {
    bool ctrl = false, shift = false;
    int key = 0;  // virtual-key code: 'A'..'Z', 0x70 + n - 1 for Fn, or a kKey below
};

constexpr int kKeyTab = 0x09;
constexpr int kKeyEnter = 0x0D;
constexpr int kKeyEscape = 0x1B;
constexpr int kKeyEnd = 0x23;
constexpr int kKeyHome = 0x24;
constexpr int kKeyLeft = 0x25;
constexpr int kKeyUp = 0x26;
constexpr int kKeyRight = 0x27;
constexpr int kKeyDown = 0x28;

enum class EditKey { None, SelectAll, Copy, Cut, Paste, Undo };

// Ctrl+A, C, X, V and Z typed in an edit box work on that box, not on the
// editor through the menu items that carry the same shortcuts; in the rich
// edit Ctrl+A selects all (the others are its own menu commands anyway).
constexpr EditKey EditKeyFor(ControlKind focused, ShortcutKey key) {
    if (!key.ctrl || key.shift) return EditKey::None;
    if (focused == ControlKind::RichEdit) {
        return key.key == 'A' ? EditKey::SelectAll : EditKey::None;
    }
    if (focused != ControlKind::Edit) return EditKey::None;
    switch (key.key) {
        case 'A':
            return EditKey::SelectAll;
        case 'C':
            return EditKey::Copy;
        case 'X':
            return EditKey::Cut;
        case 'V':
            return EditKey::Paste;
        case 'Z':
            return EditKey::Undo;
        default:
            return EditKey::None;
    }
}

}  // namespace ui
