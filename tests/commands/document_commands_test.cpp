#include <gtest/gtest.h>

#include "app/navigation.h"
#include "commands/document_commands.h"
#include "crypto/rc4.h"
#include "support/program_fixture.h"

namespace testing_support {
namespace {

class DocumentCommandsTest : public ProgramTest {
  protected:
    void SetUp() override {
        SetSetting("Start", "Num", "1");
        SetSetting("Alpha", "Num", "255");
        MakeFolder("Default");
        MakeFolder("Default\\d");
        StartProgram();
        OpenDirectoryNamed("d");
    }
    void Write(const Text& title, const Text& content) {
        Choose("新建文档文件");
        main().编辑框2.SetText(title);
        main().超级编辑框1.SetText(content);
    }
    void EnterPasswordMode(const Text& key) {
        SetSetting("Start", "Num1", "1");
        app().state.SessionKey = key;
    }
    // Types a directory name into NewDirectoryWindow and presses "确定".
    bool CreateDirectoryNamed(const Text& name, bool paste = false) {
        bool closedByOk = false;
        automation().OnNextModal([&](ui::WindowPeer& window) {
            ui::ControlPeer& box = window.Control("编辑框1");
            if (paste) {
                automation().Paste(box, name);
            } else {
                automation().Type(box, name);
            }
            automation().Click(window.Control("按钮1"));
            closedByOk = !window.IsOpen();
        });
        Choose("新建文档目录");
        return closedByOk;
    }
    void ExpectAfterSaveMenu() {
        for (const char* item :
             {"新建文档文件", "新建文档", "保存当前文档", "另存为无密文件", "删除当前文档",
              "返回文档列表", "返回文档目录", "返回目录", "返回列表", "查找替换", "撤销", "剪切",
              "复制", "粘贴", "全选", "取消全选"}) {
            EXPECT_TRUE(MenuEnabled(item)) << item;
        }
        EXPECT_FALSE(MenuEnabled("新建文档目录"));
    }
};

TEST_F(DocumentCommandsTest, SavingTwiceUnderOneTitleKeepsOneFileWithTheLatestText) {
    Write("diary", "first");
    Choose("保存当前文档");
    main().超级编辑框1.SetText("second\r\nline");
    Choose("保存当前文档");
    EXPECT_EQ(MessageTexts(), (std::vector<Text>{"已保存！", "已保存！"}));
    EXPECT_EQ(ReadFile("Default\\d\\diary.txt"), "second\r\nline");
    EXPECT_EQ(files().Search(PathOf("Default\\d\\*"), platform::EntryFilter::FilesOnly).size(), 1u);
    EXPECT_EQ(main().列表框1.Count(), 0);
    EXPECT_FALSE(main().标签2.IsVisible());
    EXPECT_EQ(main().超级编辑框1.GetText(), "second\r\nline");
    ExpectAfterSaveMenu();
}

TEST_F(DocumentCommandsTest, EmptyTitleIsRefusedAndStillSetsTheMenus) {
    Write("", "text");
    Choose("保存当前文档");
    EXPECT_EQ(MessageTexts(), std::vector<Text>{"必须填写标题！"});
    EXPECT_TRUE(files().Search(PathOf("Default\\d\\*"), platform::EntryFilter::All).empty());
    ExpectAfterSaveMenu();
    // Nothing was saved under the empty title, so nothing can be deleted.
    Choose("删除当前文档");
    EXPECT_EQ(LastMessage(), "当前文档未保存,不能删除！");
}

TEST_F(DocumentCommandsTest, PasswordModeWritesOnlyTheEncryptedFile) {
    EnterPasswordMode("钥匙");
    Write("secret", "机密\r\n内容");
    Choose("保存当前文档");
    EXPECT_EQ(LastMessage(), "已保存！");
    EXPECT_EQ(ReadFile("Default\\d\\secret.rc"), crypto::EncryptData("机密\r\n内容", "钥匙"));
    EXPECT_FALSE(Exists("Default\\d\\secret.rc1"));
    EXPECT_FALSE(Exists("Default\\d\\secret.txt"));
    Choose("返回文档列表");
    OpenDocumentNamed("secret");
    EXPECT_EQ(main().超级编辑框1.GetText(), "机密\r\n内容");
}

TEST_F(DocumentCommandsTest, NoPlainCopyEverReachesTheDiskDuringAnEncryptedSave) {
    EnterPasswordMode("k");
    std::vector<Text> written;
    files().beforeReplace = [&](const Text& target) {
        written.push_back(target);
        return true;
    };
    Write("t", "plain words");
    Choose("保存当前文档");
    files().beforeReplace = nullptr;
    EXPECT_EQ(written, std::vector<Text>{PathOf("Default\\d\\t.rc")});
}

TEST_F(DocumentCommandsTest, EditingTheTitleAndSavingKeepsBothDocuments) {
    WriteFile("Default\\d\\old.txt", "content");
    Choose("返回目录");
    Tick();
    OpenDirectoryNamed("d");
    OpenDocumentNamed("old");
    main().编辑框2.SetText("new");
    Choose("保存当前文档");
    Choose("返回文档列表");
    EXPECT_EQ(Items(main().列表框1), (std::vector<Text>{"new", "old"}));
    EXPECT_EQ(ReadFile("Default\\d\\old.txt"), "content");
    EXPECT_EQ(ReadFile("Default\\d\\new.txt"), "content");
}

TEST_F(DocumentCommandsTest, DeleteRemovesOnlyTheFileOfTheCurrentMode) {
    WriteFile("Default\\d\\twin.txt", "plain");
    WriteFile("Default\\d\\twin.rc", "cipher");
    WriteFile("Default\\d\\other.txt", "o");
    Choose("返回文档目录");
    Tick();
    OpenDirectoryNamed("d");
    OpenDocumentNamed("twin");
    Choose("删除当前文档");
    EXPECT_EQ(LastMessage(), "已删除！");
    EXPECT_FALSE(Exists("Default\\d\\twin.txt"));
    EXPECT_TRUE(Exists("Default\\d\\twin.rc"));

    ui::MainWindow& w = main();
    EXPECT_EQ(Items(w.列表框1), std::vector<Text>{"other"});
    EXPECT_EQ(w.标签1.GetText(), "d - 目录中共计 1 份文档_未加密!");
    EXPECT_EQ(w.编辑框2.GetText(), "");
    EXPECT_EQ(w.超级编辑框1.GetText(), "");
    EXPECT_TRUE(w.列表框1.IsVisible());
    EXPECT_FALSE(w.超级编辑框1.IsVisible());
    EXPECT_EQ(app().state.CurrentPage, app::Page::Editor);
    for (const char* item : {"新建文档文件", "新建文档", "返回文档目录", "返回目录"}) {
        EXPECT_TRUE(MenuEnabled(item)) << item;
    }
    for (const char* item : {"新建文档目录", "保存当前文档", "另存为无密文件", "删除当前文档",
                             "返回文档列表", "返回列表", "查找替换", "撤销", "全选"}) {
        EXPECT_FALSE(MenuEnabled(item)) << item;
    }
}

TEST_F(DocumentCommandsTest, DeleteAfterTheTitleWasEditedChangesNothing) {
    WriteFile("Default\\d\\keep.txt", "k");
    Choose("返回目录");
    Tick();
    OpenDirectoryNamed("d");
    OpenDocumentNamed("keep");
    main().编辑框2.SetText("kee");
    Choose("删除当前文档");
    EXPECT_EQ(MessageTexts(), std::vector<Text>{"当前文档未保存,不能删除！"});
    EXPECT_TRUE(Exists("Default\\d\\keep.txt"));
    EXPECT_EQ(main().编辑框2.GetText(), "kee");
}

TEST_F(DocumentCommandsTest, NamesThatCannotBeOneFileNameAreRefused) {
    for (const char* title : {"..\\escape", "a/b", "what?", "..", "COM1", "trailing."}) {
        SCOPED_TRACE(title);
        automation().ClearMessages();
        Write(title, "x");
        Choose("保存当前文档");
        EXPECT_EQ(MessageTexts(), std::vector<Text>{commands::kInvalidNameMessage});
    }
    EXPECT_FALSE(Exists("Default\\escape.txt"));
    EXPECT_TRUE(files().Search(PathOf("Default\\d\\*"), platform::EntryFilter::All).empty());
}

TEST_F(DocumentCommandsTest, FailedWriteSaysSoAndLeavesTheOldFileWhole) {
    WriteFile("Default\\d\\doc.txt", "old text");
    Write("doc", "new text");
    files().beforeReplace = [](const Text&) { return false; };  // the disk gives up
    Choose("保存当前文档");
    files().beforeReplace = nullptr;
    EXPECT_EQ(MessageTexts(), std::vector<Text>{commands::kSaveFailedMessage});
    EXPECT_EQ(ReadFile("Default\\d\\doc.txt"), "old text");
}

TEST_F(DocumentCommandsTest, AnUnreadableDocumentIsToldAndNeverSavedOverFromTheEmptyEditor) {
    const std::string original(1300, 'n');
    WriteFile("Default\\d\\held.txt", original);
    WriteFile("Default\\d\\gone.txt", "soon gone");
    Choose("返回文档目录");
    Tick();
    OpenDirectoryNamed("d");
    {
        const std::unique_ptr<FileHold> hold = HoldUnreadable(PathOf("Default\\d\\held.txt"));
        OpenDocumentNamed("held");
        EXPECT_EQ(MessageTexts(), std::vector<Text>{app::kUnreadableDocumentMessage});
        EXPECT_EQ(main().超级编辑框1.GetText(), "");
        EXPECT_TRUE(main().超级编辑框1.IsVisible());
    }
    // Readable again, but the editor never held its text: no save under its
    // title (in any letter case) replaces it; another title saves.
    for (const char* title : {"held", "HELD"}) {
        automation().ClearMessages();
        main().编辑框2.SetText(title);
        Choose("保存当前文档");
        EXPECT_EQ(MessageTexts(), std::vector<Text>{commands::kUnreadSourceMessage}) << title;
    }
    EXPECT_EQ(ReadFile("Default\\d\\held.txt"), original);
    main().编辑框2.SetText("copy");
    Choose("保存当前文档");
    EXPECT_EQ(LastMessage(), "已保存！");

    // A file that vanished after it was listed opens empty without a word and
    // may be saved again.
    Choose("返回文档列表");
    ASSERT_TRUE(files().DeleteFile(PathOf("Default\\d\\gone.txt")));
    automation().ClearMessages();
    OpenDocumentNamed("gone");
    EXPECT_TRUE(automation().Messages().empty());
    main().超级编辑框1.SetText("again");
    Choose("保存当前文档");
    EXPECT_EQ(ReadFile("Default\\d\\gone.txt"), "again");
}

// The editor shows every line break as one mark; a save gives each break the
// bytes it had in the file, unless the user edited around it.
TEST_F(DocumentCommandsTest, SavingKeepsTheDocumentsOwnLineBreaks) {
    struct Case {
        std::string file;
        int start, length;  // editor positions replaced by `typed`; no edit when both are 0
        Text typed;
        std::string saved;
    };
    const Case cases[] = {
        {"LF\nonly\n", 0, 0, "", "LF\nonly\n"},
        {"lone\rCR\r", 0, 0, "", "lone\rCR\r"},
        {"CR LF\r\nonly\r\n", 0, 0, "", "CR LF\r\nonly\r\n"},
        {"mixed\r\nLF\nCR\rend\n\r\r\n\n", 0, 0, "", "mixed\r\nLF\nCR\rend\n\r\r\n\n"},
        {"中文\r\r\n乗\n\r", 0, 0, "", "中文\r\r\n乗\n\r"},
        {"one\r\ntwo\nthree\rfour", 4, 3, "2", "one\r\n2\nthree\rfour"},
        {"a\nb", 3, 0, "\r\nc", "a\nb\nc"},
        {"a\rb\rc", 2, 0, "x\r\ny", "a\rx\ryb\rc"},
        {"a\nb\r\nc", 1, 1, "", "ab\r\nc"},
        {"x\r\ny\r\nz\n", 0, 0, "new\r\n", "new\r\nx\r\ny\r\nz\n"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        WriteFile("Default\\d\\" + DecimalText(static_cast<long long>(i)) + ".txt", cases[i].file);
    }
    Choose("返回文档目录");
    Tick();
    OpenDirectoryNamed("d");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(::testing::PrintToString(Text(c.file)));
        const Text title = DecimalText(static_cast<long long>(i));
        OpenDocumentNamed(title);
        if (!c.typed.empty() || c.length > 0) {
            main().超级编辑框1.SetSelection(c.start, c.length);
            main().超级编辑框1.ReplaceSelection(c.typed);
        }
        // Saved twice: the second, unchanged save keeps the bytes too.
        for (int save = 0; save < 2; ++save) {
            Choose("保存当前文档");
            EXPECT_EQ(ReadFile("Default\\d\\" + title + ".txt"), c.saved);
        }
        Choose("返回文档列表");
    }
}

TEST_F(DocumentCommandsTest, CharactersBeyondGbkSurviveSaveAndReopen) {
    // U+0E01 (Thai) and U+1F600 have no GBK bytes; GB18030 keeps them.
    const Text content = text::FromUtf8("\xE0\xB8\x81 and \xF0\x9F\x98\x80 中文");
    Write("wide", content);
    Choose("保存当前文档");
    Choose("返回文档列表");
    OpenDocumentNamed("wide");
    EXPECT_EQ(text::ToUtf8(main().超级编辑框1.GetText()), text::ToUtf8(content));
}

TEST_F(DocumentCommandsTest, ExportWritesPlainTextAndCancelWritesNothing) {
    EnterPasswordMode("k");
    Write("t", "readable 文字");
    const Text target = PathOf("export.txt");
    automation().AnswerNextFileDialog(target);
    Choose("另存为无密文件");
    EXPECT_EQ(ReadFile("export.txt"), "readable 文字");
    ASSERT_EQ(automation().FileDialogsShown().size(), 1u);
    const ui::FileDialogRequest request = automation().FileDialogsShown()[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.title, "新建文档");
    EXPECT_EQ(request.filter, "文本文件(*.txt)|*.txt|配置文件(*.ini)|*.ini|所有文件(*.*)|*.*");
    EXPECT_EQ(request.defaultExtension, "txt");
    EXPECT_EQ(request.initialFolder, folder_.path);

    main().超级编辑框1.SetText("changed");
    automation().AnswerNextFileDialog(std::nullopt);
    Choose("另存为无密文件");
    EXPECT_EQ(ReadFile("export.txt"), "readable 文字");
    ASSERT_EQ(automation().FileDialogsShown().size(), 2u);
    EXPECT_EQ(automation().FileDialogsShown()[1].initialPath, target);
    EXPECT_TRUE(automation().Messages().empty());
}

TEST_F(DocumentCommandsTest, NewDirectoryIsCreatedListedAndChecked) {
    Choose("返回目录");
    Tick();
    EXPECT_TRUE(CreateDirectoryNamed("旅行"));
    EXPECT_TRUE(Exists("Default\\旅行"));
    EXPECT_EQ(main().超级列表框1.Count(), 0);
    Tick();
    const std::vector<Text> names = Items(main().超级列表框1);
    EXPECT_EQ(names.size(), 2u);

    EXPECT_FALSE(CreateDirectoryNamed(""));
    EXPECT_EQ(LastMessage(), "目录需要命名！");
    // The test is a directory search, so letter case doesn't matter.
    EXPECT_FALSE(CreateDirectoryNamed("D"));
    EXPECT_EQ(LastMessage(), "已有相同名称目录存在,需重新命名以完成新建目录！");
    EXPECT_FALSE(CreateDirectoryNamed("a:b"));
    EXPECT_EQ(LastMessage(), commands::kInvalidNameMessage);
}

TEST_F(DocumentCommandsTest, DirectoryNameBoxHoldsAtMost28Bytes) {
    Choose("返回目录");
    const Text name28(28, 'n');
    EXPECT_TRUE(CreateDirectoryNamed(name28 + "xyz"));
    EXPECT_TRUE(Exists("Default\\" + name28));
    EXPECT_TRUE(CreateDirectoryNamed(Text(30, 'p'), true));
    EXPECT_TRUE(Exists("Default\\" + Text(28, 'p')));
    EXPECT_TRUE(CreateDirectoryNamed("一二三四五六七八九十一二三四五"));
    EXPECT_TRUE(Exists("Default\\一二三四五六七八九十一二三四"));
}

TEST_F(DocumentCommandsTest, DataFolderOpensInTheShellAndExitEndsTheProgram) {
    Choose("批量删除操作");
    ASSERT_EQ(shell_.opened.size(), 1u);
    EXPECT_EQ(shell_.opened[0], files().CurrentDirectory() + "\\Default\\");
    Choose("退出");
    EXPECT_EQ(automation().ExitRequested(), std::optional<int>(0));
}

}  // namespace
}  // namespace testing_support
