#include <gtest/gtest.h>

#include <functional>

#include "support/program_fixture.h"

namespace testing_support {
namespace {

class DialogModalityTest : public ProgramTest {
  protected:
    // Opens the dialog by its menu item, lets `act` provoke a message and
    // checks who owns it and what the user can reach once it has closed.
    void ExpectMessageOwnedByDialog(const Text& menu, const Text& windowName,
                                    const std::function<void(ui::WindowPeer&)>& act,
                                    const Text& message) {
        SCOPED_TRACE(windowName);
        bool ran = false;
        automation().ClearMessages();
        automation().OnNextModal([&](ui::WindowPeer& window) {
            ran = true;
            EXPECT_EQ(window.Definition().name, windowName);
            EXPECT_FALSE(automation().IsWindowEnabled(main().Peer()));
            act(window);
            ASSERT_FALSE(automation().Messages().empty());
            const ui::MessageRecord& shown = automation().Messages().back();
            EXPECT_EQ(shown.message, message);
            EXPECT_EQ(shown.owner, windowName);
            EXPECT_TRUE(window.IsOpen());
            EXPECT_TRUE(automation().IsWindowEnabled(window));
            EXPECT_FALSE(automation().IsWindowEnabled(main().Peer()));
        });
        Choose(menu);
        EXPECT_TRUE(ran);
        EXPECT_TRUE(automation().IsWindowEnabled(main().Peer()));
    }
    std::function<void(ui::WindowPeer&)> Press(const char* button) {
        return
            [this, button](ui::WindowPeer& window) { automation().Click(window.Control(button)); };
    }
};

TEST_F(DialogModalityTest, MessagesFromADialogBelongToItAndLeaveMainWindowDisabled) {
    StartProgram();
    ExpectMessageOwnedByDialog("新建文档目录", "NewDirectoryWindow", Press("按钮1"),
                               "目录需要命名！");
    ExpectMessageOwnedByDialog("自定义文档目录图标", "IconPickerWindow", Press("按钮1"),
                               "选中图标后继续!");
    ExpectMessageOwnedByDialog("设置密码", "SetPasswordWindow", Press("按钮1"),
                               "密码为空或两次密码输入不一致!");
    automation().OnNextModal([this](ui::WindowPeer& window) {
        automation().Type(window.Control("编辑框1"), "口令");
        automation().Type(window.Control("编辑框2"), "口令");
        automation().Click(window.Control("按钮1"));
    });
    Choose("设置密码");
    EXPECT_EQ(LastMessage(), "密码设置成功!");
    EXPECT_EQ(automation().Messages().back().owner, "SetPasswordWindow");
    ExpectMessageOwnedByDialog("为其他文件加密", "FileCipherWindow", Press("按钮3"),
                               "未声明文件路径或储存路径!");
    ExpectMessageOwnedByDialog("清除密码", "ClearPasswordWindow", Press("按钮1"), "密码输入错误!");

    // Outside a dialog MainWindow owns its messages.
    automation().ClearMessages();
    Choose("帮助");
    ASSERT_FALSE(automation().Messages().empty());
    EXPECT_EQ(automation().Messages().back().owner, "MainWindow");
    EXPECT_TRUE(automation().IsWindowEnabled(main().Peer()));
}

}  // namespace
}  // namespace testing_support
