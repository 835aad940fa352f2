#include "about/help_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

using about::WelcomeHelpText;

// The document's lines without their CR LF.
std::vector<std::string_view> Lines() {
    std::string_view rest = WelcomeHelpText();
    std::vector<std::string_view> lines;
    while (!rest.empty()) {
        const std::size_t end = rest.find("\r\n");
        if (end == std::string_view::npos) {
            lines.push_back(rest);
            break;
        }
        lines.push_back(rest.substr(0, end));
        rest.remove_prefix(end + 2);
    }
    return lines;
}

// Every heading, in document order.
const std::vector<std::string_view>& Headings() {
    static const std::vector<std::string_view> headings = {
        "目录与文件说明:",
        "程序菜单说明:",
        "[文档-新建文档目录:]",
        "[文档-返回文档目录:]",
        "[文档-新建文档文件:]",
        "[文档-返回文档列表:]",
        "[文档-保存当前文档:]",
        "[文档-另存为无密文件:]",
        "[文档-删除当前文档:]",
        "[文档-批量删除操作:]",
        "[文档-退出:]",
        "编辑菜单可在内容编辑区右键唤出!",
        "[编辑-新建文档],[编辑-返回目录],[编辑-返回列表:]",
        "[编辑-撤销:]",
        "[编辑-剪切:]",
        "[编辑-复制:]",
        "[编辑-粘贴:]",
        "[编辑-查找替换:]",
        "[编辑-全选:]",
        "[编辑-取消全选]:",
        "[配置-默认配色方案1.2.3:]",
        "[配置-自定义配色方案:]",
        "[配置-自定义字体方案:]",
        "[配置-自定义文档目录图标:]",
        "[功能-设置密码:]",
        "[功能-清除密码:]",
        "[功能-无密打包备份:]",
        "[功能-复原无密备份:]",
        "[功能-有密打包备份:]",
        "[功能-复原有密备份:]",
        "[附加功能-为其他文件加密:]",
        "[附加功能-为其他文件解密:]",
        "[关于-软件主页:]",
        "[关于-帮助:]",
        "[关于-版本:]",
        "[关于忘记密码:]",
    };
    return headings;
}

bool IsHeading(std::string_view line) {
    const auto& h = Headings();
    return std::find(h.begin(), h.end(), line) != h.end();
}

std::ptrdiff_t IndexOf(const std::vector<std::string_view>& lines, std::string_view line) {
    const auto it = std::find(lines.begin(), lines.end(), line);
    return it == lines.end() ? -1 : it - lines.begin();
}

TEST(WelcomeHelpText, OpensWithTheFixedLines) {
    const auto lines = Lines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(Text(lines[0]), "此处为内容编辑区!");
    EXPECT_EQ(Text(lines[1]), "这是[墨匣]首次运行时自动生成的帮助文档.");
    EXPECT_NE(lines[2].find("RC4"), std::string_view::npos);
    EXPECT_NE(lines[2].find("记事本"), std::string_view::npos);
    EXPECT_EQ(Text(lines[3]), "软件名称:墨匣(版本:正式版v1.0.2018.101)");
}

TEST(WelcomeHelpText, EveryHeadingStandsOnItsOwnLineInOrder) {
    const auto lines = Lines();
    std::ptrdiff_t previous = 3;
    for (std::string_view heading : Headings()) {
        const std::ptrdiff_t at = IndexOf(lines, heading);
        ASSERT_GE(at, 0) << "missing heading line: " << text::ToUtf8(heading);
        EXPECT_GT(at, previous) << "out of order: " << text::ToUtf8(heading);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), heading), 1)
            << "repeated: " << text::ToUtf8(heading);
        previous = at;
    }
}

TEST(WelcomeHelpText, EveryHeadingIsExplained) {
    const auto lines = Lines();
    for (std::string_view heading : Headings()) {
        // The one-line remark about the pop-up edit menu explains itself.
        if (heading == "编辑菜单可在内容编辑区右键唤出!") continue;
        const std::ptrdiff_t at = IndexOf(lines, heading);
        ASSERT_GE(at, 0);
        ASSERT_LT(static_cast<std::size_t>(at + 1), lines.size()) << text::ToUtf8(heading);
        const std::string_view next = lines[at + 1];
        EXPECT_FALSE(next.empty() || IsHeading(next))
            << "no explanation after " << text::ToUtf8(heading);
    }
}

TEST(WelcomeHelpText, FindReplaceAndBuiltInSchemesHaveTheirFixedLines) {
    const auto lines = Lines();
    const std::ptrdiff_t findReplace = IndexOf(lines, "[编辑-查找替换:]");
    const std::ptrdiff_t selectAll = IndexOf(lines, "[编辑-全选:]");
    ASSERT_GE(findReplace, 0);
    ASSERT_GT(selectAll, findReplace);
    std::ptrdiff_t previous = findReplace;
    for (std::string_view prefix : {"1.[查找:]", "2.[查找下一个:]", "3.[替换:]", "4.[全部替换:]"}) {
        const auto it = std::find_if(lines.begin() + findReplace, lines.begin() + selectAll,
                                     [&](std::string_view l) { return l.starts_with(prefix); });
        ASSERT_NE(it, lines.begin() + selectAll) << "missing " << text::ToUtf8(prefix);
        EXPECT_GT(it - lines.begin(), previous) << "out of order: " << text::ToUtf8(prefix);
        EXPECT_GT(it->size(), prefix.size()) << "not explained: " << text::ToUtf8(prefix);
        previous = it - lines.begin();
    }

    const std::ptrdiff_t schemes = IndexOf(lines, "[配置-默认配色方案1.2.3:]");
    const std::ptrdiff_t custom = IndexOf(lines, "[配置-自定义配色方案:]");
    const std::ptrdiff_t names = IndexOf(lines, "1.护眼.2.亮色.3.暗色.");
    EXPECT_GT(names, schemes);
    EXPECT_LT(names, custom);
}

TEST(WelcomeHelpText, IsCrLfGbkOfAboutFiveKilobytes) {
    const Text& help = WelcomeHelpText();
    EXPECT_GE(help.size(), 4000u);
    EXPECT_LE(help.size(), 6500u);
    ASSERT_TRUE(help.ends_with("\r\n"));
    for (std::size_t i = 0; i < help.size(); ++i) {
        if (help[i] == '\n') {
            EXPECT_TRUE(i > 0 && help[i - 1] == '\r') << "bare LF at " << i;
        }
        if (help[i] == '\r') {
            EXPECT_TRUE(i + 1 < help.size() && help[i + 1] == '\n') << "bare CR at " << i;
        }
    }
    // Written to disk as it is: no zero byte, and only characters GBK holds
    // (ASCII or a double-byte character; no GB18030 four-byte sequence).
    for (std::size_t pos = 0; pos < help.size();) {
        const std::size_t length = text::CharLength(help, pos);
        const auto lead = static_cast<unsigned char>(help[pos]);
        ASSERT_NE(lead, 0u) << "zero byte at " << pos;
        ASSERT_TRUE((length == 1 && lead < 0x80) || length == 2) << "not GBK at byte " << pos;
        pos += length;
    }
}

TEST(WelcomeHelpText, NamesNoAddresses) {
    std::string lower = WelcomeHelpText();
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    for (std::string_view banned : {"http", "www", "@", ".com", ".net", ".cn"}) {
        EXPECT_EQ(lower.find(banned), std::string::npos) << banned;
    }
}

}  // namespace
