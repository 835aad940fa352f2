#include "tools/file_cipher.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "crypto/rc4.h"
#include "support/program_fixture.h"

namespace testing_support {
namespace {

using app::FileCipherDirection;

const Text kEncryptMenu = "为其他文件加密";
const Text kDecryptMenu = "为其他文件解密";

std::string EveryByteValue() {
    std::string bytes;
    for (int round = 0; round < 3; ++round) {
        for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    }
    return bytes;
}

TEST(FileCipherProposalTest, EncryptAppendsRcAndDecryptDropsThreeBytesWhenRcOccurs) {
    EXPECT_EQ(tools::ProposeTargetName("C:\\x\\a.txt", FileCipherDirection::Encrypt),
              "C:\\x\\a.txt.rc");
    EXPECT_EQ(tools::ProposeTargetName("", FileCipherDirection::Encrypt), ".rc");
    EXPECT_EQ(tools::ProposeTargetName("a.rc", FileCipherDirection::Decrypt), "a");
    EXPECT_EQ(tools::ProposeTargetName("A.RC", FileCipherDirection::Decrypt), "A");
    EXPECT_EQ(tools::ProposeTargetName("a.txt", FileCipherDirection::Decrypt), "a.txt");
    EXPECT_EQ(tools::ProposeTargetName("a.rcx.txt", FileCipherDirection::Decrypt), "a.rcx.");
    EXPECT_EQ(tools::ProposeTargetName("", FileCipherDirection::Decrypt), "");
    EXPECT_EQ(tools::ProposeTargetName("D:\\文档.Rc", FileCipherDirection::Decrypt), "D:\\文档");
    // Three bytes would end inside a double-byte character: it goes whole.
    EXPECT_EQ(tools::ProposeTargetName("x.rc文档", FileCipherDirection::Decrypt), "x.rc");
}

class FileCipherTest : public ProgramTest {
  protected:
    void SetUp() override {
        SetSetting("Start", "Num", "1");
        SetSetting("Start", "Num1", "0");
        SetSetting("Alpha", "Num", "255");
        MakeFolder("Default");
        StartProgram();
        SetPasswordTo("k3y密");
        ASSERT_EQ(Setting("Start", "Num1"), "1");
        ASSERT_FALSE(app().state.SessionKey.value_or("").empty());
        ASSERT_TRUE(MenuEnabled(kEncryptMenu));
        ASSERT_TRUE(MenuEnabled(kDecryptMenu));
        automation().ClearMessages();
        // The files the window's buttons write; the test's own set-up
        // writes are not counted.
        files().beforeReplace = [this](const Text& target) {
            if (!pressing) return true;
            written.push_back(target);
            return !failWrites;
        };
    }
    void TearDown() override { files().beforeReplace = nullptr; }

    void SetPasswordTo(const Text& password) {
        automation().OnNextModal([&](ui::WindowPeer& window) {
            automation().Type(window.Control("编辑框1"), password);
            automation().Type(window.Control("编辑框2"), password);
            automation().Click(window.Control("按钮1"));
        });
        Choose("设置密码");
    }

    // Opens FileCipherWindow by its menu item and acts inside it.
    void InWindow(const Text& menu, const std::function<void(ui::WindowPeer&)>& script) {
        bool ran = false;
        automation().OnNextModal([&](ui::WindowPeer& window) {
            ran = true;
            script(window);
        });
        Choose(menu);
        ASSERT_TRUE(ran) << menu;
    }
    void Press(ui::WindowPeer& window, const char* control) {
        pressing = true;
        automation().Click(window.Control(control));
        pressing = false;
    }
    // The user's answers to "打开文件" and "另存到" (nullopt: cancelled).
    void ChooseFiles(ui::WindowPeer& window, std::optional<Text> source,
                     std::optional<Text> target) {
        automation().AnswerNextFileDialog(source);
        Press(window, "按钮1");
        automation().AnswerNextFileDialog(target);
        Press(window, "按钮2");
    }
    // One opening: choose both files, optionally check "删除源文件", start.
    void RunCipher(const Text& menu, const Text& source, const Text& target,
                   bool deleteSource = false) {
        InWindow(menu, [&](ui::WindowPeer& window) {
            ChooseFiles(window, source, target);
            if (deleteSource) Press(window, "选择框1");
            Press(window, menu == kEncryptMenu ? "按钮3" : "按钮4");
            EXPECT_TRUE(window.IsOpen());
            EXPECT_EQ(window.Control("编辑框1").GetText(), source);
            EXPECT_EQ(window.Control("编辑框2").GetText(), target);
        });
    }
    std::string Key() { return app().state.SessionKey.value(); }

