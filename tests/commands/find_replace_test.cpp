#include "commands/find_replace.h"

#include <gtest/gtest.h>

#include "support/program_fixture.h"
#include "ui/windows/find_replace_window.h"

namespace testing_support {
namespace {

TEST(SearchLengthTest, DoubleByteCharactersAndLineBreaksCountOnePosition) {
    EXPECT_EQ(commands::SearchLengthInPositions(""), 0);
    EXPECT_EQ(commands::SearchLengthInPositions("abc"), 3);
    EXPECT_EQ(commands::SearchLengthInPositions("中文"), 2);
    EXPECT_EQ(commands::SearchLengthInPositions("a中b"), 3);
    EXPECT_EQ(commands::SearchLengthInPositions("a\r\nb"), 3);
    // The last byte is never taken as a lead byte.
    EXPECT_EQ(commands::SearchLengthInPositions("ab\xB0"), 3);
}

class FindReplaceTest : public ProgramTest {
  protected:
    void SetUp() override {
        SetSetting("Start", "Num", "1");
        SetSetting("Alpha", "Num", "255");
        MakeFolder("Default");
        MakeFolder("Default\\d");
        WriteFile("Default\\d\\doc.txt", "text");
        StartProgram();
        OpenDirectoryNamed("d");
        OpenDocumentNamed("doc");
    }
    ui::RichEdit& editor() { return main().超级编辑框1; }
    ui::FindReplaceWindow& Open(const Text& content) {
        editor().SetText(content);
        editor().SetSelection(0, 0);
        Choose("查找替换");
        EXPECT_TRUE(app().findReplace && app().findReplace->IsOpen());
        return *app().findReplace;
    }
    void Search(ui::FindReplaceWindow& w, const Text& what, const Text& replacement = "") {
        w.编辑框1.SetText(what);
        w.编辑框2.SetText(replacement);
    }
    void ExpectSelection(int start, int length) {
        EXPECT_EQ(editor().SelectionStart(), start);
        EXPECT_EQ(editor().SelectionLength(), length);
    }
};

TEST_F(FindReplaceTest, FindRepeatsTheOccurrenceAndFindNextStepsOnWithoutWrapping) {
    ui::FindReplaceWindow& w = Open("abcabc");
    EXPECT_EQ(w.GetCaption(), "查找替换");
    EXPECT_TRUE(w.编辑框1.HasFocus());
    TypeInto(w.编辑框1, "abc");

    Click(w.按钮5);
    ExpectSelection(0, 3);
    EXPECT_EQ(w.GetCaption(), "匹配成功!");
    EXPECT_TRUE(editor().HasFocus());
    Click(w.按钮5);  // starts at the selection, so the same one again
    ExpectSelection(0, 3);

    Click(w.按钮1);
    ExpectSelection(3, 3);
    EXPECT_EQ(editor().SelectedText(), "abc");
    EXPECT_EQ(w.GetCaption(), "匹配成功!");

    Click(w.按钮1);
    EXPECT_EQ(w.GetCaption(), "无匹配项!");
    ExpectSelection(0, 0);

    // From the caret at 0, Find next skips the occurrence at 0.
    Click(w.按钮1);
    ExpectSelection(3, 3);
    EXPECT_EQ(w.GetCaption(), "匹配成功!");
    EXPECT_EQ(editor().GetText(), "abcabc");
}

TEST_F(FindReplaceTest, FindNextIncludesOverlappingOccurrences) {
    ui::FindReplaceWindow& w = Open("aaaa");
    Search(w, "aa");
    Click(w.按钮1);
    ExpectSelection(1, 2);
    Click(w.按钮1);
    ExpectSelection(2, 2);
    Click(w.按钮1);
    EXPECT_EQ(w.GetCaption(), "无匹配项!");
    ExpectSelection(0, 0);
}

TEST_F(FindReplaceTest, ChineseTextIsSelectedByCharactersNotBytes) {
    ui::FindReplaceWindow& w = Open("前言\r\n中文字后中文");
    Search(w, "中文");
    Click(w.按钮5);
    ExpectSelection(3, 2);
    EXPECT_EQ(editor().SelectedText(), "中文");
    Click(w.按钮1);
    ExpectSelection(7, 2);
    EXPECT_EQ(editor().SelectedText(), "中文");
}

// Characters code page 936 lacks are four bytes: one position inside the
// Basic Multilingual Plane (U+20A9), two beyond it (U+1F600).
TEST_F(FindReplaceTest, FourByteCharactersAreSelectedWhole) {
    const Text won = "\x81\x36\xB2\x39", face = "\x94\x39\xFC\x36";
    ui::FindReplaceWindow& w = Open("a" + won + "bc" + face + "d");
    for (const auto& [what, start, length] :
         {std::tuple{won, 1, 1}, {face, 4, 2}, {won + "b", 1, 2}, {face + "d", 4, 3}}) {
        editor().SetSelection(0, 0);
        Search(w, what);
        Click(w.按钮1);
        ExpectSelection(start, length);
        EXPECT_EQ(editor().SelectedText(), what);
    }
}

TEST_F(FindReplaceTest, EveryOperationRefusesAnEmptySearchBox) {
    ui::FindReplaceWindow& w = Open("abc");
    editor().SetSelection(1, 1);
    for (const ui::Button* button : {&w.按钮5, &w.按钮1, &w.按钮2, &w.按钮3}) {
        w.SetCaption("查找替换");
        Click(*button);
        EXPECT_EQ(w.GetCaption(), "未输入文本!");
        EXPECT_TRUE(w.编辑框1.HasFocus());
    }
    EXPECT_EQ(editor().GetText(), "abc");
    ExpectSelection(1, 1);
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(FindReplaceTest, UncheckingMatchCaseFindsAnyCaseAndOffersNoReplacing) {
    ui::FindReplaceWindow& w = Open("xx abc ABC");
    EXPECT_TRUE(w.选择框1.IsChecked());
    Search(w, "ABC", "typed");
    Click(w.按钮5);
    ExpectSelection(7, 3);  // case-sensitive: only the upper-case one

    editor().SetSelection(0, 0);
    Click(w.选择框1);
    EXPECT_FALSE(w.选择框1.IsChecked());
    EXPECT_FALSE(w.按钮2.IsEnabled());
    EXPECT_FALSE(w.按钮3.IsEnabled());
    EXPECT_FALSE(w.编辑框2.IsEnabled());
    EXPECT_EQ(w.编辑框2.GetText(), "");
    Click(w.按钮5);
    ExpectSelection(3, 3);
    EXPECT_EQ(w.GetCaption(), "匹配成功!");

    w.编辑框2.SetText("left over");
    Click(w.选择框1);
    EXPECT_TRUE(w.按钮2.IsEnabled());
    EXPECT_TRUE(w.按钮3.IsEnabled());
    EXPECT_TRUE(w.编辑框2.IsEnabled());
    EXPECT_EQ(w.编辑框2.GetText(), "");
}

TEST_F(FindReplaceTest, ReplaceActsOnlyOnTheSelectedOccurrence) {
    ui::FindReplaceWindow& w = Open("one two one");
    Search(w, "one", "1");

    Click(w.按钮2);  // nothing selected
    EXPECT_EQ(w.GetCaption(), "无匹配项!");
    EXPECT_EQ(editor().GetText(), "one two one");

    editor().SetSelection(4, 3);  // "two"
    Click(w.按钮2);
    EXPECT_EQ(w.GetCaption(), "无匹配项!");
    EXPECT_EQ(editor().GetText(), "one two one");
    ExpectSelection(0, 0);
    EXPECT_TRUE(editor().HasFocus());

    editor().SetSelection(0, 2);  // part of an occurrence
    Click(w.按钮2);
    EXPECT_EQ(editor().GetText(), "one two one");

    Click(w.按钮1);
    ExpectSelection(8, 3);
    Click(w.按钮2);
    EXPECT_EQ(w.GetCaption(), "替换完成!");
    EXPECT_EQ(editor().GetText(), "one two 1");
    ExpectSelection(9, 0);  // after the inserted text; nothing searched next
}

TEST_F(FindReplaceTest, ReplaceWithAnEmptyBoxDeletesTheOccurrence) {
    ui::FindReplaceWindow& w = Open("keep中文keep");
    Search(w, "中文");
    Click(w.按钮5);
    Click(w.按钮2);
    EXPECT_EQ(editor().GetText(), "keepkeep");
    EXPECT_EQ(w.GetCaption(), "替换完成!");
}

TEST_F(FindReplaceTest, ReplaceAllNeverSearchesTheInsertedTextAndEndsAtTheStart) {
    ui::FindReplaceWindow& w = Open("aaa");
    editor().SetSelection(2, 1);  // replace all begins at the start anyway
    Search(w, "a", "aa");
    Click(w.按钮3);
    EXPECT_EQ(editor().GetText(), "aaaaaa");
    EXPECT_EQ(w.GetCaption(), "无匹配项!");
    ExpectSelection(0, 0);
    EXPECT_TRUE(editor().HasFocus());
}

TEST_F(FindReplaceTest, ReplaceAllIsCaseSensitiveAndRemovesWithAnEmptyReplacement) {
    ui::FindReplaceWindow& w = Open("x-Y-x\r\n-中-");
    Search(w, "-");
    Click(w.按钮3);
    EXPECT_EQ(editor().GetText(), "xYx\r\n中");
    ExpectSelection(0, 0);

    Search(w, "x", "长");
    Click(w.按钮3);
    EXPECT_EQ(editor().GetText(), "长Y长\r\n中");

    Search(w, "y", "z");  // only the upper-case Y is there
    Click(w.按钮3);
    EXPECT_EQ(editor().GetText(), "长Y长\r\n中");
    EXPECT_EQ(w.GetCaption(), "无匹配项!");
}

TEST_F(FindReplaceTest, ReplaceAllStepsOverAnOccurrenceThatReadsBackDifferently) {
    // A bare CR finds the line break, which reads back as CR LF: it is not
    // the search text, and the next search must not start at it again.
    ui::FindReplaceWindow& w = Open("a\r\nb\r\nc");
    Search(w, "\r", "-");
    Click(w.按钮3);
    EXPECT_EQ(editor().GetText(), "a\r\nb\r\nc");
    EXPECT_EQ(w.GetCaption(), "无匹配项!");
    ExpectSelection(0, 0);
}

// The editor's own search, one replacement after the other, and the text
// computed at once (for long notes) agree.
TEST_F(FindReplaceTest, ReplaceAllInTheEditorAndComputedAtOnceAgree) {
    struct Case {
        Text content, what, by;
    };
    const Case cases[] = {
        {"aaa", "a", "aa"},      {"x-Y-x\r\n-中-", "-", ""}, {"a\r\nb\r\nc", "\r", "-"},
        {"a\r\nb", "\r\n", "|"}, {"a\r\nb", "\nb", "!"},     {"a\r\nb", "a\r", "!"},
        {"乗乗\\", "\\", "/"},   {"中文中文", "文中", "X"},  {"abcabc", "abc", ""},
    };
    ui::FindReplaceWindow& w = Open("");
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.content + " / " + c.what));
        editor().SetText(c.content);
        Search(w, c.what, c.by);
        Click(w.按钮3);
        int count = 0;
        EXPECT_EQ(editor().GetText(), commands::ReplaceEvery(c.content, c.what, c.by, count));
    }
    // Many matches in many lines take the computed path: the same outcome.
    Text many;
    for (int line = 0; line < 2001; ++line) many += "键 " + DecimalText(line) + "\r\n";
    editor().SetText(many);
    Search(w, "键", "锁");
    Click(w.按钮3);
    int count = 0;
    EXPECT_EQ(editor().GetText(), commands::ReplaceEvery(many, "键", "锁", count));
    EXPECT_EQ(count, 2001);
    EXPECT_EQ(w.GetCaption(), "无匹配项!");
    ExpectSelection(0, 0);
    EXPECT_TRUE(editor().HasFocus());
}

