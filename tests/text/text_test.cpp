#include "text/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <sstream>
#include <string>

namespace {

std::string U8(const char8_t* s) {
    return reinterpret_cast<const char*>(s);
}

TEST(TextLiterals, AreGbkBytesAtRunTime) {
    // The whole program relies on the compiler turning UTF-8 sources into GBK.
    EXPECT_EQ(Text("中文"), Text("\xD6\xD0\xCE\xC4"));
    EXPECT_EQ(Text("已保存！"), Text("\xD2\xD1\xB1\xA3\xB4\xE6\xA3\xA1"));
}

TEST(Codec, GbkTextConvertsBothWays) {
    const Text gbk = "共 3 个文档目录_有密模式!";
    const std::string utf8 = U8(u8"共 3 个文档目录_有密模式!");
    EXPECT_EQ(text::ToUtf8(gbk), utf8);
    EXPECT_EQ(text::FromUtf8(utf8), gbk);
    EXPECT_EQ(text::ToUtf16(gbk), u"共 3 个文档目录_有密模式!");
    EXPECT_EQ(text::FromUtf16(u"共 3 个文档目录_有密模式!"), gbk);
}

TEST(Codec, KnownCodesFromTheStandard) {
    struct Case {
        char32_t codePoint;
        const char* bytes;
    };
    const Case cases[] = {
        {U'A', "A"},
        {0x00E9, "\xA8\xA6"},            // é is in GBK (pinyin)
        {0x20AC, "\x80"},                // euro sign: one byte, as code page 936 has it
        {0xE76C, "\xA2\xE3"},            // what code page 936 has where GB18030 puts the euro
        {0xF8F5, "\xFF"},                // code page 936's other single byte
        {0xE815, "\xFE\x50"},            // private use in code page 936, a radical in GB18030
        {0x2E81, "\x83\x36\xC9\x34"},    // so the radical takes that code point's four bytes
        {0x00B7, "\xA1\xA4"},            // middle dot
        {0x2014, "\xA1\xAA"},            // em dash
        {0x3000, "\xA1\xA1"},            // ideographic space
        {0xE5E5, "\xA3\xA0"},            // private use, two-byte
        {0x0080, "\x81\x30\x81\x30"},    // first four-byte code
        {0x0E01, "\x81\x32\xCE\x39"},    // Thai ko kai: GBK lacks it
        {0xFFFD, "\x84\x31\xA4\x37"},    // replacement character
        {0xFFFF, "\x84\x31\xA4\x39"},    // last BMP code
        {0x10000, "\x90\x30\x81\x30"},   // first supplementary code
        {0x1F600, "\x94\x39\xFC\x36"},   // emoji
        {0x10FFFF, "\xE3\x32\x9A\x35"},  // last code point
    };
    for (const Case& c : cases) {
        std::u16string utf16;
        if (c.codePoint >= 0x10000) {
            utf16 += static_cast<char16_t>(0xD800 + ((c.codePoint - 0x10000) >> 10));
            utf16 += static_cast<char16_t>(0xDC00 + ((c.codePoint - 0x10000) & 0x3FF));
        } else {
            utf16 += static_cast<char16_t>(c.codePoint);
        }
        SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<unsigned>(c.codePoint));
        EXPECT_EQ(text::FromUtf16(utf16), Text(c.bytes));
        EXPECT_EQ(text::ToUtf16(c.bytes), utf16);
    }
}

TEST(Codec, EveryTwoByteCodeRoundTrips) {
    int mapped = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const Text code{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string utf16 = text::ToUtf16(code);
            ASSERT_EQ(utf16.size(), 1u) << std::hex << lead << ' ' << trail;
            ASSERT_FALSE(utf16[0] >= 0xD800 && utf16[0] <= 0xDFFF) << std::hex << lead << trail;
            ASSERT_EQ(text::FromUtf16(utf16), code);
            ++mapped;
        }
    }
    EXPECT_EQ(mapped, 126 * 190);
}

