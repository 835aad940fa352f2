#pragma once
// Keys, and which of them a focused text box takes before the window's
// shortcuts see them: one rule for both desktops.
#include <optional>
#include <string_view>

#include "platform/window/definition.h"

namespace ui {

struct ShortcutKey {
    bool ctrl = false, shift = false;
    int key = 0;  // virtual-key code: 'A'..'Z', '0'..'9', 0x70 + n - 1 for Fn, or a kKey below
    bool alt = false;
    bool operator==(const ShortcutKey&) const = default;
};

constexpr int kKeyTab = 0x09;
constexpr int kKeyEnter = 0x0D;
constexpr int kKeyEscape = 0x1B;
constexpr int kKeySpace = 0x20;
constexpr int kKeyPageUp = 0x21;
constexpr int kKeyPageDown = 0x22;
constexpr int kKeyEnd = 0x23;
constexpr int kKeyHome = 0x24;
constexpr int kKeyLeft = 0x25;
constexpr int kKeyUp = 0x26;
constexpr int kKeyRight = 0x27;
constexpr int kKeyDown = 0x28;
constexpr int kKeyInsert = 0x2D;
constexpr int kKeyDelete = 0x2E;
constexpr int kKeyF1 = 0x70;

// A menu item's shortcut text as both desktops read it: modifiers "Ctrl" (or
// "Control"), "Shift" and "Alt" joined by "+" to one key (a letter, a digit,
// F1 to F24, or Del, Ins, Enter, Esc, Tab, Space, Home, End, PgUp, PgDn), any
// letter case. nullopt for anything else.
std::optional<ShortcutKey> ParseShortcut(std::string_view text);

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
