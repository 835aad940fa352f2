// The menu bar of a window and the accelerator table built from the
// shortcuts its items show.
#include "platform/win32/win32_internal.h"

namespace platform::win32 {

namespace {

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// "Ctrl+S", "Ctrl+Shift+F4", "Ctrl+F1", "Del"... false if not understood.
bool ParseShortcut(std::string_view shortcut, ACCEL& accel) {
    accel.fVirt = FVIRTKEY;
    accel.key = 0;
    while (!shortcut.empty()) {
        const std::size_t plus = shortcut.find('+', 1);
        const std::string_view word = shortcut.substr(0, plus);
        shortcut = plus == std::string_view::npos ? std::string_view() : shortcut.substr(plus + 1);
        if (!shortcut.empty()) {
            if (SameWord(word, "Ctrl") || SameWord(word, "Control")) {
                accel.fVirt |= FCONTROL;
            } else if (SameWord(word, "Shift")) {
                accel.fVirt |= FSHIFT;
            } else if (SameWord(word, "Alt")) {
                accel.fVirt |= FALT;
            } else {
                return false;
            }
            continue;
        }
        if (word.size() == 1) {
            char c = word[0];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
            accel.key = static_cast<WORD>(c);
            return true;
        }
        if ((word[0] == 'F' || word[0] == 'f') && word.size() <= 3) {
            const long long n = text::ToInteger(word.substr(1));
            if (n < 1 || n > 24) return false;
            accel.key = static_cast<WORD>(VK_F1 + n - 1);
            return true;
        }
        static const std::pair<const char*, WORD> kNamed[] = {
            {"Del", VK_DELETE},   {"Delete", VK_DELETE}, {"Ins", VK_INSERT}, {"Insert", VK_INSERT},
            {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE},    {"Tab", VK_TAB},    {"Space", VK_SPACE},
            {"Home", VK_HOME},    {"End", VK_END},       {"PgUp", VK_PRIOR}, {"PgDn", VK_NEXT},
        };
        for (const auto& [name, key] : kNamed) {
            if (SameWord(word, name)) {
                accel.key = key;
                return true;
            }
        }
        return false;
    }
    return false;
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
            ACCEL accel{};
            if (!def.shortcut.empty() && ParseShortcut(def.shortcut, accel)) {
                accel.cmd = static_cast<WORD>(item.id);
                accels.push_back(accel);
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
    DesktopState& desktop = window_.Desktop();
    POINT cursor{};
    GetCursorPos(&cursor);
    if (desktop.automation) {
        desktop.lastPopUp = barCaption;
        // The menu's own loop dispatches this at once and closes the menu.
        PostMessageW(hwnd, kMsgEndPopUp, 0, 0);
    } else {
        // Without this the menu would not close when clicking elsewhere.
        SetForegroundWindow(hwnd);
    }
    TrackPopupMenu(item.submenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y,
                   0, hwnd, nullptr);
    PostMessageW(hwnd, WM_NULL, 0, 0);
}

}  // namespace platform::win32