TEST(Codec, EveryCodePointEncodesAndComesBack) {
    for (char32_t cp = 1; cp <= 0x10FFFF; cp += (cp < 0x10000 ? 1 : 97)) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        std::u16string utf16;
        if (cp >= 0x10000) {
            utf16 += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            utf16 += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            utf16 += static_cast<char16_t>(cp);
        }
        const Text gbk = text::FromUtf16(utf16);
        const std::size_t expected = cp < 0x80 ? 1 : cp >= 0x10000 ? 4 : gbk.size();
        ASSERT_TRUE(gbk.size() == expected &&
                    (gbk.size() == 1 || gbk.size() == 2 || gbk.size() == 4))
            << std::hex << static_cast<unsigned>(cp);
        ASSERT_EQ(text::CharLength(gbk, 0), gbk.size()) << std::hex << static_cast<unsigned>(cp);
        ASSERT_EQ(text::ToUtf16(gbk), utf16) << std::hex << static_cast<unsigned>(cp);
        ASSERT_EQ(text::FromUtf8(text::ToUtf8(gbk)), gbk);
    }
}

TEST(Codec, InvalidBytesSurviveBothRoundTrips) {
    const Text cases[] = {
        "\x83\x36\xC7\x39",  // four bytes of U+E76C, which code page 936 writes A2 E3
        "\x83\x39\xFE\x30",  // four bytes of U+F8F5, which code page 936 writes FF
        "a\xD6",             // lead byte at the end
        "\x81\x20",          // lead byte before a blank
        "\x81\x30\x81",      // cut four-byte code
        "\x84\x31\xA5\x30",  // four-byte form past the BMP codes
        "\xE3\x32\x9A\x36",  // four-byte form past U+10FFFF
        "\xFE\x39\xFE\x39",  // largest four-byte form
        "\xC3\xFF\x80\x7F",  // bytes that look like UTF-8 leads
    };
    for (const Text& bytes : cases) {
        EXPECT_EQ(text::FromUtf16(text::ToUtf16(bytes)), bytes);
        EXPECT_EQ(text::FromUtf8(text::ToUtf8(bytes)), bytes);
    }
    // The documented escape: an invalid byte b is the lone surrogate U+DC00 + b.
    EXPECT_EQ(text::ToUtf16("\x83\x36\xC7\x39"),
              u"\xDC83"
              u"6\xDCC7"
              u"9");
    EXPECT_EQ(text::ToUtf16("x\x81 "), u"x\xDC81 ");
    EXPECT_EQ(text::FromUtf16(u"\xDCB0"), Text("\xB0"));
}

TEST(Codec, RandomBytesRoundTripAndStepLikeTheDecoder) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255), length(0, 24);
    for (int i = 0; i < 5000; ++i) {
        Text bytes;
        const int n = length(random);
        for (int k = 0; k < n; ++k) {
            // Bias towards the bytes that make up multi-byte codes.
            int b = byte(random);
            if (b < 64) b = 0x30 + b % 10;
            bytes += static_cast<char>(b);
        }
        ASSERT_EQ(text::FromUtf16(text::ToUtf16(bytes)), bytes) << testing::PrintToString(bytes);
        ASSERT_EQ(text::FromUtf8(text::ToUtf8(bytes)), bytes) << testing::PrintToString(bytes);
        // Stepping with CharLength visits exactly the characters the codec sees.
        std::size_t characters = 0;
        for (std::size_t pos = 0; pos < bytes.size(); pos += text::CharLength(bytes, pos)) {
            ++characters;
        }
        std::size_t codePoints = 0;
        const std::u16string utf16 = text::ToUtf16(bytes);
        for (std::size_t k = 0; k < utf16.size(); ++k, ++codePoints) {
            if (utf16[k] >= 0xD800 && utf16[k] <= 0xDBFF) ++k;  // a pair is one character
        }
        ASSERT_EQ(characters, codePoints) << testing::PrintToString(bytes);
    }
}

TEST(Codec, UnpairedSurrogatesBecomeTheReplacementCharacter) {
    const Text replacement = "\x84\x31\xA4\x37";
    EXPECT_EQ(text::FromUtf16(u"\xD800"), replacement);
    EXPECT_EQ(text::FromUtf16(u"a\xD83Dz"), Text("a") + replacement + "z");
    EXPECT_EQ(text::FromUtf16(u"\xDC41"), replacement);
    EXPECT_EQ(text::FromUtf16(u"\xDE00\xD83D"), replacement + replacement);
}

