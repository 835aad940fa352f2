// Headless menus: items by caption, enabled and check states, shortcuts that
// behave as an accelerator table does, and the recorded pop-up.
#include <cctype>

#include "platform/headless/headless_internal.h"

namespace platform::headless {

namespace {

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

int KeyOf(std::string_view name) {
    if (name.size() == 1) {
        const unsigned char c = static_cast<unsigned char>(std::toupper(name[0]));
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
        return 0;
    }
    if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3) {
        int n = 0;
        for (std::size_t i = 1; i < name.size(); ++i) {
            if (name[i] < '0' || name[i] > '9') return 0;
            n = n * 10 + (name[i] - '0');
        }
        if (n >= 1 && n <= 24) return 0x70 + n - 1;  // VK_F1..VK_F24
    }
    return 0;
}

}  // namespace

std::optional<ui::ShortcutKey> ParseShortcut(const Text& text) {
    ui::ShortcutKey key;
    std::string_view rest(text);
    while (!rest.empty()) {
        const std::size_t plus = rest.find('+');
        const std::string_view word = rest.substr(0, plus);
        rest = plus == std::string_view::npos ? std::string_view() : rest.substr(plus + 1);
        if (word.empty()) return std::nullopt;
        const bool last = plus == std::string_view::npos;
        if (!last && SameWord(word, "Ctrl")) {
            key.ctrl = true;
        } else if (!last && SameWord(word, "Shift")) {
            key.shift = true;
        } else if (last) {
            key.key = KeyOf(word);
            if (key.key == 0) return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (key.key == 0) return std::nullopt;
    return key;
}

HeadlessMenu::HeadlessMenu(HeadlessWindow& window, const std::vector<ui::MenuItemDef>& items)
    : window_(window) {
    items_.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        Item item;
        item.def = items[i];
        item.enabled = !items[i].disabled;
        item.checked = items[i].checked;
        item.opensSubmenu =
            items[i].level == 0 || (i + 1 < items.size() && items[i + 1].level > items[i].level);
        if (!items[i].shortcut.empty()) {
            item.shortcut = ParseShortcut(items[i].shortcut);
            if (!item.shortcut) Fail("shortcut not understood", items[i].shortcut);
        }
        if (items[i].caption != "-") {
            for (const Item& earlier : items_) {
                if (earlier.def.caption == items[i].caption) {
                    Fail("menu caption used twice", items[i].caption);
                }
            }
        }
        items_.push_back(std::move(item));
    }
}

HeadlessMenu::Item* HeadlessMenu::Find(const Text& caption) {
    if (caption == "-") return nullptr;
    for (Item& item : items_) {
        if (item.def.caption == caption) return &item;
    }
    return nullptr;
}

HeadlessMenu::Item& HeadlessMenu::Get(const Text& caption) {
    Item* item = Find(caption);
    if (item == nullptr) Fail("no such menu item", caption);
    return *item;
}

bool HeadlessMenu::HasItem(const Text& caption) {
    return Find(caption) != nullptr;
}

bool HeadlessMenu::IsEnabled(const Text& caption) {
    Item& item = Get(caption);
    return window_.IsOpen() && item.enabled;
}

void HeadlessMenu::SetEnabled(const Text& caption, bool enabled) {
    Get(caption).enabled = enabled;
}

bool HeadlessMenu::IsChecked(const Text& caption) {
    Item& item = Get(caption);
    return window_.IsOpen() && item.checked;
}

void HeadlessMenu::SetChecked(const Text& caption, bool checked) {
    Get(caption).checked = checked;
}

void HeadlessMenu::SetHandler(const Text& caption, std::function<void()> handler) {
    Get(caption).handler = std::move(handler);
}

void HeadlessMenu::PopUpAtCursor(const Text& barCaption) {
    Item& item = Get(barCaption);
    if (!item.opensSubmenu) Fail("not a menu with items", barCaption);
    if (!window_.IsOpen()) return;
    // Recorded, then dismissed at once: nothing is chosen from it.
    window_.Core().lastPopUp = barCaption;
}

void HeadlessMenu::Run(Item& item) {
    // Separators and submenus send no command; neither do disabled items.
    // A disabled window takes neither menu clicks nor keys.
    if (!window_.WindowEnabled() || item.opensSubmenu || !item.enabled || !item.handler) return;
    const std::function<void()> handler = item.handler;
    handler();
}

void HeadlessMenu::Choose(const Text& caption) {
    Run(Get(caption));
}

bool HeadlessMenu::Press(ui::ShortcutKey key) {
    for (Item& item : items_) {
        const auto& shortcut = item.shortcut;
        if (shortcut && shortcut->ctrl == key.ctrl && shortcut->shift == key.shift &&
            shortcut->key == key.key) {
            Run(item);
            return true;
        }
    }
    return false;
}

Text HeadlessMenu::DisplayText(const Text& caption) {
    const Item& item = Get(caption);
    if (item.def.shortcut.empty()) return item.def.caption;
    return item.def.caption + "\t" + item.def.shortcut;
}

}  // namespace platform::headless