TEST_F(FindReplaceTest, TheWindowIsModelessAndOpensOnlyOnce) {
    ui::FindReplaceWindow& w = Open("abc abc");
    const ui::FindReplaceWindow* first = &w;
    w.编辑框1.SetText("abc");
    // MainWindow keeps working while the window is open.
    Choose("全选");
    ExpectSelection(0, 7);
    Click(w.按钮1);
    ExpectSelection(4, 3);

    Choose("查找替换");
    EXPECT_EQ(app().findReplace.get(), first);
    EXPECT_EQ(w.编辑框1.GetText(), "abc");
    Click(main().按钮2);  // the search button on the editor page
    EXPECT_EQ(app().findReplace.get(), first);
    EXPECT_TRUE(w.编辑框1.HasFocus());

    // A fresh window after closing: nothing of the old one survives.
    Click(w.选择框1);
    Click(w.按钮4);
    EXPECT_FALSE(app().findReplace->IsOpen());
    EXPECT_EQ(editor().GetText(), "abc abc");
    main().Focus();
    automation().PressShortcut(main().Peer(), {true, false, 'F'});  // "查找替换"
    ui::FindReplaceWindow& again = *app().findReplace;
    EXPECT_TRUE(again.IsOpen());
    EXPECT_EQ(again.GetCaption(), "查找替换");
    EXPECT_EQ(again.编辑框1.GetText(), "");
    EXPECT_TRUE(again.选择框1.IsChecked());
    EXPECT_TRUE(again.按钮2.IsEnabled());
    EXPECT_TRUE(again.编辑框2.IsEnabled());

    automation().CloseByUser(again.Peer());
    EXPECT_FALSE(app().findReplace->IsOpen());
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(FindReplaceTest, EditMenuSelectsCopiesCutsPastesAndUndoes) {
    editor().SetText("hello 世界");
    Choose("全选");
    ExpectSelection(0, 8);
    Choose("复制");
    Choose("取消全选");
    ExpectSelection(0, 0);
    Choose("粘贴");  // at the caret, which went to the beginning
    EXPECT_EQ(editor().GetText(), "hello 世界hello 世界");

    editor().SetSelection(0, 6);
    Choose("剪切");
    EXPECT_EQ(editor().GetText(), "世界hello 世界");
    editor().SetSelection(2, 5);  // "hello" is replaced by the cut text
    Choose("粘贴");
    EXPECT_EQ(editor().GetText(), "世界hello  世界");
    Choose("撤销");
    EXPECT_EQ(editor().GetText(), "世界hello 世界");
    EXPECT_TRUE(MessageTexts().empty());
}

}  // namespace
}  // namespace testing_support