TEST(Codec, InvalidUtf8IsKeptAsBytes) {
    EXPECT_EQ(text::FromUtf8("a\xED\xA0\x80z"), Text("a\xED\xA0\x80z"));      // encoded surrogate
    EXPECT_EQ(text::FromUtf8("\xF4\x90\x80\x80"), Text("\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_EQ(text::FromUtf8("\xE4\xB8"), Text("\xE4\xB8"));                  // cut sequence
    EXPECT_EQ(text::FromUtf8(U8(u8"é")), Text("\xA8\xA6"));
}

TEST(CharLength, StepsOverWholeCharacters) {
    const Text mixed = Text("a中") + text::FromUtf8(U8(u8"😀ก")) + "b";
    // a | 中 (2) | emoji (4) | Thai (4) | b
    EXPECT_EQ(text::CharLength(mixed, 0), 1u);
    EXPECT_EQ(text::CharLength(mixed, 1), 2u);
    EXPECT_EQ(text::CharLength(mixed, 3), 4u);
    EXPECT_EQ(text::CharLength(mixed, 7), 4u);
    EXPECT_EQ(text::CharLength(mixed, 11), 1u);
    EXPECT_EQ(text::CharLength(mixed, 12), 0u);
    EXPECT_EQ(text::CharLength("a\xD6", 1), 1u);         // lone lead byte at the end
    EXPECT_EQ(text::CharLength("\xD6\x0D", 0), 1u);      // lead before a control byte
    EXPECT_EQ(text::CharLength("\x81\x30\x81", 0), 1u);  // cut four-byte code
    EXPECT_EQ(text::CharLength("\x81\x30\x81\x30", 0), 4u);
    EXPECT_EQ(text::CharLength("\xD6\x40", 0), 2u);  // trail bytes include ASCII letters
}

TEST(AsciiCase, FoldsLettersButNeverATrailByte) {
    // 0x81 0x41 and 0x81 0x61 are two different characters whose trail bytes
    // are the ASCII codes of "A" and "a".
    struct Case {
        std::string text, lower;
    };
    const Case cases[] = {
        {"ReadMe.TXT", "readme.txt"},
        {"\x81\x41Z", "\x81\x41z"},
        {"A\x81\x30\x81\x30"
         "B",
         "a\x81\x30\x81\x30"
         "b"},
        {"Z\x81", "z\x81"},  // a lead byte at the end stays one byte
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(text::AsciiLowerText(c.text), c.lower) << c.text;
        EXPECT_TRUE(text::SameIgnoringAsciiCase(c.text, c.lower)) << c.text;
    }
    EXPECT_FALSE(text::SameIgnoringAsciiCase("\x81\x41", "\x81\x61"));
    EXPECT_FALSE(text::SameIgnoringAsciiCase("ab", "abc"));
}

TEST(BytesToText, StopsAtTheFirstZeroByte) {
    EXPECT_EQ(text::BytesToText(std::string("ab\0cd", 5)), Text("ab"));
    EXPECT_EQ(text::BytesToText(std::string("\0x", 2)), Text(""));
    EXPECT_EQ(text::BytesToText("中文"), Text("中文"));
    EXPECT_EQ(text::BytesToText(""), Text(""));
}

TEST(ToInteger, ReadsLikeTheCLibrary) {
    struct Case {
        const char* text;
        long long value;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 0},
        {"42", 42},
        {"007", 7},
        {"  -17x", -17},
        {"+8", 8},
        {"\t\r\n 5", 5},
        {"- 5", 0},
        {"--5", 0},
        {"0x10", 0},
        {"12.9", 12},
        {"16450300", 16450300},
        {"１２", 0},  // full-width digits are not digits
        {"9223372036854775807", LLONG_MAX},
        {"9223372036854775808", LLONG_MAX},
        {"99999999999999999999999", LLONG_MAX},
        {"-9223372036854775808", LLONG_MIN},
        {"-9223372036854775809", LLONG_MIN},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(text::ToInteger(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(DecimalText, WritesPlainDigits) {
    EXPECT_EQ(DecimalText(0), Text("0"));
    EXPECT_EQ(DecimalText(16450300), Text("16450300"));
    EXPECT_EQ(DecimalText(-1), Text("-1"));
    EXPECT_EQ(DecimalText(LLONG_MIN), Text("-9223372036854775808"));
    EXPECT_EQ(text::ToInteger(DecimalText(LLONG_MIN)), LLONG_MIN);
}

TEST(PrintTo, ShowsUtf8AndTheBytes) {
    EXPECT_EQ(testing::PrintToString(Text("plain \"q\"")), "\"plain \\\"q\\\"\"");
    EXPECT_EQ(testing::PrintToString(Text("中文")), U8(u8"\"中文\" (bytes d6 d0 ce c4)"));
    EXPECT_EQ(testing::PrintToString(Text("a\x81\r\n")), "\"a\\x81\\r\\n\" (bytes 61 81 0d 0a)");
}

}  // namespace
