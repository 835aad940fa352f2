// The menu bar of a window and the accelerator table built from the
// shortcuts its items show.
#include "platform/win32/win32_internal.h"

namespace platform::win32 {

namespace {

std::optional<ACCEL> AcceleratorFor(const Text& shortcut) {
    const std::optional<ui::ShortcutKey> key = ui::ParseShortcut(shortcut);
    if (!key) return std::nullopt;
    ACCEL accel{};
    accel.fVirt =
        FVIRTKEY | (key->ctrl ? FCONTROL : 0) | (key->shift ? FSHIFT : 0) | (key->alt ? FALT : 0);
    accel.key = static_cast<WORD>(key->key);
    return accel;
}

}  // namespace

Win32Menu::~Win32Menu() {
    // A bar never attached to a window is still ours to free.
    if (bar_ != nullptr && (window_.Hwnd() == nullptr || GetMenu(window_.Hwnd()) != bar_)) {
        DestroyMenu(bar_);
    }
    if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
}

void Win32Menu::Build(const std::vector<ui::MenuItemDef>& defs) {
    if (defs.empty()) return;
    bar_ = CreateMenu();
    std::vector<ACCEL> accels;
    UINT nextId = kFirstMenuId;
    HMENU level1 = nullptr, level2 = nullptr;
    UINT count0 = 0, count1 = 0, count2 = 0;
    for (std::size_t i = 0; i < defs.size(); ++i) {
        const ui::MenuItemDef& def = defs[i];
        const bool opensSubmenu = i + 1 < defs.size() && defs[i + 1].level > def.level;
        HMENU container = nullptr;
        UINT position = 0;
        switch (def.level) {
            case 0:
                container = bar_;
                position = count0++;
                level1 = level2 = nullptr;
                break;
            case 1:
                if (level1 == nullptr) Fail("menu item outside a menu", def.caption);
                container = level1;
                position = count1++;
                level2 = nullptr;
                break;
            case 2:
                if (level2 == nullptr) Fail("submenu item outside a submenu", def.caption);
                container = level2;
                position = count2++;
                break;
            default:
                Fail("menu nested too deep", def.caption);
        }
        if (def.caption == "-") {
            AppendMenuW(container, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        if (Find(def.caption) != nullptr) Fail("two menu items share a caption", def.caption);
        if (opensSubmenu && def.level == 2) Fail("menu nested too deep", defs[i + 1].caption);

        Item item;
        item.caption = def.caption;
        item.container = container;
        item.position = position;
        item.isBar = def.level == 0;
        std::wstring label = Wide(def.caption);
        if (!def.shortcut.empty()) label += L"\t" + Wide(def.shortcut);
        UINT flags = MF_STRING | (def.disabled ? MF_GRAYED : 0) | (def.checked ? MF_CHECKED : 0);
        if (opensSubmenu) {
            item.submenu = CreatePopupMenu();
            AppendMenuW(container, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(item.submenu),
                        label.c_str());
            if (def.level == 0) {
                level1 = item.submenu;
                count1 = 0;
            } else {
                level2 = item.submenu;
                count2 = 0;
            }
        } else {
            item.id = nextId++;
            AppendMenuW(container, flags, item.id, label.c_str());
            std::optional<ACCEL> accel;
            if (!def.shortcut.empty() && (accel = AcceleratorFor(def.shortcut))) {
                accel->cmd = static_cast<WORD>(item.id);
                accels.push_back(*accel);
            }
        }
        items_.push_back(std::move(item));
    }
    if (!accels.empty()) {
        accelerators_ = CreateAcceleratorTableW(accels.data(), static_cast<int>(accels.size()));
    }
}

Win32Menu::Item* Win32Menu::Find(const Text& caption) {
    for (Item& item : items_) {
        if (item.caption == caption) return &item;
    }
    return nullptr;
}

Win32Menu::Item& Win32Menu::Get(const Text& caption) {
    Item* item = Find(caption);
    if (item == nullptr) Fail("no such menu item", window_.Definition().name + "." + caption);
    return *item;
}

bool Win32Menu::OnCommand(UINT id) {
    for (Item& item : items_) {
        if (item.id != 0 && item.id == id) {
            if (item.handler) {
                auto handler = item.handler;
                handler();
            }
            return true;
        }
    }
    return false;
}

UINT Win32Menu::CommandId(const Text& caption) {
    return Get(caption).id;
}

bool Win32Menu::HasItem(const Text& caption) {
    return Find(caption) != nullptr;
}

bool Win32Menu::IsEnabled(const Text& caption) {
    Item& item = Get(caption);
    if (bar_ == nullptr) return false;
    const UINT state = GetMenuState(item.container, item.position, MF_BYPOSITION);
    return state != static_cast<UINT>(-1) && (state & (MF_DISABLED | MF_GRAYED)) == 0;
}

void Win32Menu::SetEnabled(const Text& caption, bool enabled) {
    Item& item = Get(caption);
    if (bar_ == nullptr) return;
    EnableMenuItem(item.container, item.position,
                   MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
    if (item.isBar && window_.Hwnd() != nullptr) DrawMenuBar(window_.Hwnd());
}

bool Win32Menu::IsChecked(const Text& caption) {
    Item& item = Get(caption);
    if (bar_ == nullptr) return false;
    const UINT state = GetMenuState(item.container, item.position, MF_BYPOSITION);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

void Win32Menu::SetChecked(const Text& caption, bool checked) {
    Item& item = Get(caption);
    if (bar_ == nullptr) return;
    CheckMenuItem(item.container, item.position,
                  MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void Win32Menu::SetHandler(const Text& caption, std::function<void()> handler) {
    Get(caption).handler = std::move(handler);
}

void Win32Menu::PopUpAtCursor(const Text& barCaption) {
    Item& item = Get(barCaption);
    HWND hwnd = window_.Hwnd();
    if (item.submenu == nullptr || hwnd == nullptr) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    window_.Desktop().person->PopUpOpening(hwnd, barCaption);
    TrackPopupMenu(item.submenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y,
                   0, hwnd, nullptr);
    PostMessageW(hwnd, WM_NULL, 0, 0);
}

}  // namespace platform::win32
