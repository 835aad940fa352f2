// Headless menus: items by caption, enabled and check states, shortcuts that
// behave as an accelerator table does, and the recorded pop-up.
#include "platform/headless/headless_internal.h"

namespace platform::headless {

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
            item.shortcut = ui::ParseShortcut(items[i].shortcut);
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
    window_.Core().queues.RecordPopUp(barCaption);
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
        if (shortcut && *shortcut == key) {
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
