#include <gtest/gtest.h>

#include <functional>

#include "crypto/rc4.h"
#include "support/program_fixture.h"

namespace testing_support {
namespace {

const char* const kProtectedItems[] = {"有密打包备份", "复原有密备份", "为其他文件加密",
                                       "为其他文件解密"};

class UnlockTest : public ProgramTest {
  protected:
    // A program folder past its first run with the password "Open5esame".
    void SetUp() override {
        SetSetting("Start", "Num", "1");
        SetSetting("Start", "Num1", "1");
        SetSetting("Alpha", "Num", "255");
        MakeFolder("Default");
        WriteFile("Custom.db", crypto::EncryptData(kPassword, kPassword));
    }
    // Starts the program with `script` answering UnlockWindow.
    void StartAnswering(std::function<void(ui::WindowPeer&)> script) {
        automation().OnNextModal([this, script](ui::WindowPeer& window) {
            prompt = window.Definition().name;
            focusedOnShow = window.Control("编辑框1").HasFocus();
            mainShownDuringPrompt = main().Peer().IsShown();
            script(window);
        });
        StartProgram();
    }
    void TypeAndConfirm(ui::WindowPeer& window, const Text& typed) {
        automation().Type(window.Control("编辑框1"), typed);
        automation().Click(window.Control("按钮1"));
    }

    // An exit request, and whatever start-up still runs after it (a test
    // desktop records the request instead of ending) uses no key.
    void ExpectExitWithoutKey(bool closed, const std::optional<std::string>& custom) {
        EXPECT_TRUE(closed);
        EXPECT_EQ(automation().ExitRequested(), std::optional<int>(0));
        EXPECT_FALSE(app().state.SessionKey);
        EXPECT_FALSE(app::IsPasswordMode(app()));
        for (const char* item : kProtectedItems) EXPECT_FALSE(MenuEnabled(item)) << item;
        EXPECT_EQ(ReadFile("Custom.db"), custom);
    }

    static constexpr const char* kPassword = "Open5esame";
    Text prompt;
    bool focusedOnShow = false;
    bool mainShownDuringPrompt = false;
};

TEST_F(UnlockTest, TheCorrectPasswordUnlocksPasswordMode) {
    bool closed = false;
    StartAnswering([&](ui::WindowPeer& window) {
        TypeAndConfirm(window, kPassword);
        closed = !window.IsOpen();
    });
    EXPECT_EQ(prompt, "UnlockWindow");
    EXPECT_TRUE(focusedOnShow);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(automation().Messages().empty());
    EXPECT_FALSE(automation().ExitRequested().has_value());
    EXPECT_FALSE(app().state.PlainModeChosen);
    EXPECT_EQ(app().state.SessionKey, text::BytesToText(crypto::EncryptData(kPassword, kPassword)));
    EXPECT_TRUE(app::IsPasswordMode(app()));
    EXPECT_FALSE(MenuEnabled("设置密码"));
    for (const char* item : kProtectedItems) EXPECT_TRUE(MenuEnabled(item)) << item;
    // "清除密码" keeps the state the window definition gives it.
    EXPECT_TRUE(MenuEnabled("清除密码"));
    EXPECT_EQ(main().标签1.GetText(), "共 0 个文档目录_有密模式!");
}

TEST_F(UnlockTest, AWrongPasswordIsRefusedAndTheWindowStaysOpen) {
    std::vector<bool> openAfter;
    Text boxAfterWrong;
    bool focusedAfterWrong = false;
    StartAnswering([&](ui::WindowPeer& window) {
        for (const char* wrong : {"open5esame", "", "Open5esam"}) {
            TypeAndConfirm(window, wrong);
            openAfter.push_back(window.IsOpen());
        }
        boxAfterWrong = window.Control("编辑框1").GetText();
        focusedAfterWrong = window.Control("编辑框1").HasFocus();
        TypeAndConfirm(window, kPassword);
        openAfter.push_back(window.IsOpen());
    });
    EXPECT_EQ(openAfter, (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(boxAfterWrong, "");
    EXPECT_TRUE(focusedAfterWrong);
    EXPECT_EQ(MessageTexts(), (std::vector<Text>{"输入错误!", "输入错误!", "输入错误!"}));
    EXPECT_TRUE(app::IsPasswordMode(app()));
    EXPECT_FALSE(app().state.SessionKey.value_or("").empty());
}

TEST_F(UnlockTest, AMissingStoreLetsNoPasswordIn) {
    ASSERT_TRUE(files().DeleteFile(PathOf("Custom.db")));
    bool openAfter = false;
    StartAnswering([&](ui::WindowPeer& window) {
        TypeAndConfirm(window, kPassword);
        openAfter = window.IsOpen();
        automation().Click(window.Control("按钮2"));
    });
    EXPECT_TRUE(openAfter);
    EXPECT_EQ(MessageTexts(), std::vector<Text>{"输入错误!"});
    EXPECT_FALSE(app::IsPasswordMode(app()));
}

TEST_F(UnlockTest, EndProgramButtonExitsWithCodeZero) {
    const std::optional<std::string> custom = ReadFile("Custom.db");
    bool closed = false;
    StartAnswering([&](ui::WindowPeer& window) {
        automation().Type(window.Control("编辑框1"), kPassword);
        automation().Click(window.Control("按钮3"));
        closed = !window.IsOpen();
    });
    ExpectExitWithoutKey(closed, custom);
}

TEST_F(UnlockTest, ClosingThePromptByTheUserExitsLikeEndProgram) {
    const std::optional<std::string> custom = ReadFile("Custom.db");
    bool closed = false;
    StartAnswering([&](ui::WindowPeer& window) {
        automation().Type(window.Control("编辑框1"), "typed");
        automation().CloseByUser(window);
        closed = !window.IsOpen();
    });
    ExpectExitWithoutKey(closed, custom);
}

}  // namespace
}  // namespace testing_support
