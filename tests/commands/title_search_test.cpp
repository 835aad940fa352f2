#include "commands/title_search.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/program_fixture.h"

namespace testing_support {
namespace {

TEST(TitleContainsTest, MatchesStartOnlyAtCharacterBoundaries) {
    EXPECT_TRUE(commands::TitleContains("my txt notes", "txt"));
    EXPECT_FALSE(commands::TitleContains("my TXT notes", "txt"));
    EXPECT_TRUE(commands::TitleContains("中文", "文"));
    // "啊阿" is B0A1 B0A2: the bytes A1 B0 straddle the two characters.
    EXPECT_FALSE(commands::TitleContains("啊阿", "\xA1\xB0"));
    // 0x81 0x61 is one character whose second byte is the letter a.
    EXPECT_FALSE(
        commands::TitleContains("\x81"
                                "abc",
                                "abc"));
    EXPECT_TRUE(
        commands::TitleContains("\x81"
                                "abc",
                                "bc"));
    EXPECT_FALSE(commands::TitleContains("ab", "abc"));
}

class TitleSearchTest : public ProgramTest {
  protected:
    void SetUp() override {
        SetSetting("Start", "Num", "1");
        SetSetting("Alpha", "Num", "255");
        MakeFolder("Default");
        MakeFolder("Default\\d");
        for (const char* title : {"alpha", "txt notes", "beta-txt", "TXT upper", "中文txt"}) {
            WriteFile(Text("Default\\d\\") + title + ".txt", Text("content of ") + title);
        }
        WriteFile("Default\\d\\secret txt.rc", "");
        WriteFile(
            "Default\\d\\\x81"
            "abc.txt",
            "");
        StartProgram();
        OpenDirectoryNamed("d");
    }
    // Presses "搜索" on the list page and searches for `text`; returns
    // whether the window closed and the hint it showed.
    struct Outcome {
        bool closed = false;
        Text hint;
        bool boxFocused = false;
    };
    Outcome SearchTitles(const Text& text) {
        Outcome outcome;
        automation().OnNextModal([&](ui::WindowPeer& window) {
            EXPECT_EQ(window.GetCaption(), "搜搜标题：");
            EXPECT_TRUE(window.Control("编辑框1").HasFocus());
            EXPECT_EQ(window.Control("标签1").GetText(), "");
            if (!text.empty()) automation().Type(window.Control("编辑框1"), text);
            automation().Click(window.Control("按钮1"));
            outcome.closed = !window.IsOpen();
            if (!outcome.closed) {
                outcome.hint = window.Control("标签1").GetText();
                outcome.boxFocused = window.Control("编辑框1").HasFocus();
            }
        });
        Click(main().按钮2);
        return outcome;
    }
    std::vector<Text> SortedItems() {
        std::vector<Text> items = Items(main().列表框1);
        std::sort(items.begin(), items.end());
        return items;
    }
    void ExpectFilteredListPage() {
        EXPECT_TRUE(main().列表框1.IsVisible());
        EXPECT_TRUE(main().标签1.IsVisible());
        EXPECT_FALSE(main().超级编辑框1.IsVisible());
        EXPECT_FALSE(main().编辑框2.IsVisible());
        EXPECT_FALSE(main().标签2.IsVisible());
        EXPECT_FALSE(main().超级列表框1.IsVisible());
        EXPECT_EQ(app().state.CurrentPage, app::Page::DocumentList);
        EXPECT_TRUE(main().按钮1.IsEnabled());
        for (const char* item : {"新建文档目录", "保存当前文档", "另存为无密文件", "删除当前文档",
                                 "返回文档列表", "返回列表", "自定义文档目录图标"}) {
            EXPECT_FALSE(MenuEnabled(item)) << item;
        }
        for (const char* item : {"新建文档文件", "新建文档", "返回文档目录", "返回目录"}) {
            EXPECT_TRUE(MenuEnabled(item)) << item;
        }
    }
};

TEST_F(TitleSearchTest, ListsOnlyTheTitlesContainingTheTextInItsCase) {
    const Outcome outcome = SearchTitles("txt");
    EXPECT_TRUE(outcome.closed);
    EXPECT_EQ(SortedItems(), (std::vector<Text>{"beta-txt", "txt notes", "中文txt"}));
    EXPECT_EQ(main().标签1.GetText(), "找到标题中含有'txt'的 3 份文档_未加密!");
    ExpectFilteredListPage();
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(TitleSearchTest, NeverMatchesInsideADoubleByteCharacter) {
    SearchTitles("abc");
    EXPECT_TRUE(Items(main().列表框1).empty());
    SearchTitles("bc");
    EXPECT_EQ(Items(main().列表框1), std::vector<Text>{"\x81"
                                                       "abc"});
    EXPECT_EQ(main().标签1.GetText(), "找到标题中含有'bc'的 1 份文档_未加密!");
}

TEST_F(TitleSearchTest, NoMatchLeavesTheListEmptyWithCountZero) {
    EXPECT_TRUE(SearchTitles("nowhere").closed);
    EXPECT_EQ(main().列表框1.Count(), 0);
    EXPECT_EQ(main().标签1.GetText(), "找到标题中含有'nowhere'的 0 份文档_未加密!");
    ExpectFilteredListPage();
}

TEST_F(TitleSearchTest, AnEmptyBoxKeepsTheWindowOpenWithAHint) {
    const Outcome outcome = SearchTitles("");
    EXPECT_FALSE(outcome.closed);
    EXPECT_EQ(outcome.hint, "输入文字后搜索。");
    EXPECT_TRUE(outcome.boxFocused);
    // The list refreshed by the search button stays as it was.
    EXPECT_EQ(main().列表框1.Count(), 6);
    EXPECT_EQ(main().标签1.GetText(), "d - 目录中共计 6 份文档_未加密!");
}

TEST_F(TitleSearchTest, PasswordModeSearchesOnlyEncryptedDocuments) {
    SetSetting("Start", "Num1", "1");
    SearchTitles("txt");
    EXPECT_EQ(Items(main().列表框1), std::vector<Text>{"secret txt"});
    EXPECT_EQ(main().标签1.GetText(), "找到标题中含有'txt'的 1 份文档_已加密!");
}

TEST_F(TitleSearchTest, ADocumentOpensFromTheFilteredListAsFromTheFullOne) {
    SearchTitles("beta");
    OpenDocumentNamed("beta-txt");
    EXPECT_EQ(main().编辑框2.GetText(), "beta-txt");
    EXPECT_EQ(main().超级编辑框1.GetText(), "content of beta-txt");
    EXPECT_EQ(app().state.CurrentPage, app::Page::Editor);
    EXPECT_TRUE(main().超级编辑框1.IsVisible());
    // On the editor page the search button opens find and replace instead.
    Click(main().按钮2);
    ASSERT_TRUE(app().findReplace);
    EXPECT_TRUE(app().findReplace->IsOpen());
}

}  // namespace
}  // namespace testing_support
