#include "platform/window/keyboard.h"

#include <utility>

#include "text/text.h"

namespace ui {

namespace {

int KeyNamed(std::string_view word) {
    if (word.size() == 1) {
        const char c = text::AsciiUpper(word[0]);
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? c : 0;
    }
    if (text::AsciiUpper(word[0]) == 'F' && word.size() <= 3) {
        int n = 0;
        for (const char digit : word.substr(1)) {
            if (digit < '0' || digit > '9') return 0;
            n = n * 10 + (digit - '0');
        }
        return n >= 1 && n <= 24 ? kKeyF1 + n - 1 : 0;
    }
    static constexpr std::pair<std::string_view, int> kNamed[] = {
        {"Del", kKeyDelete},  {"Delete", kKeyDelete}, {"Ins", kKeyInsert},  {"Insert", kKeyInsert},
        {"Enter", kKeyEnter}, {"Esc", kKeyEscape},    {"Tab", kKeyTab},     {"Space", kKeySpace},
        {"Home", kKeyHome},   {"End", kKeyEnd},       {"PgUp", kKeyPageUp}, {"PgDn", kKeyPageDown},
    };
    for (const auto& [name, key] : kNamed) {
        if (text::SameIgnoringAsciiCase(word, name)) return key;
    }
    return 0;
}

}  // namespace

std::optional<ShortcutKey> ParseShortcut(std::string_view text) {
    ShortcutKey key;
    for (;;) {
        const std::size_t plus = text.find('+');
        const std::string_view word = text.substr(0, plus);
        if (word.empty()) return std::nullopt;
        if (plus == std::string_view::npos) {
            key.key = KeyNamed(word);
            if (key.key == 0) return std::nullopt;
            return key;
        }
        text.remove_prefix(plus + 1);
        if (text::SameIgnoringAsciiCase(word, "Ctrl") ||
            text::SameIgnoringAsciiCase(word, "Control")) {
            key.ctrl = true;
        } else if (text::SameIgnoringAsciiCase(word, "Shift")) {
            key.shift = true;
        } else if (text::SameIgnoringAsciiCase(word, "Alt")) {
            key.alt = true;
        } else {
            return std::nullopt;
        }
    }
}

}  // namespace ui
