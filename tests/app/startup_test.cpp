#include <gtest/gtest.h>

#include "about/help_text.h"
#include "support/program_fixture.h"

namespace testing_support {
namespace {

class StartUpTest : public ProgramTest {};

const char* const kPageItemsDisabledAtStart[] = {
    "新建文档文件", "保存当前文档", "删除当前文档",   "返回文档列表", "返回文档目录",
    "返回目录",     "返回列表",     "另存为无密文件", "查找替换",     "新建文档",
};

TEST_F(StartUpTest, FirstStartCreatesDataFolderSettingsAndHelpDocument) {
    ASSERT_FALSE(Exists("Start.ini"));
    ASSERT_FALSE(Exists("Default"));
    StartProgram(false);

    EXPECT_TRUE(Exists("Default"));
    EXPECT_EQ(ReadFile("Default\\DefaultLog\\帮助文档.txt"), about::WelcomeHelpText());
    EXPECT_EQ(Setting("Start", "Num"), "1");
    EXPECT_EQ(Setting("Start", "Num1"), "0");

    // No password: the protected commands are off, and so is clearing one.
    for (const char* item :
         {"有密打包备份", "复原有密备份", "为其他文件加密", "为其他文件解密", "清除密码"}) {
        EXPECT_FALSE(MenuEnabled(item)) << item;
    }
    EXPECT_TRUE(MenuEnabled("设置密码"));
    EXPECT_TRUE(app().state.LayoutReady);
    EXPECT_FALSE(app().state.PlainModeChosen);
}

TEST_F(StartUpTest, ShowsDirectoryPageStateAndFillsItOnFirstTick) {
    StartProgram(false);
    ui::MainWindow& w = main();
    EXPECT_EQ(app().state.CurrentPage, app::Page::Directory);
    EXPECT_TRUE(w.标签1.IsVisible());
    EXPECT_TRUE(w.超级列表框1.IsVisible());
    const ui::ControlHandle* hiddenControls[] = {&w.超级编辑框1, &w.编辑框2, &w.标签2, &w.列表框1,
                                                 &w.进度条1,     &w.按钮1,   &w.按钮2, &w.按钮3};
    for (const ui::ControlHandle* hidden : hiddenControls) {
        EXPECT_FALSE(hidden->IsVisible());
    }
    for (const ui::Button* button : {&w.按钮1, &w.按钮2, &w.按钮3}) {
        EXPECT_FALSE(button->IsEnabled());
    }
    EXPECT_TRUE(MenuEnabled("新建文档目录"));
    for (const char* item : kPageItemsDisabledAtStart) EXPECT_FALSE(MenuEnabled(item)) << item;

    // Nothing is listed until the directory timer ticks, once.
    EXPECT_EQ(w.超级列表框1.Count(), 0);
    EXPECT_TRUE(automation().IsTimerArmed(w.时钟3.Peer()));
    EXPECT_TRUE(automation().IsTimerArmed(w.时钟2.Peer()));
    EXPECT_EQ(Tick(), 2);
    EXPECT_EQ(Items(w.超级列表框1), std::vector<Text>{"DefaultLog"});
    EXPECT_EQ(w.超级列表框1.ItemImage(0), 2);
    EXPECT_EQ(w.超级列表框1.ImageCount(), 16);
    EXPECT_EQ(w.标签1.GetText(), "共 1 个文档目录_无密模式!");
    EXPECT_EQ(Tick(), 0);
    EXPECT_EQ(app().state.DirectoryCount, 0);
}

TEST_F(StartUpTest, WindowIsSizedFromSettingsCentredAndLayered) {
    StartProgram();
    ui::WindowPeer& window = main().Peer();
    const ui::Rect outer = window.GetOuterRect();
    EXPECT_EQ(outer.width, 900);
    EXPECT_EQ(outer.height, 600);
    const ui::Size screen = app().desktop().ScreenSize();
    EXPECT_EQ(outer.left, (screen.width - 900) / 2);
    EXPECT_EQ(outer.top, (screen.height - 600) / 2);
    EXPECT_EQ(main().标签3.Width(), 900);
    EXPECT_TRUE(window.GetExStyle() & ui::kExStyleLayered);
    const auto layered = automation().LayeredAttributes(window);
    ASSERT_TRUE(layered.has_value());
    EXPECT_EQ(layered->key, ui::Rgb(252, 2, 251));
    EXPECT_EQ(layered->alpha, 255);
    EXPECT_EQ(layered->flags, ui::kLayeredColourKeyAndAlpha);
    // The first run chose the dark scheme.
    EXPECT_TRUE(main().menu["默认配色方案3"].IsChecked());
    EXPECT_FALSE(main().menu["默认配色方案1"].IsChecked());
    EXPECT_FALSE(main().menu["默认配色方案2"].IsChecked());
    EXPECT_FALSE(main().menu["自定义配色方案"].IsChecked());
}

TEST_F(StartUpTest, LaysOutControlsFromTheRealClientSize) {
    StartProgram();
    ui::MainWindow& w = main();
    const ui::Size client = w.Peer().GetClientSize();
    const int W = client.width, H = client.height;
    EXPECT_EQ(w.标签1.Width(), W);
    EXPECT_EQ(w.列表框1.GetRect(), (ui::Rect{0, 48, W, H - 48}));
    EXPECT_EQ(w.超级编辑框1.GetRect(), (ui::Rect{3, 48, W - 3, H - 48}));
    EXPECT_EQ(w.超级列表框1.GetRect(), (ui::Rect{0, 48, W, H - 48}));
    EXPECT_EQ(w.编辑框2.GetRect(), (ui::Rect{0, 0, W, 48}));
    EXPECT_EQ(w.进度条1.GetRect(), (ui::Rect{1, H - 22, W - 2, 21}));
    EXPECT_EQ(w.按钮1.GetRect(), (ui::Rect{W - 66 - 3, 52, 66, 40}));
    EXPECT_EQ(w.按钮2.GetRect(), (ui::Rect{W - 66 - 66 - 7, 52, 66, 40}));
    EXPECT_EQ(w.按钮3.GetRect(), (ui::Rect{W - 66 * 3 - 11, 52, 66, 40}));
}

TEST_F(StartUpTest, SizeChangesAreIgnoredUntilStartUpHasFinishedThenLaidOutAndSaved) {
    // A size the start-up applies as stored, written in a form the program
    // itself never writes: a size handler running too early would rewrite it.
    SetSetting("Start", "Num", "1");
    SetSetting("WH", "Whith", "0700");
    SetSetting("WH", "Height", "0500");
    SetSetting("Alpha", "Num", "255");
    StartProgram();
    EXPECT_EQ(Setting("WH", "Whith"), "0700");
    EXPECT_EQ(Setting("WH", "Height"), "0500");
    EXPECT_EQ(main().Peer().GetOuterRect().width, 700);

    automation().ResizeByUser(main().Peer(), 1000, 700);
    EXPECT_EQ(Setting("WH", "Whith"), "1000");
    EXPECT_EQ(Setting("WH", "Height"), "700");
    ui::MainWindow& w = main();
    const ui::Size client = w.Peer().GetClientSize();
    const int W = client.width, H = client.height;
    EXPECT_EQ(w.标签1.Width(), W);
    EXPECT_EQ(w.列表框1.GetRect(), (ui::Rect{0, 48, W, H - 48}));
    EXPECT_EQ(w.按钮1.GetRect(), (ui::Rect{W - 66 - 30, H - 40 - 6, 66, 40}));
    EXPECT_EQ(w.按钮2.GetRect(), (ui::Rect{W - 66 - 66 - 32, H - 40 - 6, 66, 40}));
    EXPECT_EQ(w.按钮3.GetRect(), (ui::Rect{W - 66 * 3 - 34, H - 40 - 6, 66, 40}));
}

struct StoredSize {
    const char* width;
    const char* height;
    int expectedWidth, expectedHeight;
    bool rewritten;
};

void PrintTo(const StoredSize& size, std::ostream* os) {
    *os << '"' << size.width << "\" x \"" << size.height << '"';
}

class StoredSizeTest : public ProgramTest, public ::testing::WithParamInterface<StoredSize> {};

TEST_P(StoredSizeTest, AppliesOrResetsTheStoredSize) {
    const StoredSize& size = GetParam();
    StartProgram();  // first run writes the defaults
    SetSetting("WH", "Whith", size.width);
    SetSetting("WH", "Height", size.height);
    app_.reset();
    app_ = std::make_unique<app::App>(*platform_);
    StartProgram();
    const ui::Rect outer = main().Peer().GetOuterRect();
    EXPECT_EQ(outer.width, size.expectedWidth);
    EXPECT_EQ(outer.height, size.expectedHeight);
    EXPECT_EQ(Setting("WH", "Whith"), size.rewritten ? Text("900") : Text(size.width));
    EXPECT_EQ(Setting("WH", "Height"), size.rewritten ? Text("600") : Text(size.height));
}

INSTANTIATE_TEST_SUITE_P(Sizes, StoredSizeTest,
                         ::testing::Values(StoredSize{"800", "400", 900, 600, true},
                                           StoredSize{"640", "480", 640, 480, false},
                                           StoredSize{"500", "700", 900, 600, true},
                                           StoredSize{"", "x", 900, 600, true}),
                         [](const ::testing::TestParamInfo<StoredSize>& info) {
                             return "Stored" + std::to_string(info.index) + "W" +
                                    std::to_string(text::ToInteger(info.param.width)) + "H" +
                                    std::to_string(text::ToInteger(info.param.height));
                         });

TEST_F(StartUpTest, ExistingSettingsAreNotReinitialisedNorHelpRewritten) {
    SetSetting("Start", "Num", "1");
    SetSetting("Color", "Num", "1");
    SetSetting("Alpha", "Num", "200");
    StartProgram();
    EXPECT_FALSE(Exists("Default\\DefaultLog"));
    EXPECT_EQ(Setting("Text", "T1"), "");
    EXPECT_TRUE(main().menu["默认配色方案1"].IsChecked());
    EXPECT_FALSE(main().menu["默认配色方案3"].IsChecked());
    EXPECT_EQ(app().state.Opacity, 200);
    EXPECT_EQ(automation().LayeredAttributes(main().Peer())->alpha, 200);
}

TEST_F(StartUpTest, PasswordFlagWithoutFirstRunStateIsReset) {
    SetSetting("Start", "Num1", "1");
    StartProgram();
    EXPECT_EQ(Setting("Start", "Num1"), "0");
    EXPECT_EQ(Setting("Start", "Num"), "1");
    EXPECT_FALSE(app().state.PlainModeChosen);
}

TEST_F(StartUpTest, PlainModeChosenAtThePasswordPromptLastsTheWholeRun) {
    SetSetting("Start", "Num", "1");
    SetSetting("Start", "Num1", "1");
    SetSetting("Alpha", "Num", "255");
    bool closed = false;
    automation().OnNextModal([&](ui::WindowPeer& window) {
        automation().Click(window.Control("按钮2"));  // "无密模式"
        closed = !window.IsOpen();
    });
    StartProgram();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(automation().ExitRequested().has_value());
    EXPECT_TRUE(app().state.PlainModeChosen);
    EXPECT_FALSE(app().state.SessionKey);
    EXPECT_FALSE(app::IsPasswordMode(app()));
    for (const char* item : {"设置密码", "清除密码", "有密打包备份", "复原有密备份",
                             "为其他文件加密", "为其他文件解密"}) {
        EXPECT_FALSE(MenuEnabled(item)) << item;
    }
    EXPECT_EQ(main().标签1.GetText(), "共 0 个文档目录_无密模式!");
}

TEST_F(StartUpTest, ShortcutsWorkOnlyForEnabledItems) {
    StartProgram();
    // "保存当前文档" is off on the directory page: Ctrl+S must not save.
    automation().PressShortcut(main().Peer(), {true, false, 'S'});
    EXPECT_TRUE(automation().Messages().empty());

    // "新建文档目录" is on: Ctrl+A opens its window.
    bool opened = false;
    automation().OnNextModal(
        [&](ui::WindowPeer& window) { opened = window.Definition().name == "NewDirectoryWindow"; });
    automation().PressShortcut(main().Peer(), {true, false, 'A'});
    EXPECT_TRUE(opened);
}

TEST_F(StartUpTest, RightClickInTheEditorPopsUpTheEditMenu) {
    StartProgram();
    automation().RightClick(main().超级编辑框1.Peer());
    EXPECT_EQ(automation().LastPopUp(), std::optional<Text>("编辑"));
}

}  // namespace
}  // namespace testing_support
