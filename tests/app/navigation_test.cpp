#include <gtest/gtest.h>

#include <algorithm>

#include "crypto/rc4.h"
#include "support/program_fixture.h"

namespace testing_support {
namespace {

class NavigationTest : public ProgramTest {
  protected:
    // A program folder past its first run, holding the directories given.
    void StartWith(std::initializer_list<const char*> directories) {
        SetSetting("Start", "Num", "1");
        SetSetting("Icon", "Num", "2");
        SetSetting("Alpha", "Num", "255");
        MakeFolder("Default");
        for (const char* directory : directories) MakeFolder(Text("Default\\") + directory);
        StartProgram();
    }
    void EnterPasswordMode(const Text& key) {
        SetSetting("Start", "Num1", "1");
        app().state.SessionKey = key;
    }
    void ExpectMenu(std::initializer_list<const char*> on, std::initializer_list<const char*> off) {
        for (const char* item : on) EXPECT_TRUE(MenuEnabled(item)) << item;
        for (const char* item : off) EXPECT_FALSE(MenuEnabled(item)) << item;
    }
    void ExpectDocumentListPage() {
        ui::MainWindow& w = main();
        EXPECT_EQ(app().state.CurrentPage, app::Page::DocumentList);
        EXPECT_TRUE(w.列表框1.IsVisible());
        EXPECT_TRUE(w.标签1.IsVisible());
        EXPECT_FALSE(w.超级列表框1.IsVisible());
        EXPECT_FALSE(w.超级编辑框1.IsVisible());
        EXPECT_FALSE(w.编辑框2.IsVisible());
        EXPECT_FALSE(w.标签2.IsVisible());
    }
    void ExpectDirectoryPage() {
        ui::MainWindow& w = main();
        EXPECT_EQ(app().state.CurrentPage, app::Page::Directory);
        EXPECT_TRUE(w.超级列表框1.IsVisible());
        EXPECT_FALSE(w.列表框1.IsVisible());
        EXPECT_FALSE(w.超级编辑框1.IsVisible());
        EXPECT_FALSE(w.按钮1.IsVisible());
        ExpectMenu({"新建文档目录", "自定义文档目录图标"},
                   {"新建文档文件", "新建文档", "保存当前文档", "返回文档目录", "返回目录",
                    "返回列表", "查找替换", "撤销", "全选"});
    }
    void ExpectEditorPage(bool titleLabel) {
        ui::MainWindow& w = main();
        EXPECT_TRUE(w.超级编辑框1.IsVisible());
        EXPECT_TRUE(w.编辑框2.IsVisible());
        EXPECT_FALSE(w.标签1.IsVisible());
        EXPECT_FALSE(w.列表框1.IsVisible());
        EXPECT_FALSE(w.超级列表框1.IsVisible());
        EXPECT_EQ(w.标签2.IsVisible(), titleLabel);
    }
};

struct ListingCase {
    bool passwordMode;
    std::vector<Text> titles;
    const char* status;
};

TEST_F(NavigationTest, EachModeListsOnlyItsOwnDocumentFiles) {
    StartWith({"notes"});
    WriteFile("Default\\notes\\a.txt", "A");
    WriteFile("Default\\notes\\b.rc", "B");
    WriteFile("Default\\notes\\Notes.TXT", "N");
    WriteFile("Default\\notes\\c.rc1", "leftover");
    MakeFolder("Default\\notes\\x.txt");
    WriteFile("Default\\loose.txt", "not in a directory");

    const ListingCase cases[] = {
        {false, {"a", "Notes"}, "notes - 目录中共计 2 份文档_未加密!"},
        {true, {"b"}, "notes - 目录中共计 1 份文档_已加密!"},
    };
    for (const ListingCase& c : cases) {
        SCOPED_TRACE(c.passwordMode ? "PasswordMode" : "PlainMode");
        SetSetting("Start", "Num1", c.passwordMode ? "1" : "0");
        Click(main().按钮1);  // back to the directories (or nothing there)
        Tick();
        EXPECT_EQ(Items(main().超级列表框1), std::vector<Text>{"notes"});
        EXPECT_EQ(main().标签1.GetText(), c.passwordMode ? Text("共 1 个文档目录_有密模式!")
                                                         : Text("共 1 个文档目录_无密模式!"));
        OpenDirectoryNamed("notes");
        EXPECT_EQ(Items(main().列表框1), c.titles);
        EXPECT_EQ(main().标签1.GetText(), c.status);
        EXPECT_EQ(app().state.DocumentCount, static_cast<int>(c.titles.size()));
    }
}

TEST_F(NavigationTest, TitlesAreSortedWhateverOrderTheyAreCreatedIn) {
    StartWith({"d"});
    for (const char* title : {"delta", "Alpha", "charlie", "bravo"}) {
        WriteFile(Text("Default\\d\\") + title + ".txt", title);
    }
    OpenDirectoryNamed("d");
    EXPECT_EQ(Items(main().列表框1), (std::vector<Text>{"Alpha", "bravo", "charlie", "delta"}));
}

TEST_F(NavigationTest, OpensDocumentsCutAtTheFirstZeroByteAndDecryptedInPasswordMode) {
    StartWith({"d"});
    WriteFile("Default\\d\\zero.txt", std::string("before\0after", 12));
    WriteFile("Default\\d\\secret.rc", crypto::EncryptData("机密内容\r\n第二行", "钥匙"));
    OpenDirectoryNamed("d");
    OpenDocumentNamed("zero");
    EXPECT_EQ(main().编辑框2.GetText(), "zero");
    EXPECT_EQ(main().超级编辑框1.GetText(), "before");
    EXPECT_TRUE(main().超级编辑框1.HasFocus());

    EnterPasswordMode("钥匙");
    Click(main().按钮1);  // editor -> list, now listing the .rc files
    EXPECT_EQ(Items(main().列表框1), std::vector<Text>{"secret"});
    OpenDocumentNamed("secret");
    EXPECT_EQ(main().超级编辑框1.GetText(), "机密内容\r\n第二行");
}

TEST_F(NavigationTest, EveryPageTransitionSetsItsControlsAndMenus) {
    StartWith({"d"});
    WriteFile("Default\\d\\one.txt", "1");
    ExpectDirectoryPage();

    OpenDirectoryNamed("d");  // choose a directory
    ExpectDocumentListPage();
    EXPECT_EQ(main().超级列表框1.Count(), 0);
    for (const ui::Button* b : {&main().按钮1, &main().按钮2, &main().按钮3}) {
        EXPECT_TRUE(b->IsVisible());
        EXPECT_TRUE(b->IsEnabled());
    }
    ExpectMenu({"新建文档文件", "新建文档", "返回文档目录", "返回目录"},
               {"新建文档目录", "保存当前文档", "另存为无密文件", "返回文档列表", "返回列表",
                "删除当前文档", "自定义文档目录图标"});

    OpenDocumentNamed("one");  // select a document
    EXPECT_EQ(app().state.CurrentPage, app::Page::Editor);
    ExpectEditorPage(false);
    ExpectMenu({"新建文档文件", "新建文档", "保存当前文档", "另存为无密文件", "返回文档列表",
                "返回列表", "删除当前文档", "返回文档目录", "返回目录", "查找替换", "撤销", "剪切",
                "复制", "粘贴", "全选", "取消全选"},
               {"新建文档目录"});

    Choose("返回文档列表");  // editor -> list
    ExpectDocumentListPage();
    EXPECT_EQ(main().编辑框2.GetText(), "");
    ExpectMenu({"新建文档文件", "返回文档目录"}, {"保存当前文档", "查找替换", "撤销", "全选"});

    Click(main().按钮2);  // the search button on the list page refreshes it
    ExpectDocumentListPage();
    EXPECT_EQ(Items(main().列表框1), std::vector<Text>{"one"});
    EXPECT_TRUE(main().按钮1.IsEnabled());

    Choose("返回目录");  // list -> directories
    EXPECT_EQ(main().超级列表框1.Count(), 0);
    EXPECT_EQ(main().标签1.GetText(), "");
    Tick();
    ExpectDirectoryPage();
    EXPECT_EQ(Items(main().超级列表框1), std::vector<Text>{"d"});

    OpenDirectoryNamed("d");
    OpenDocumentNamed("one");
    Choose("返回文档目录");  // editor -> directories
    Tick();
    ExpectDirectoryPage();
}

TEST_F(NavigationTest, NewDocumentKeepsThePageSoBackActsOnTheListPage) {
    StartWith({"d"});
    WriteFile("Default\\d\\one.txt", "1");
    OpenDirectoryNamed("d");
    Click(main().按钮3);  // "新建"
    ExpectEditorPage(true);
    EXPECT_EQ(app().state.CurrentPage, app::Page::DocumentList);
    EXPECT_TRUE(main().编辑框2.HasFocus());
    ExpectMenu({"保存当前文档", "返回文档列表", "返回目录", "查找替换"},
               {"新建文档文件", "新建文档", "删除当前文档", "新建文档目录"});
    Click(main().按钮1);  // "返回" acts as on the list page
    Tick();
    ExpectDirectoryPage();
}

TEST_F(NavigationTest, TheTitleStartsAfterTheTitleLabelWhileTheLabelShows) {
    StartWith({"d"});
    WriteFile("Default\\d\\one.txt", "1");
    OpenDirectoryNamed("d");
    ui::MainWindow& w = main();
    auto titleStart = [&w] { return w.编辑框2.Left() + w.编辑框2.TextIndent(); };
    const int labelEnd = w.标签2.Left() + w.标签2.Width();

    Click(w.按钮3);
    ASSERT_TRUE(w.标签2.IsVisible());
    EXPECT_EQ(titleStart(), labelEnd);
    // A font change (the font scheme's refresh) keeps the room.
    w.编辑框2.SetFont({"宋体", 20, 700});
    EXPECT_EQ(titleStart(), labelEnd);
    EXPECT_EQ(w.编辑框2.GetRect(), (ui::Rect{0, 0, w.编辑框2.Width(), 48})) << "as laid out";

    TypeInto(w.编辑框2, "新的标题");
    Choose("保存当前文档");  // the label goes with the save
    EXPECT_FALSE(w.标签2.IsVisible());
    EXPECT_EQ(w.编辑框2.TextIndent(), 0);
    Click(w.按钮3);
    EXPECT_EQ(titleStart(), labelEnd);
    Choose("返回文档列表");
    OpenDocumentNamed("one");
    EXPECT_EQ(w.编辑框2.TextIndent(), 0);
}

TEST_F(NavigationTest, BackOnTheEditorPageClearsItAndListsTheDirectoryAgain) {
    StartWith({"d"});
    WriteFile("Default\\d\\one.txt", "text");
    OpenDirectoryNamed("d");
    OpenDocumentNamed("one");
    WriteFile("Default\\d\\two.txt", "added meanwhile");
    Click(main().按钮1);
    ExpectDocumentListPage();
    EXPECT_EQ(main().编辑框2.GetText(), "");
    EXPECT_EQ(main().超级编辑框1.GetText(), "");
    EXPECT_EQ(Items(main().列表框1), (std::vector<Text>{"one", "two"}));
    EXPECT_TRUE(main().按钮1.IsEnabled());
}

TEST_F(NavigationTest, VanishedDocumentsOpenEmptyAndNewDirectoriesAppearOnTheNextFill) {
    StartWith({"kept"});
    WriteFile("Default\\kept\\note.txt", "x");
    OpenDirectoryNamed("kept");
    ASSERT_TRUE(files().DeleteFile(PathOf("Default\\kept\\note.txt")));
    OpenDocumentNamed("note");
    EXPECT_EQ(main().超级编辑框1.GetText(), "");
    EXPECT_TRUE(automation().Messages().empty());

    Choose("返回目录");
    MakeFolder("Default\\新目录");  // made outside the program
    Tick();
    const std::vector<Text> names = Items(main().超级列表框1);
    EXPECT_EQ(names.size(), 2u);
    EXPECT_NE(std::find(names.begin(), names.end(), Text("新目录")), names.end());
    EXPECT_EQ(main().标签1.GetText(), "共 2 个文档目录_无密模式!");
}

TEST_F(NavigationTest, DirectoryRemovedAfterListingOpensEmptyWithCountZero) {
    StartWith({"gone"});
    ASSERT_TRUE(RemoveEmptyFolder(PathOf("Default\\gone")));
    OpenDirectoryNamed("gone");
    ExpectDocumentListPage();
    EXPECT_EQ(main().列表框1.Count(), 0);
    EXPECT_EQ(main().标签1.GetText(), "gone - 目录中共计 0 份文档_未加密!");
    EXPECT_TRUE(automation().Messages().empty());
}

TEST_F(NavigationTest, EmptyDirectoryInPasswordModeCountsZero) {
    StartWith({"empty"});
    EnterPasswordMode("k");
    Choose("返回目录");  // not enabled on the directory page: nothing happens
    OpenDirectoryNamed("empty");
    EXPECT_EQ(main().标签1.GetText(), "empty - 目录中共计 0 份文档_已加密!");
    EXPECT_EQ(main().列表框1.Count(), 0);
}

}  // namespace
}  // namespace testing_support
