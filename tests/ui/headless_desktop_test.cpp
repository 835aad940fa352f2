// What only the headless desktop shows: window enablement around modal
// loops, recorded attributes, and the text model behind its edit boxes. The
// shared behaviour is pinned by desktop_conformance_test.cpp.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/headless/headless_desktop.h"
#include "platform/headless/headless_internal.h"
#include "platform/headless/text_buffer.h"
#include "support/test_desktop.h"

namespace testing_support {
namespace {

using platform::headless::TextBuffer;
using ui::ControlKind;

ui::WindowDef SmallWindow(const Text& name) {
    ui::WindowDef def;
    def.name = name;
    def.caption = name;
    def.width = 300;
    def.height = 200;
    def.controls.push_back(MakeControlDef("按钮1", ControlKind::Button, "确定", 10, 10, 80, 30));
    ui::ControlDef edit = MakeControlDef("编辑框1", ControlKind::Edit, "", 10, 50, 200, 60);
    edit.multiline = true;
    def.controls.push_back(edit);
    ui::ControlDef password = MakeControlDef("编辑框2", ControlKind::Edit, "", 10, 120, 200, 24);
    password.password = true;
    password.textColour = ui::Rgb(1, 2, 3);
    def.controls.push_back(password);
    def.controls.push_back(
        MakeControlDef("超级列表框1", ControlKind::IconList, "", 0, 0, 100, 100));
    def.controls.push_back(MakeControlDef("时钟1", ControlKind::Timer, "", 0, 0, 0, 0));
    def.controls.push_back(MakeControlDef("时钟2", ControlKind::Timer, "", 0, 0, 0, 0));
    return def;
}

class HeadlessDesktopTest : public ::testing::Test {
  protected:
    std::unique_ptr<ui::WindowPeer> Make(const Text& name, ui::WindowPeer* owner = nullptr) {
        return desktop.CreateWindowFromDef(SmallWindow(name), owner);
    }
    platform::HeadlessDesktop desktop;
};

TEST_F(HeadlessDesktopTest, ModalLoopDisablesEveryOtherWindow) {
    auto mainWindow = Make("Main");
    auto side = Make("Side");
    auto dialog = Make("Dialog", mainWindow.get());
    mainWindow->Show();
    std::vector<bool> during;
    desktop.OnNextModal([&](ui::WindowPeer& shown) {
        during = {desktop.IsWindowEnabled(*mainWindow), desktop.IsWindowEnabled(*side),
                  desktop.IsWindowEnabled(shown)};
        EXPECT_EQ(desktop.ModalDepth(), 1);
    });
    desktop.RunModal(*dialog, mainWindow.get());
    // A modeless window would reach MainWindow too: it is disabled as well.
    EXPECT_EQ(during, (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(desktop.IsWindowEnabled(*mainWindow));
    EXPECT_EQ(desktop.ModalDepth(), 0);

    // Without an owner the same; nested loops give back only what they took.
    auto first = Make("First");
    auto second = Make("Second", first.get());
    desktop.OnNextModal([&](ui::WindowPeer&) {
        during = {desktop.IsWindowEnabled(*mainWindow), desktop.IsWindowEnabled(*side)};
        desktop.OnNextModal([&](ui::WindowPeer&) {
            EXPECT_FALSE(desktop.IsWindowEnabled(*first));
            EXPECT_EQ(desktop.ModalDepth(), 2);
        });
        desktop.RunModal(*second, first.get());
        EXPECT_TRUE(desktop.IsWindowEnabled(*first));
        EXPECT_FALSE(desktop.IsWindowEnabled(*mainWindow)) << "still under the outer loop";
    });
    desktop.RunModal(*first, nullptr);
    EXPECT_EQ(during, (std::vector<bool>{false, false}));
    EXPECT_TRUE(desktop.IsWindowEnabled(*mainWindow));
    EXPECT_TRUE(desktop.IsWindowEnabled(*side));
    EXPECT_EQ(desktop.OpenWindowCount(), 2) << "the modal windows are closed";
}

TEST_F(HeadlessDesktopTest, AfterAnExitRequestNoModalLoopStarts) {
    auto mainWindow = Make("Main");
    auto dialog = Make("Dialog", mainWindow.get());
    bool ran = false;
    desktop.OnNextModal([&](ui::WindowPeer&) { ran = true; });
    desktop.ExitProcess(0);
    desktop.RunModal(*dialog, mainWindow.get());
    EXPECT_FALSE(ran);
    EXPECT_FALSE(dialog->IsShown());
    EXPECT_TRUE(desktop.IsWindowEnabled(*mainWindow));
}

TEST_F(HeadlessDesktopTest, MessageLoopRunsItsScriptAndReturnsTheQuitCode) {
    desktop.OnMessageLoop([&] { desktop.Quit(7); });
    EXPECT_EQ(desktop.RunMessageLoop(), 7);
    EXPECT_FALSE(desktop.QuitRequested().has_value()) << "the quit message is taken once";
    desktop.ExitProcess(2);
    EXPECT_EQ(desktop.RunMessageLoop(), 2);
    EXPECT_EQ(desktop.ScreenSize(), (ui::Size{1600, 1000}));
    platform::HeadlessDesktop small(ui::Size{800, 600});
    EXPECT_EQ(small.ScreenSize(), (ui::Size{800, 600}));
}

TEST_F(HeadlessDesktopTest, RecordsLayeredAttributesColoursAndMenuTexts) {
    auto window = Make("Main");
    window->SetLayeredAttributes(0, 200, ui::kLayeredColourKeyAndAlpha);
    EXPECT_FALSE(desktop.LayeredAlpha(*window).has_value()) << "not layered yet";
    window->SetExStyle(window->GetExStyle() | ui::kExStyleLayered);
    window->SetLayeredAttributes(ui::Rgb(1, 1, 1), 180, ui::kLayeredColourKeyAndAlpha);
    EXPECT_EQ(desktop.LayeredAlpha(*window), std::optional<int>(180));
    EXPECT_EQ(desktop.LayeredKey(*window), std::optional<ui::Colour>(ui::Rgb(1, 1, 1)));
    EXPECT_EQ(desktop.LayeredFlags(*window), std::optional<std::uint32_t>(3));

    EXPECT_FALSE(desktop.WindowBackground(*window).has_value());
    window->SetBackColour(ui::Rgb(9, 8, 7));
    EXPECT_EQ(desktop.WindowBackground(*window), std::optional<ui::Colour>(ui::Rgb(9, 8, 7)));

    ui::ControlPeer& box = window->Control("编辑框2");
    EXPECT_EQ(desktop.TextColour(box), std::optional<ui::Colour>(ui::Rgb(1, 2, 3)));
    EXPECT_FALSE(desktop.BackColour(box).has_value());
    box.SetBackColour(ui::Rgb(4, 5, 6));
    EXPECT_EQ(desktop.BackColour(box), std::optional<ui::Colour>(ui::Rgb(4, 5, 6)));

    ui::WindowDef def = SmallWindow("Menu");
    def.menu = {{0, "文档", "", false, false},
                {1, "保存当前文档", "Ctrl+S", false, false},
                {1, "另存为无密文件", "", false, false}};
    auto withMenu = desktop.CreateWindowFromDef(def, nullptr);
    EXPECT_EQ(desktop.MenuItemText(*withMenu, "保存当前文档"), "保存当前文档\tCtrl+S");
    EXPECT_EQ(desktop.MenuItemText(*withMenu, "另存为无密文件"), "另存为无密文件");
    EXPECT_EQ(desktop.FindOpenWindow("Menu"), withMenu.get());
    withMenu->Close();
    EXPECT_EQ(desktop.FindOpenWindow("Menu"), nullptr);
}

TEST_F(HeadlessDesktopTest, PasswordBoxKeepsItsTextOffTheClipboard) {
    auto window = Make("Main");
    ui::ControlPeer& box = window->Control("编辑框2");
    desktop.Type(box, "secret");
    box.SetSelectionRange(0, -1);
    box.Copy();
    box.Cut();
    EXPECT_FALSE(desktop.ClipboardText().has_value());
    EXPECT_EQ(box.GetText(), "secret");

    ui::ControlPeer& edit = window->Control("编辑框1");
    edit.SetText("第一行\r\n第二行");
    edit.SetSelectionRange(0, 5);
    edit.Copy();
    EXPECT_EQ(desktop.ClipboardText(), std::optional<Text>("第一行\r\n"));
}

TEST_F(HeadlessDesktopTest, EditBoxTypesAtItsCaretLikeTheRealOne) {
    auto window = Make("Main");
    ui::ControlPeer& edit = window->Control("编辑框1");
    edit.SetText("abc");
    desktop.Type(edit, "x");
    EXPECT_EQ(edit.GetText(), "xabc") << "new text leaves the caret at the start";
    edit.SetSelectionRange(4, 0);
    desktop.Type(edit, "\r\n中");
    EXPECT_EQ(edit.GetText(), "xabc\r\n中") << "Enter gives CR LF in a multi-line box";
    edit.SetSelectionRange(7, 0);
    desktop.Type(edit, "\b\b");
    EXPECT_EQ(edit.GetText(), "xabc") << "backspace takes a character, then the line break";
    edit.Undo();
    EXPECT_EQ(edit.GetText(), "xabc\r\n中");
    edit.Undo();
    EXPECT_EQ(edit.GetText(), "xabc") << "an edit box's undo undoes itself";
}

TEST_F(HeadlessDesktopTest, IconListAnnouncesOnlyAChangeOfSelection) {
    auto window = Make("Main");
    ui::ControlPeer& icons = window->Control("超级列表框1");
    icons.AddItem("a", 0);
    icons.AddItem("b", 0);
    int chosen = 0;
    icons.SetHandler(ui::Event::Select, [&](int) { ++chosen; });
    desktop.Select(icons, 1);
    desktop.Select(icons, 1);
    EXPECT_EQ(chosen, 1);
    desktop.Select(icons, 0);
    EXPECT_EQ(chosen, 2);
}

TEST_F(HeadlessDesktopTest, TimerStoppedByAnotherTickDoesNotTickThatRound) {
    auto window = Make("Main");
    ui::ControlPeer& first = window->Control("时钟1");
    ui::ControlPeer& second = window->Control("时钟2");
    int secondTicks = 0;
    first.SetHandler(ui::Event::Tick, [&](int) { second.SetPeriod(0); });
    second.SetHandler(ui::Event::Tick, [&](int) { ++secondTicks; });
    first.SetPeriod(100);
    second.SetPeriod(100);
    EXPECT_EQ(desktop.FirePendingTimers(), 1);
    EXPECT_EQ(secondTicks, 0);
}

TEST_F(HeadlessDesktopTest, HandlersMayDestroyTheirOwnWindow) {
    auto window = Make("Main");
    window->Control("按钮1").SetHandler(ui::Event::Click, [&](int) { window.reset(); });
    desktop.Click(window->Control("按钮1"));
    EXPECT_FALSE(window);

    window = Make("Main");
    window->SetCloseHandler([&] {
        window.reset();
        return true;
    });
    desktop.CloseByUser(*window);
    EXPECT_FALSE(window);
    EXPECT_EQ(desktop.OpenWindowCount(), 0);

    window = Make("Main");
    window->Control("时钟1").SetHandler(ui::Event::Tick, [&](int) { window.reset(); });
    window->Control("时钟1").SetPeriod(100);
    window->Control("时钟2").SetPeriod(100);
    EXPECT_EQ(desktop.FirePendingTimers(), 1) << "the second timer went with its window";
}

TEST_F(HeadlessDesktopTest, PeersOutliveTheDesktop) {
    std::unique_ptr<ui::WindowPeer> window;
    {
        platform::HeadlessDesktop shortLived;
        window = shortLived.CreateWindowFromDef(SmallWindow("Main"), nullptr);
    }
    window->Control("按钮1").SetText("仍可用");
    EXPECT_EQ(window->Control("按钮1").GetText(), "仍可用");
}

TEST_F(HeadlessDesktopTest, UnknownNamesStopWithAClearMessage) {
    auto window = Make("Main");
    EXPECT_DEATH(window->Control("按钮9"), "no such control");
    EXPECT_DEATH(window->Menu().IsEnabled("没有"), "no such menu item");
}

// The text model --------------------------------------------------------------

TEST(TextBufferTest, FoldsLettersOfEveryScriptGbkHolds) {
    using platform::headless::CompareFolded;
    using platform::headless::FoldCase;
    EXPECT_EQ(FoldCase(u'A'), u'a');
    EXPECT_EQ(FoldCase(u'['), u'[');
    EXPECT_EQ(FoldCase(u'Ω'), u'ω');
    EXPECT_EQ(FoldCase(u'Я'), u'я');
    EXPECT_EQ(FoldCase(u'Ё'), u'ё');
    EXPECT_EQ(FoldCase(u'Ａ'), u'ａ');
    EXPECT_EQ(FoldCase(u'×'), u'×');
    EXPECT_EQ(FoldCase(u'中'), u'中');
    EXPECT_EQ(CompareFolded(u"ABC", u"abc"), 0);
    EXPECT_LT(CompareFolded(u"ab", u"ABC"), 0);
    EXPECT_LT(CompareFolded(u"_x", u"apple"), 0) << "punctuation before letters";
    EXPECT_GT(CompareFolded(u"b", u"Apple"), 0);
}

TEST(TextBufferTest, RichTextKeepsOneParagraphMarkPerLineBreak) {
    TextBuffer rich(TextBuffer::Kind::Rich);
    rich.SetText(u"a\r\nb\nc\rd");
    EXPECT_EQ(rich.Stored(), u"a\rb\rc\rd");
    EXPECT_EQ(rich.Text(), u"a\r\nb\r\nc\r\nd");
    EXPECT_EQ(rich.Length(), 7);
    EXPECT_EQ(rich.Find(rich.ToStored(u"b\r\nc"), 0, true), 2);

    TextBuffer edit(TextBuffer::Kind::Edit);
    edit.SetText(u"a\r\nb");
    EXPECT_EQ(edit.Length(), 4) << "an edit box counts CR and LF";
}

TEST(TextBufferTest, SelectionFollowsTheControlMessages) {
    TextBuffer rich(TextBuffer::Kind::Rich);
    rich.SetText(u"0123456789");
    rich.Select(0, -1);
    EXPECT_EQ(rich.SelectionLength(), 10);
    rich.Select(8, 50);
    EXPECT_EQ(rich.SelectionStart(), 8);
    EXPECT_EQ(rich.SelectionEnd(), 10);
    rich.Select(20, 0);
    EXPECT_EQ(rich.SelectionStart(), 10);
    rich.Select(6, -4);
    EXPECT_EQ(rich.SelectionStart(), 2);
    EXPECT_EQ(rich.SelectionEnd(), 6);
    rich.Select(-1, 0);
    EXPECT_EQ(rich.SelectionLength(), 0);
    EXPECT_EQ(rich.Find(u"9", 10, true), -1);
    EXPECT_EQ(rich.Find(u"", 0, true), -1);
    EXPECT_EQ(rich.Find(u"0", -5, true), 0);
}

TEST(TextBufferTest, TypingIsOneUndoStepAndTheHistoryIsBounded) {
    TextBuffer rich(TextBuffer::Kind::Rich);
    rich.SetText(u"x");
    rich.Select(1, 0);
    rich.ReplaceSelection(u"a", true);
    rich.ReplaceSelection(u"b", true);
    rich.DeleteBackward();
    rich.ReplaceSelection(u"c", true);
    EXPECT_EQ(rich.Stored(), u"xac");
    rich.ReplaceSelection(u"!");
    rich.Undo();
    EXPECT_EQ(rich.Stored(), u"xac");
    rich.Undo();
    EXPECT_EQ(rich.Stored(), u"x");
    EXPECT_FALSE(rich.CanUndo());

    for (int i = 0; i < 150; ++i) rich.ReplaceSelection(u"z");
    int steps = 0;
    while (rich.CanUndo()) {
        rich.Undo();
        ++steps;
    }
    EXPECT_EQ(steps, static_cast<int>(TextBuffer::kRichUndoLimit));
    EXPECT_EQ(rich.Length(), 1 + 50);
}

TEST(TextBufferTest, BackspaceTakesWholeCharacters) {
    TextBuffer edit(TextBuffer::Kind::Edit);
    edit.SetText(u"a\r\n\U0001F600");
    edit.Select(5, 0);
    edit.DeleteBackward();
    EXPECT_EQ(edit.Stored(), u"a\r\n") << "a surrogate pair goes whole";
    edit.DeleteBackward();
    EXPECT_EQ(edit.Stored(), u"a");
    edit.DeleteBackward();
    edit.DeleteBackward();
    EXPECT_EQ(edit.Stored(), u"");
}

}  // namespace
}  // namespace testing_support

#endif  // _WIN32
