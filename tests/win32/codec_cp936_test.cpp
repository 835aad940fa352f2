// The codec against Windows' own code page 936 (MultiByteToWideChar and
// WideCharToMultiByte), over every code and every BMP character: what code
// page 936 has maps exactly as there, both ways; what it lacks takes four
// bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "text/text.h"

namespace {

// The character Windows reads from `code`, when `code` is one character of
// code page 936 that Windows writes back as the same bytes.
std::optional<char16_t> Cp936Character(const std::string& code) {
    wchar_t unit[4];
    const int n = MultiByteToWideChar(936, 0, code.data(), static_cast<int>(code.size()), unit, 4);
    if (n != 1) return std::nullopt;
    char back[8];
    BOOL usedDefault = FALSE;
    const int m = WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, unit, 1, back, sizeof back,
                                      nullptr, &usedDefault);
    if (usedDefault || std::string(back, m) != code) return std::nullopt;
    return static_cast<char16_t>(unit[0]);
}

TEST(CodecAgainstWindows, EveryCodeOfCodePage936DecodesAsWindowsDecodesIt) {
    int characters = 0;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int trail = -1; trail <= 0xFE; ++trail) {
            if (trail >= 0 && (lead == 0x80 || lead == 0xFF || trail < 0x40 || trail == 0x7F)) {
                continue;
            }
            std::string code(1, static_cast<char>(lead));
            if (trail >= 0) code += static_cast<char>(trail);
            const std::optional<char16_t> theirs = Cp936Character(code);
            if (!theirs) continue;
            ASSERT_EQ(text::ToUtf16(code), std::u16string(1, *theirs))
                << testing::PrintToString(Text(code));
            ++characters;
        }
    }
    EXPECT_EQ(characters, 2 + 126 * 190);  // 0x80, 0xFF and every two-byte code
}

TEST(CodecAgainstWindows, EveryCharacterEncodesAsWindowsOrInFourBytes) {
    int cp936 = 0;
    for (char32_t unit = 1; unit < 0x10000; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF) continue;
        const std::u16string wide(1, static_cast<char16_t>(unit));
        const Text ours = text::FromUtf16(wide);
        char code[8];
        BOOL usedDefault = FALSE;
        const wchar_t w = static_cast<wchar_t>(unit);
        const int n = WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, &w, 1, code, sizeof code,
                                          nullptr, &usedDefault);
        const std::string theirs(code, n > 0 ? n : 0);
        if (!usedDefault && Cp936Character(theirs) == static_cast<char16_t>(unit)) {
            ASSERT_EQ(ours, theirs) << std::hex << static_cast<unsigned>(unit);
            ++cp936;
        } else {
            ASSERT_EQ(ours.size(), 4u) << std::hex << static_cast<unsigned>(unit);
        }
    }
    EXPECT_EQ(cp936, 127 + 2 + 126 * 190);
}

}  // namespace
