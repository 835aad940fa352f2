#include "platform/window/keyboard.h"

#include <gtest/gtest.h>

namespace {

using ui::ShortcutKey;

TEST(ShortcutTest, ReadsWhatBothDesktopsBindAndNothingElse) {
    const struct {
        const char* text;
        std::optional<ShortcutKey> key;
    } cases[] = {
        {"Ctrl+S", ShortcutKey{true, false, 'S'}},
        {"ctrl+a", ShortcutKey{true, false, 'A'}},
        {"Ctrl+Shift+F4", ShortcutKey{true, true, 0x73}},
        {"Ctrl+F1", ShortcutKey{true, false, 0x70}},
        {"Control+9", ShortcutKey{true, false, '9'}},
        {"Alt+F4", ShortcutKey{false, false, 0x73, true}},
        {"Ctrl+Tab", ShortcutKey{true, false, ui::kKeyTab}},
        {"Del", ShortcutKey{false, false, ui::kKeyDelete}},
        {"Shift+pgdn", ShortcutKey{false, true, ui::kKeyPageDown}},
        {"", std::nullopt},
        {"Ctrl", std::nullopt},
        {"Ctrl+", std::nullopt},
        {"+S", std::nullopt},
        {"Ctrl+F25", std::nullopt},
        {"Ctrl+F0", std::nullopt},
        {"Ctrl+Fx", std::nullopt},
        {"Shift+Ctrl+", std::nullopt},
        {"Win+S", std::nullopt},
        {"Ctrl+?", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ui::ParseShortcut(c.text), c.key) << c.text;
}

}  // namespace
