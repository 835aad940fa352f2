#include "platform/window/byte_limit.h"

#include <gtest/gtest.h>

namespace {

TEST(ByteLimitTest, TakesTheWholeCharactersThatFit) {
    // 中 is two GBK bytes, U+20A9 four (GB18030), a line break two.
    const struct {
        std::u16string incoming;
        std::size_t kept;
        int limit;
        std::u16string fits;
    } cases[] = {
        {u"abc", 0, 0, u"abc"},  // unlimited
        {u"abc", 0, 2, u"ab"},
        {u"abc", 5, 4, u""},     // already over: nothing
        {u"中文", 0, 3, u"中"},  // half a character never goes in
        {u"a中", 2, 4, u"a"},
        {u"\u20A9x", 0, 3, u""},  // four bytes, or nothing
        {u"\u20A9x", 0, 4, u"\u20A9"},
        {u"\U0002A6A5b", 0, 4, u"\U0002A6A5"},  // a surrogate pair is one character
        {u"\U0002A6A5b", 0, 3, u""},
        {u"a\r\nb", 0, 2, u"a"},  // CR LF together or not at all
        {u"a\r\nb", 0, 3, u"a\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ui::WithinByteLimit(c.incoming, c.kept, c.limit), c.fits)
            << c.limit << " " << c.kept;
    }
}

TEST(ByteLimitTest, CountsWhatStaysAroundTheSelectionAndTheFirstLine) {
    const std::u16string text = u"a中\u20A9b";  // 1 + 2 + 4 + 1 bytes
    EXPECT_EQ(ui::BytesOutsideSelection(text, 0, 0), 8u);
    EXPECT_EQ(ui::BytesOutsideSelection(text, 1, 2), 6u);
    EXPECT_EQ(ui::BytesOutsideSelection(text, 2, 99), 3u);  // clamped to the text
    EXPECT_EQ(ui::BytesOutsideSelection(text, 3, 1), 8u);   // an inverted range selects nothing
    EXPECT_EQ(ui::FirstLine(u"一\r\n二"), u"一");
    EXPECT_EQ(ui::FirstLine(u"一\n二"), u"一");
    EXPECT_EQ(ui::FirstLine(u"一二"), u"一二");
}

}  // namespace