    std::vector<Text> written;
    bool failWrites = false;
    bool pressing = false;
};

TEST_F(FileCipherTest, EncryptThenDecryptGivesBackEveryByteAndTheDialogsAskAsDesigned) {
    const std::string original = EveryByteValue();
    WriteFile("all.bin", original);
    const Text source = PathOf("all.bin");
    const Text encrypted = PathOf("all.bin.rc");
    const Text restored = PathOf("back.bin");

    RunCipher(kEncryptMenu, source, encrypted);
    EXPECT_EQ(ReadFile("all.bin.rc"), crypto::EncryptData(original, Key()));
    EXPECT_NE(ReadFile("all.bin.rc"), original);
    EXPECT_EQ(ReadFile("all.bin"), original);
    // No separator between the text and the path.
    EXPECT_EQ(MessageTexts(), std::vector<Text>{"加密成功!" + encrypted});

    RunCipher(kDecryptMenu, encrypted, restored);
    EXPECT_EQ(ReadFile("back.bin"), original);
    EXPECT_EQ(LastMessage(), "解密成功!" + restored);
    EXPECT_EQ(written, (std::vector<Text>{encrypted, restored}));

    const std::vector<ui::FileDialogRequest> shown = automation().FileDialogsShown();
    ASSERT_EQ(shown.size(), 4u);
    for (const ui::FileDialogRequest& request : shown) {
        EXPECT_EQ(request.initialFolder, files().ProgramFolder());
        EXPECT_EQ(request.defaultExtension, "rc");
    }
    EXPECT_FALSE(shown[0].save);
    EXPECT_EQ(shown[0].filter, "源文件类型(*.*,)|*.*");
    EXPECT_EQ(shown[0].initialPath, "");
    EXPECT_TRUE(shown[1].save);
    EXPECT_EQ(shown[1].filter, "RC4加密文件(*.rc)|*.rc");
    EXPECT_EQ(shown[1].initialPath, source + ".rc");
    // A new opening forgets the name chosen in the last one.
    EXPECT_FALSE(shown[2].save);
    EXPECT_EQ(shown[2].filter, "RC4加密文件(*.rc)|*.rc");
    EXPECT_EQ(shown[2].initialPath, "");
    EXPECT_TRUE(shown[3].save);
    EXPECT_EQ(shown[3].filter, "源文件类型(*.*)|*.*");
    EXPECT_EQ(shown[3].initialPath, source);
}

TEST_F(FileCipherTest, EmptyFileAndDocumentTextSurviveTheRoundTrip) {
    WriteFile("empty.txt", "");
    RunCipher(kEncryptMenu, PathOf("empty.txt"), PathOf("empty.rc"));
    EXPECT_EQ(ReadFile("empty.rc"), "");
    RunCipher(kDecryptMenu, PathOf("empty.rc"), PathOf("empty2.txt"));
    EXPECT_EQ(ReadFile("empty2.txt"), "");

    // An ".rc" document saved in PasswordMode decrypts to its text.
    const Text text = "第一行\r\nsecond line";
    WriteFile("note.rc", crypto::EncryptData(text, Key()));
    RunCipher(kDecryptMenu, PathOf("note.rc"), PathOf("note.txt"));
    EXPECT_EQ(ReadFile("note.txt"), text);
}

TEST_F(FileCipherTest, EachDirectionShowsOnlyItsStartButtonAndCloseChangesNothing) {
    for (const Text& menu : {kEncryptMenu, kDecryptMenu}) {
        const bool encrypting = menu == kEncryptMenu;
        InWindow(menu, [&](ui::WindowPeer& window) {
            EXPECT_EQ(window.Control("按钮3").IsVisible(), encrypting) << menu;
            EXPECT_EQ(window.Control("按钮4").IsVisible(), !encrypting) << menu;
            EXPECT_EQ(window.Control("编辑框1").GetText(), "");
            EXPECT_EQ(window.Control("编辑框2").GetText(), "");
            // Readable, not greyed; typing into them is refused (a dialog
            // window test).
            EXPECT_TRUE(window.Control("编辑框1").IsEnabled());
            EXPECT_TRUE(window.Control("编辑框2").IsEnabled());
            EXPECT_FALSE(window.Control("选择框1").IsChecked());
            ChooseFiles(window, std::nullopt, std::nullopt);
            EXPECT_EQ(window.Control("按钮3").IsVisible(), encrypting) << menu;
            EXPECT_EQ(window.Control("按钮4").IsVisible(), !encrypting) << menu;
            Press(window, "按钮5");
            EXPECT_FALSE(window.IsOpen());
        });
    }
    EXPECT_TRUE(MessageTexts().empty());
    EXPECT_TRUE(written.empty());
}

TEST_F(FileCipherTest, CancelledDialogsKeepTheBoxesAndWriteNothing) {
    WriteFile("a.txt", "abc");
    InWindow(kEncryptMenu, [&](ui::WindowPeer& window) {
        ChooseFiles(window, std::nullopt, std::nullopt);
        Press(window, "按钮3");
        EXPECT_EQ(LastMessage(), "未声明文件路径或储存路径!");
        // A source alone is not enough either.
        automation().AnswerNextFileDialog(PathOf("a.txt"));
        Press(window, "按钮1");
        Press(window, "按钮3");
        // A cancelled dialog keeps the path already shown and the name it
        // proposes next.
        ChooseFiles(window, std::nullopt, std::nullopt);
        EXPECT_EQ(window.Control("编辑框1").GetText(), PathOf("a.txt"));
        EXPECT_EQ(window.Control("编辑框2").GetText(), "");
        Press(window, "按钮3");
        automation().AnswerNextFileDialog(PathOf("b.rc"));
        Press(window, "按钮2");
        automation().AnswerNextFileDialog(std::nullopt);
        Press(window, "按钮2");
        EXPECT_EQ(window.Control("编辑框2").GetText(), PathOf("b.rc"));
    });
    EXPECT_EQ(MessageTexts(), std::vector<Text>(3, "未声明文件路径或储存路径!"));
    EXPECT_TRUE(written.empty());
    EXPECT_FALSE(Exists("a.txt.rc"));
    EXPECT_FALSE(Exists("b.rc"));

    const std::vector<ui::FileDialogRequest> shown = automation().FileDialogsShown();
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[3].initialPath, PathOf("a.txt"));          // open again: the source
    EXPECT_EQ(shown[4].initialPath, PathOf("a.txt") + ".rc");  // target proposal
    EXPECT_EQ(shown[6].initialPath, PathOf("b.rc") + ".rc");   // from the target chosen
}

TEST_F(FileCipherTest, DeleteSourceRemovesItOnlyAfterTheTargetIsWritten) {
    const std::string original = EveryByteValue();
    WriteFile("src.bin", original);
    RunCipher(kEncryptMenu, PathOf("src.bin"), PathOf("src.rc"), true);
    EXPECT_FALSE(Exists("src.bin"));
    EXPECT_EQ(ReadFile("src.rc"), crypto::EncryptData(original, Key()));
    EXPECT_EQ(LastMessage(), "加密成功!" + PathOf("src.rc") + "\r\n源文件已删除!");

    RunCipher(kDecryptMenu, PathOf("src.rc"), PathOf("src.bin"), true);
    EXPECT_FALSE(Exists("src.rc"));
    EXPECT_EQ(ReadFile("src.bin"), original);
    EXPECT_EQ(LastMessage(), "解密成功!" + PathOf("src.bin") + "\r\n源文件已删除!");
}

TEST_F(FileCipherTest, NothingHappensUnlessNum1ReadsOne) {
    WriteFile("a.txt", "abc");
    InWindow(kEncryptMenu, [&](ui::WindowPeer& window) {
        ChooseFiles(window, PathOf("a.txt"), PathOf("a.rc"));
        Press(window, "选择框1");
        for (const char* value : {"0", "", "01"}) {
            SetSetting("Start", "Num1", value);
            Press(window, "按钮3");
        }
        // Even with nothing declared the guard comes first.
        SetSetting("Start", "Num1", "0");
        ChooseFiles(window, std::nullopt, std::nullopt);
        EXPECT_TRUE(window.IsOpen());
    });
    EXPECT_TRUE(MessageTexts().empty());
    EXPECT_TRUE(written.empty());
    EXPECT_EQ(ReadFile("a.txt"), "abc");
    EXPECT_FALSE(Exists("a.rc"));
}

TEST_F(FileCipherTest, FailedWriteIsReportedKeepsTheOldTargetAndTheSource) {
    WriteFile("a.txt", "new source");
    WriteFile("a.rc", "old target");
    failWrites = true;
    RunCipher(kEncryptMenu, PathOf("a.txt"), PathOf("a.rc"), true);
    EXPECT_EQ(MessageTexts(), std::vector<Text>{"加密失败：目标文件未能写入!\r\n" + PathOf("a.rc") +
                                                "\r\n源文件未删除!"});
    EXPECT_EQ(ReadFile("a.txt"), "new source");
    EXPECT_EQ(ReadFile("a.rc"), "old target");

    automation().ClearMessages();
    RunCipher(kDecryptMenu, PathOf("a.rc"), PathOf("b.txt"));
    EXPECT_EQ(MessageTexts(),
              std::vector<Text>{"解密失败：目标文件未能写入!\r\n" + PathOf("b.txt")});
    EXPECT_FALSE(Exists("b.txt"));
    EXPECT_EQ(ReadFile("a.rc"), "old target");
}

TEST_F(FileCipherTest, UnreadableSourceIsReportedAndNothingIsOverwrittenOrDeleted) {
    WriteFile("target.rc", "keep me");
    MakeFolder("folder");
    for (const Text& source : {PathOf("gone.txt"), PathOf("folder")}) {
        automation().ClearMessages();
        RunCipher(kEncryptMenu, source, PathOf("target.rc"), true);
        EXPECT_EQ(MessageTexts(),
                  std::vector<Text>{"加密失败：源文件无法读取,目标文件未写入!\r\n" + source});
    }
    automation().ClearMessages();
    RunCipher(kDecryptMenu, PathOf("gone.rc"), PathOf("target.rc"));
    EXPECT_EQ(MessageTexts(), std::vector<Text>{"解密失败：源文件无法读取,目标文件未写入!\r\n" +
                                                PathOf("gone.rc")});
    EXPECT_TRUE(written.empty());
    EXPECT_EQ(ReadFile("target.rc"), "keep me");
    EXPECT_TRUE(Exists("folder"));
}

TEST_F(FileCipherTest, SourceAsItsOwnTargetIsReplacedSafelyAndNeverDeleted) {
    const std::string original = EveryByteValue();
    WriteFile("self.bin", original);
    // The same file named twice, once with other letter case.
    RunCipher(kEncryptMenu, PathOf("self.bin"), PathOf("SELF.BIN"), true);
    EXPECT_EQ(ReadFile("self.bin"), crypto::EncryptData(original, Key()));
    EXPECT_EQ(LastMessage(), "加密成功!" + PathOf("SELF.BIN") + "\r\n源文件即目标文件,未删除!");

    RunCipher(kDecryptMenu, PathOf("self.bin"), PathOf("self.bin"), true);
    EXPECT_EQ(ReadFile("self.bin"), original);
    EXPECT_EQ(LastMessage(), "解密成功!" + PathOf("self.bin") + "\r\n源文件即目标文件,未删除!");

    // Even an empty file stays.
    WriteFile("empty", "");
    RunCipher(kEncryptMenu, PathOf("empty"), PathOf("empty"), true);
    EXPECT_TRUE(Exists("empty"));
}

TEST_F(FileCipherTest, AnySpellingOfTheSourceAsTargetKeepsTheResult) {
    // Several reads and writes of the stream, and an empty file.
    std::string large(2 * 1024 * 1024 + 12345, '\0');
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7 + i / 1000);
    for (const std::string& content : {large, std::string()}) {
        for (const Text& spelling :
             {PathOf("SELF"), PathOf("sub\\..\\self"), PathOf("self."), PathOf("self "),
              PathOf(".\\self"), Text(folder_.path + "/self")}) {
            SCOPED_TRACE(testing::PrintToString(spelling));
            WriteFile("self", content);
            RunCipher(kEncryptMenu, PathOf("self"), spelling, true);
            EXPECT_EQ(ReadFile("self"), crypto::EncryptData(content, Key()));
            EXPECT_EQ(LastMessage(), "加密成功!" + spelling + "\r\n源文件即目标文件,未删除!");
        }
    }
}

TEST_F(FileCipherTest, WrongPasswordGivesOtherBytesOfTheSameLength) {
    const std::string original = EveryByteValue();
    WriteFile("a.bin", original);
    RunCipher(kEncryptMenu, PathOf("a.bin"), PathOf("a.rc"));
    app().state.SessionKey = "other";
    RunCipher(kDecryptMenu, PathOf("a.rc"), PathOf("b.bin"));
    EXPECT_EQ(LastMessage(), "解密成功!" + PathOf("b.bin"));
    const std::optional<std::string> wrong = ReadFile("b.bin");
    ASSERT_TRUE(wrong);
    EXPECT_EQ(wrong->size(), original.size());
    EXPECT_NE(*wrong, original);
}

}  // namespace
}  // namespace testing_support
