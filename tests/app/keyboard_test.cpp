#include <gtest/gtest.h>

#include "support/program_fixture.h"

namespace testing_support {
namespace {

class KeyboardTest : public ProgramTest {
  protected:
    void SetUp() override {
        SetSetting("Start", "Num", "1");
        SetSetting("Icon", "Num", "2");
        SetSetting("Alpha", "Num", "255");
        MakeFolder("Default");
        MakeFolder("Default\\甲");
        WriteFile("Default\\甲\\one.txt", "第一篇");
        WriteFile("Default\\甲\\two.txt", "第二篇");
        StartProgram();
    }
    void Press(int key, bool ctrl = false, bool shift = false) {
        automation().PressKey(main().Peer(), {ctrl, shift, key});
    }
    // The control with the focus, by name; empty when none of these has it.
    Text Focused() {
        ui::MainWindow& w = main();
        const std::pair<const char*, const ui::ControlHandle*> controls[] = {
            {"编辑框2", &w.编辑框2},
            {"按钮1", &w.按钮1},
            {"按钮2", &w.按钮2},
            {"按钮3", &w.按钮3},
            {"超级列表框1", &w.超级列表框1},
            {"列表框1", &w.列表框1},
            {"超级编辑框1", &w.超级编辑框1},
        };
        for (const auto& [name, control] : controls) {
            if (control->HasFocus()) return name;
        }
        return "";
    }
};

TEST_F(KeyboardTest, EveryPageTakesTheFocusAndIsUsableByKeysAlone) {
    ui::MainWindow& w = main();
    EXPECT_EQ(Focused(), "超级列表框1");
    Press(ui::kKeyHome);  // marks the first directory, opens nothing
    EXPECT_EQ(w.超级列表框1.Selected(), 0);
    EXPECT_EQ(app().state.CurrentPage, app::Page::Directory);
    Press(ui::kKeyEnter);
    EXPECT_EQ(app().state.CurrentPage, app::Page::DocumentList);
    EXPECT_EQ(app().state.CurrentDirectory, "甲");
    EXPECT_EQ(Focused(), "列表框1");

    // Tab runs through the page's controls and back.
    std::vector<Text> visited;
    for (int i = 0; i < 4; ++i) {
        Press(ui::kKeyTab);
        visited.push_back(Focused());
    }
    EXPECT_EQ(visited, (std::vector<Text>{"按钮3", "按钮2", "按钮1", "列表框1"}));
    Press(ui::kKeyTab, false, true);
    EXPECT_EQ(Focused(), "按钮1");
    Press(ui::kKeyTab);

    Press(ui::kKeyHome);
    Press(ui::kKeyDown);
    EXPECT_EQ(w.列表框1.Selected(), 1);
    EXPECT_EQ(app().state.CurrentPage, app::Page::DocumentList) << "arrows only mark a title";
    Press(ui::kKeyEnter);
    EXPECT_EQ(app().state.CurrentPage, app::Page::Editor);
    EXPECT_EQ(w.编辑框2.GetText(), "two");
    EXPECT_EQ(Focused(), "超级编辑框1");

    Choose("返回文档列表");
    EXPECT_EQ(Focused(), "列表框1");
    Choose("返回文档目录");
    EXPECT_EQ(Focused(), "超级列表框1") << "never the hidden editor";
    Tick();
    // Enter on a focused button presses it; a dialog gives the focus back.
    Press(ui::kKeyHome);
    Press(ui::kKeyEnter);
    Press(ui::kKeyTab);
    ASSERT_EQ(Focused(), "按钮3");
    Press(ui::kKeyEnter);
    EXPECT_EQ(Focused(), "编辑框2");
    EXPECT_TRUE(w.标签2.IsVisible());
    Choose("返回目录");
    Tick();
    Text opened;
    automation().OnNextModal([&](ui::WindowPeer& window) { opened = window.Definition().name; });
    Press('A', true);  // the shortcut of "新建文档目录" on the directory page
    EXPECT_EQ(opened, "NewDirectoryWindow");
    EXPECT_EQ(Focused(), "超级列表框1");
}

TEST_F(KeyboardTest, EditingKeysInTheTitleBoxActOnItAndCtrlASelectsAll) {
    ui::MainWindow& w = main();
    OpenDirectoryNamed("甲");
    OpenDocumentNamed("one");
    ASSERT_EQ(Focused(), "超级编辑框1");
    Press('A', true);
    EXPECT_EQ(w.超级编辑框1.SelectedText(), "第一篇") << "Ctrl+A selects all in the editor";
    Press('C', true);  // the editor's copy, through the menu

    w.编辑框2.Focus();
    w.编辑框2.SetText("");
    Press('V', true);
    EXPECT_EQ(w.编辑框2.GetText(), "第一篇");
    EXPECT_EQ(w.超级编辑框1.GetText(), "第一篇") << "nothing went into the editor";
    TypeInto(w.编辑框2, "续");
    Press('A', true);
    Press('X', true);
    EXPECT_EQ(w.编辑框2.GetText(), "");
    Press('Z', true);
    EXPECT_EQ(w.编辑框2.GetText(), "第一篇续");
    w.编辑框2.SetText("新标题");
    Press('A', true);
    Press('C', true);
    w.超级编辑框1.Focus();
    w.超级编辑框1.SetSelection(0, 0);
    Press('V', true);
    EXPECT_EQ(w.超级编辑框1.GetText(), "新标题第一篇") << "the title box's copy";
    EXPECT_EQ(w.编辑框2.GetText(), "新标题");
    EXPECT_TRUE(automation().Messages().empty());
}

}  // namespace
}  // namespace testing_support
