// The codec against glibc's converters, which nobody here wrote: its CP936
// for every character code page 936 has (glibc lacks only the private-use
// codes, which the Windows run checks against Windows itself), its GB18030 for
// the four-byte codes of everything else.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <vector>

#include "text/text.h"

namespace {

class Iconv {
  public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    // Empty when the converter refuses the input.
    std::string Convert(const std::string& in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out(64, '\0');
        char* src = const_cast<char*>(in.data());
        char* dst = out.data();
        std::size_t srcLeft = in.size(), dstLeft = out.size();
        if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) return {};
        out.resize(out.size() - dstLeft);
        return out;
    }

  private:
    iconv_t cd_;
};

std::u16string Utf16(char32_t cp) {
    if (cp < 0x10000) return std::u16string(1, static_cast<char16_t>(cp));
    return {static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)),
            static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF))};
}

TEST(CodecAgainstIconv, EveryCodePage936CharacterMapsAsCodePage936BothWays) {
    Iconv decoder("UTF-8", "CP936"), encoder("CP936", "UTF-8");
    ASSERT_TRUE(decoder.Ok() && encoder.Ok());
    std::vector<std::string> codes;
    for (int b = 0x80; b <= 0xFF; ++b) codes.emplace_back(1, static_cast<char>(b));
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail != 0x7F) codes.push_back({static_cast<char>(lead), static_cast<char>(trail)});
        }
    }
    int compared = 0;
    for (const std::string& code : codes) {
        const std::string theirs = decoder.Convert(code);
        if (theirs.empty()) continue;  // not a character of glibc's CP936
        ASSERT_EQ(text::ToUtf8(code), theirs) << testing::PrintToString(Text(code));
        ASSERT_EQ(text::FromUtf8(theirs), code) << testing::PrintToString(Text(code));
        ++compared;
    }
    EXPECT_GT(compared, 21700);  // 21,792 with glibc 2.36, the euro at 0x80 among them
    EXPECT_EQ(encoder.Convert("\xE2\x82\xAC"), "\x80");
}

TEST(CodecAgainstIconv, WhatCodePage936LacksTakesItsGb18030FourByteCode) {
    Iconv encoder("GB18030", "UTF-8");
    ASSERT_TRUE(encoder.Ok());
    int compared = 0, elsewhere = 0;
    for (char32_t cp = 0x80; cp <= 0x10FFFF; cp += (cp < 0x10000 ? 1 : 251)) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        const std::string ours = text::FromUtf16(Utf16(cp));
        if (ours.size() != 4) continue;
        const std::string theirs = encoder.Convert(text::ToUtf8(ours));
        if (theirs.size() == 2) {
            // GB18030 keeps it at a two-byte code that code page 936 gives to
            // another character (or a later revision of GB18030 moved it there).
            ASSERT_NE(text::ToUtf16(theirs), Utf16(cp));
            ++elsewhere;
            continue;
        }
        ASSERT_EQ(theirs, ours) << std::hex << static_cast<unsigned>(cp);
        ++compared;
    }
    EXPECT_LE(elsewhere, 110);  // 80 here, and glibc's 2005 revision moved 25 more
    EXPECT_GT(compared, 39000);
}

}  // namespace
#endif
