// One suite for both desktops: natively it runs against the headless
// desktop, in the Windows build against real Win32 controls. It pins what
// the program relies on, so that a behaviour test passing on one backend
// means the same on the other.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/test_desktop.h"

namespace testing_support {
namespace {

using ui::ControlKind;

Text Repeat(const Text& piece, int times) {
    Text out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

ui::MenuItemDef MenuItem(int level, const Text& caption, const Text& shortcut = "",
                         bool disabled = false, bool checked = false) {
    ui::MenuItemDef item;
    item.level = level;
    item.caption = caption;
    item.shortcut = shortcut;
    item.disabled = disabled;
    item.checked = checked;
    return item;
}

ui::WindowDef MainDef() {
    ui::WindowDef def;
    def.name = "ConformanceWindow";
    def.caption = "一致性窗口";
    def.width = 640;
    def.height = 480;
    def.border = ui::Border::Resizable;

    auto add = [&def](const Text& name, ControlKind kind, const Text& caption, int left, int top,
                      int width, int height) -> ui::ControlDef& {
        def.controls.push_back(MakeControlDef(name, kind, caption, left, top, width, height));
        return def.controls.back();
    };
    add("标签1", ControlKind::Label, "标题:", 10, 10, 100, 24).font = {"宋体", 16, 700, false};
    add("标签2", ControlKind::Label, "隐藏", 10, 40, 100, 24).visible = false;
    add("按钮1", ControlKind::Button, "确定", 120, 10, 80, 30);
    add("按钮2", ControlKind::Button, "停用", 210, 10, 80, 30).disabled = true;
    add("编辑框1", ControlKind::Edit, "", 10, 70, 200, 24).byteLimit = 28;
    add("编辑框2", ControlKind::Edit, "", 10, 100, 200, 24).password = true;
    add("编辑框3", ControlKind::Edit, "只读", 10, 130, 200, 24).disabled = true;
    ui::ControlDef& list = add("列表框1", ControlKind::ListBox, "", 220, 50, 150, 120);
    list.sorted = true;
    list.items = {"delta", "Alpha"};
    add("超级列表框1", ControlKind::IconList, "", 380, 50, 200, 120);
    add("超级编辑框1", ControlKind::RichEdit, "", 10, 180, 300, 150).multiline = true;
    add("选择框1", ControlKind::CheckBox, "区分大小写", 320, 180, 120, 24).checked = true;
    ui::ControlDef& slider = add("滑块条1", ControlKind::Slider, "", 320, 210, 200, 40);
    slider.rangeMin = 155;
    slider.rangeMax = 255;
    slider.position = 155;
    add("进度条1", ControlKind::ProgressBar, "", 10, 340, 300, 20);
    add("分组框1", ControlKind::GroupBox, "选项", 320, 260, 200, 100);
    add("按钮3", ControlKind::Button, "内部", 10, 20, 80, 30).parent = "分组框1";
    add("时钟1", ControlKind::Timer, "", 0, 0, 0, 0);
    add("时钟2", ControlKind::Timer, "", 0, 0, 0, 0);
    ui::ControlDef& dialog = add("通用对话框1", ControlKind::FileDialog, "", 0, 0, 0, 0);
    dialog.dialogTitle = "新建文档";
    dialog.dialogFilter = "文本文件(*.txt)|*.txt";
    dialog.defaultExtension = "txt";

    def.menu = {
        MenuItem(0, "文档"),
        MenuItem(1, "新建", "Ctrl+N"),
        MenuItem(1, "保存", "Ctrl+S", true),
        MenuItem(1, "-"),
        MenuItem(1, "附加功能"),
        MenuItem(2, "加密", "Ctrl+F1"),
        MenuItem(2, "解密"),
        MenuItem(1, "-"),
        MenuItem(1, "退出", "Ctrl+Shift+F4"),
        MenuItem(0, "配置"),
        MenuItem(1, "方案1", "", false, true),
        MenuItem(1, "方案2"),
    };
    return def;
}

ui::WindowDef DialogDef(const Text& name, ui::Border border = ui::Border::Fixed) {
    ui::WindowDef def;
    def.name = name;
    def.caption = "对话框";
    def.width = 320;
    def.height = 200;
    def.border = border;
    def.controls.push_back(MakeControlDef("编辑框1", ControlKind::Edit, "", 10, 10, 200, 24));
    def.controls.push_back(MakeControlDef("按钮1", ControlKind::Button, "确定", 10, 50, 80, 30));
    return def;
}

class DesktopConformanceTest : public ::testing::Test {
  protected:
    DesktopConformanceTest()
        : desktop_(MakeTestDesktop()), window_(desktop().CreateWindowFromDef(MainDef(), nullptr)) {}

    platform::Desktop& desktop() { return desktop_->Desktop(); }
    ui::Automation& automation() { return desktop_->Automation(); }
    ui::WindowPeer& window() { return *window_; }
    ui::ControlPeer& control(const Text& name) { return window_->Control(name); }
    std::unique_ptr<ui::WindowPeer> MakeDialog(const Text& name, ui::WindowPeer* owner) {
        return desktop().CreateWindowFromDef(DialogDef(name), owner);
    }

    std::vector<Text> Items(const Text& name) {
        std::vector<Text> items;
        ui::ControlPeer& list = control(name);
        for (int i = 0; i < list.ItemCount(); ++i) items.push_back(list.ItemText(i));
        return items;
    }

    std::unique_ptr<TestDesktop> desktop_;
    std::unique_ptr<ui::WindowPeer> window_;
};

// Window and control geometry ------------------------------------------------

TEST_F(DesktopConformanceTest, BuildsEveryControlAtItsDefinedPlace) {
    ASSERT_TRUE(window().IsOpen());
    EXPECT_FALSE(window().IsShown());
    EXPECT_EQ(window().GetCaption(), "一致性窗口");
    const ui::Rect outer = window().GetOuterRect();
    EXPECT_EQ(outer.width, 640);
    EXPECT_EQ(outer.height, 480);
    const ui::Size screen = desktop().ScreenSize();
    EXPECT_EQ(outer.left, (screen.width - 640) / 2) << "centred until the program places it";
    EXPECT_EQ(outer.top, (screen.height - 480) / 2);

    for (const ui::ControlDef& def : MainDef().controls) {
        ui::ControlPeer& peer = control(def.name);
        EXPECT_EQ(peer.Definition().name, def.name);
        EXPECT_EQ(peer.Definition().kind, def.kind);
        if (ui::IsVisualKind(def.kind) && def.parent.empty()) {
            EXPECT_EQ(peer.GetRect(), (ui::Rect{def.left, def.top, def.width, def.height}))
                << def.name;
        }
    }
    EXPECT_EQ(control("标签1").GetText(), "标题:");
    EXPECT_EQ(control("选择框1").GetText(), "区分大小写");
    EXPECT_EQ(control("编辑框3").GetText(), "只读");
    EXPECT_EQ(control("标签1").GetFont(), (ui::Font{"宋体", 16, 700, false}));

    // A control inside a group box keeps coordinates relative to the box.
    EXPECT_EQ(control("按钮3").GetRect(), (ui::Rect{10, 20, 80, 30}));
    control("按钮3").SetRect({15, 25, 90, 35});
    EXPECT_EQ(control("按钮3").GetRect(), (ui::Rect{15, 25, 90, 35}));
    control("按钮1").SetRect({100, 200, 60, 20});
    EXPECT_EQ(control("按钮1").GetRect(), (ui::Rect{100, 200, 60, 20}));

    const ui::Font font{"", 23, 700, false};
    control("按钮1").SetFont(font);
    EXPECT_EQ(control("按钮1").GetFont(), font);
}

TEST_F(DesktopConformanceTest, ControlFlagsAreTheirOwnWhileTheWindowIsHidden) {
    ASSERT_FALSE(window().IsShown());
    EXPECT_TRUE(control("标签1").IsVisible());
    EXPECT_FALSE(control("标签2").IsVisible());
    EXPECT_TRUE(control("按钮3").IsVisible());
    EXPECT_TRUE(control("按钮1").IsEnabled());
    EXPECT_FALSE(control("按钮2").IsEnabled());

    control("标签1").SetVisible(false);
    control("标签2").SetVisible(true);
    control("按钮1").SetEnabled(false);
    control("按钮2").SetEnabled(true);
    EXPECT_FALSE(control("标签1").IsVisible());
    EXPECT_TRUE(control("标签2").IsVisible());
    EXPECT_FALSE(control("按钮1").IsEnabled());
    EXPECT_TRUE(control("按钮2").IsEnabled());

    window().Show();
    EXPECT_TRUE(window().IsShown());
    EXPECT_FALSE(control("标签1").IsVisible());
    EXPECT_TRUE(control("标签2").IsVisible());
}

TEST_F(DesktopConformanceTest, ClientSizeFollowsTheOuterSize) {
    int resized = 0;
    window().SetSizeHandler([&] { ++resized; });
    const ui::Size client = window().GetClientSize();
    ASSERT_GT(client.width, 0);
    ASSERT_GT(client.height, 0);
    const int frameWidth = 640 - client.width;
    const int frameHeight = 480 - client.height;
    EXPECT_GT(frameWidth, 0);
    EXPECT_GT(frameHeight, frameWidth) << "the caption and menu bar take height";

    window().SetOuterSize(800, 600);
    EXPECT_EQ(resized, 1);
    EXPECT_EQ(window().GetOuterRect().width, 800);
    EXPECT_EQ(window().GetOuterRect().height, 600);
    EXPECT_EQ(window().GetClientSize(), (ui::Size{800 - frameWidth, 600 - frameHeight}));

    window().SetOuterSize(800, 600);
    EXPECT_EQ(resized, 1) << "no size change, no size event";

    ui::Size seenInHandler;
    window().SetSizeHandler([&] {
        ++resized;
        seenInHandler = window().GetClientSize();
    });
    automation().ResizeByUser(window(), 700, 500);
    EXPECT_EQ(resized, 2);
    EXPECT_EQ(seenInHandler, (ui::Size{700 - frameWidth, 500 - frameHeight}));
    EXPECT_EQ(window().GetOuterRect().width, 700);

    window().SetOuterPosition(30, 40);
    EXPECT_EQ(window().GetOuterRect(), (ui::Rect{30, 40, 700, 500}));
}

TEST_F(DesktopConformanceTest, FrameDependsOnBorderAndMenu) {
    auto frameOf = [&](ui::Border border, bool withMenu) {
        ui::WindowDef def = DialogDef("FrameWindow", border);
        if (withMenu) def.menu = {MenuItem(0, "文件"), MenuItem(1, "打开")};
        std::unique_ptr<ui::WindowPeer> peer = desktop().CreateWindowFromDef(def, nullptr);
        const ui::Size client = peer->GetClientSize();
        return ui::Size{320 - client.width, 200 - client.height};
    };
    const ui::Size plain = frameOf(ui::Border::None, false);
    const ui::Size fixed = frameOf(ui::Border::Fixed, false);
    const ui::Size withMenu = frameOf(ui::Border::Fixed, true);
    EXPECT_GE(plain.width, 0);
    EXPECT_GE(plain.height, 0);
    EXPECT_GT(fixed.height, plain.height) << "a caption takes room, a borderless window has none";
    EXPECT_GT(withMenu.height, fixed.height) << "the menu bar takes room";
    EXPECT_EQ(withMenu.width, fixed.width);
}

TEST_F(DesktopConformanceTest, CloseBoxAsksTheCloseHandler) {
    int asked = 0;
    bool allow = false;
    window().SetCloseHandler([&] {
        ++asked;
        return allow;
    });
    automation().CloseByUser(window());
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(window().IsOpen());

    allow = true;
    automation().CloseByUser(window());
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(window().IsOpen());

    // Peers of a closed window stay safe and answer defaults.
    EXPECT_EQ(control("标签1").GetText(), "");
    EXPECT_FALSE(control("标签1").IsVisible());
    EXPECT_EQ(control("列表框1").ItemCount(), 0);
    EXPECT_FALSE(window().IsShown());
    control("标签1").SetText("无效");
    EXPECT_EQ(control("标签1").GetText(), "");
}

TEST_F(DesktopConformanceTest, ProgramCloseSkipsTheHandlerAndTakesOwnedWindows) {
    int asked = 0;
    window().SetCloseHandler([&] {
        ++asked;
        return true;
    });
    std::unique_ptr<ui::WindowPeer> owned = MakeDialog("OwnedWindow", &window());
    std::unique_ptr<ui::WindowPeer> other = MakeDialog("OtherWindow", nullptr);
    window().Close();
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(window().IsOpen());
    EXPECT_FALSE(owned->IsOpen()) << "destroying a window destroys the windows it owns";
    EXPECT_TRUE(other->IsOpen());
}

TEST_F(DesktopConformanceTest, ExtendedStyleAndFocus) {
    const std::uint32_t style = window().GetExStyle();
    EXPECT_FALSE(style & ui::kExStyleLayered);
    window().SetExStyle(style | ui::kExStyleLayered);
    EXPECT_TRUE(window().GetExStyle() & ui::kExStyleLayered);
    window().SetLayeredAttributes(0, 200, ui::kLayeredColourKeyAndAlpha);
    window().SetExStyle(style);
    EXPECT_FALSE(window().GetExStyle() & ui::kExStyleLayered);

    window().Show();
    control("编辑框1").Focus();
    EXPECT_TRUE(control("编辑框1").HasFocus());
    control("超级编辑框1").Focus();
    EXPECT_TRUE(control("超级编辑框1").HasFocus());
    EXPECT_FALSE(control("编辑框1").HasFocus());
    window().Focus();
    EXPECT_TRUE(control("超级编辑框1").HasFocus()) << "activation keeps the focus inside";

    const ui::Size screen = desktop().ScreenSize();
    EXPECT_GT(screen.width, 0);
    EXPECT_GT(screen.height, 0);
}

// Lists -----------------------------------------------------------------------

TEST_F(DesktopConformanceTest, SortedListBoxKeepsItsOwnOrderIgnoringCase) {
    EXPECT_EQ(Items("列表框1"), (std::vector<Text>{"Alpha", "delta"}));
    ui::ControlPeer& list = control("列表框1");
    EXPECT_EQ(list.AddItem("charlie", -1), 1);
    EXPECT_EQ(list.AddItem("Bravo", -1), 1);
    EXPECT_EQ(list.AddItem("echo", -1), 4);
    EXPECT_EQ(Items("列表框1"), (std::vector<Text>{"Alpha", "Bravo", "charlie", "delta", "echo"}));

    // The selected item stays selected when another lands before it.
    list.SetSelection(2);
    EXPECT_EQ(list.AddItem("apple", -1), 1);
    EXPECT_EQ(list.Selection(), 3);
    EXPECT_EQ(list.ItemText(list.Selection()), "charlie");
}

// Many items at once land exactly where one by one would put them, the
// selection follows its item, and a hidden list stays hidden.
TEST_F(DesktopConformanceTest, ListsTakeManyItemsAtOnceAsOneByOne) {
    const std::vector<std::vector<Text>> batches = {
        {"charlie", "Bravo", "中文", "apple", "10", "9", "a-b", "ab", "Ab c", "echo", "乙", "甲"},
        // Equal ignoring case: where each lands depends on the list's search.
        {"ab", "x", "AB", "b", "y", "Ab", "c", "a", "aB", "z", "Alpha", "delta", "ALPHA"},
    };
    ui::ControlPeer& list = control("列表框1");
    ui::ControlPeer& icons = control("超级列表框1");
    for (const std::vector<Text>& batch : batches) {
        for (bool hidden : {false, true}) {
            std::vector<Text> expected;
            for (bool atOnce : {false, true}) {
                list.ClearItems();
                list.AddItem("Alpha", -1);
                list.AddItem("delta", -1);
                list.SetSelection(1);
                list.SetVisible(!hidden);
                if (atOnce) {
                    list.AddItems(batch, -1);
                    EXPECT_EQ(Items("列表框1"), expected);
                } else {
                    for (const Text& item : batch) list.AddItem(item, -1);
                    expected = Items("列表框1");
                }
                EXPECT_EQ(list.ItemText(list.Selection()), "delta");
                EXPECT_EQ(list.IsVisible(), !hidden);
            }
            icons.ClearItems();
            icons.AddItem("首", 0);
            icons.SetVisible(!hidden);
            icons.AddItems(batch, 2);
            std::vector<Text> appended = {"首"};
            appended.insert(appended.end(), batch.begin(), batch.end());
            EXPECT_EQ(Items("超级列表框1"), appended);
            EXPECT_EQ(icons.ItemImage(static_cast<int>(batch.size())), 2);
            EXPECT_EQ(icons.IsVisible(), !hidden);
        }
    }
}

TEST_F(DesktopConformanceTest, ListBoxNotifiesOnlyTheUsersSelection) {
    ui::ControlPeer& list = control("列表框1");
    std::vector<int> seen;
    list.SetHandler(ui::Event::Select, [&](int) { seen.push_back(list.Selection()); });

    list.SetSelection(1);
    EXPECT_EQ(list.Selection(), 1);
    EXPECT_TRUE(seen.empty()) << "a selection by the program is not announced";

    automation().Select(list, 0);
    EXPECT_EQ(seen, std::vector<int>{0}) << "the handler sees the new selection";

    list.ClearItems();
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_EQ(list.Selection(), -1);
    EXPECT_EQ(seen.size(), 1u);
}

TEST_F(DesktopConformanceTest, IconListAppendsAndItsChoiceHandlerMayEmptyIt) {
    ui::ControlPeer& icons = control("超级列表框1");
    ui::ImageStrip strip;
    strip.cellWidth = strip.cellHeight = strip.height = 16;
    strip.width = 4 * 16;
    strip.rgba.assign(static_cast<std::size_t>(strip.width * strip.height), 0xFF00FF00u);
    icons.SetImageList(strip);
    EXPECT_EQ(icons.ImageCount(), 4);

    EXPECT_EQ(icons.AddItem("乙目录", 3), 0);
    EXPECT_EQ(icons.AddItem("甲目录", 1), 1);
    EXPECT_EQ(Items("超级列表框1"), (std::vector<Text>{"乙目录", "甲目录"}));
    EXPECT_EQ(icons.ItemImage(0), 3);
    EXPECT_EQ(icons.ItemImage(1), 1);

    int chosen = 0;
    Text chosenText;
    icons.SetHandler(ui::Event::Select, [&](int) {
        ++chosen;
        chosenText = icons.ItemText(icons.Selection());
        icons.ClearItems();  // as opening a directory does
    });
    icons.SetSelection(0);
    EXPECT_EQ(chosen, 0) << "a selection by the program is not announced";
    icons.SetSelection(-1);

    automation().Select(icons, 1);
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(chosenText, "甲目录");
    EXPECT_EQ(icons.ItemCount(), 0);
    EXPECT_EQ(icons.Selection(), -1);

    // Refilled, the list can be chosen from again.
    icons.AddItem("丙目录", 0);
    automation().Select(icons, 0);
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(chosenText, "丙目录");
}

// Rich edit --------------------------------------------------------------------

TEST_F(DesktopConformanceTest, RichEditCountsCharactersAndLineBreaksAsOnePosition) {
    ui::ControlPeer& editor = control("超级编辑框1");
    editor.SetText("甲乙\r\nabc");
    EXPECT_EQ(editor.TextLength(), 6);
    EXPECT_EQ(editor.GetText(), "甲乙\r\nabc");

    editor.SetText("一\n二");
    EXPECT_EQ(editor.GetText(), "一\r\n二") << "line breaks come back as CR LF";
    EXPECT_EQ(editor.TextLength(), 3);

    editor.SetText("甲乙\r\nabc");
    int start = -1, length = -1;
    editor.GetSelection(start, length);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(length, 0);
    editor.SetSelectionRange(3, 3);
    editor.GetSelection(start, length);
    EXPECT_EQ(start, 3);
    EXPECT_EQ(length, 3);
    EXPECT_EQ(editor.SelectedText(), "abc");
    editor.SetSelectionRange(1, 2);
    EXPECT_EQ(editor.SelectedText(), "乙\r\n");
    editor.SetSelectionRange(0, -1);
    EXPECT_EQ(editor.SelectedText(), "甲乙\r\nabc");
}

TEST_F(DesktopConformanceTest, RichEditFindsForwardWithAndWithoutCase) {
    ui::ControlPeer& editor = control("超级编辑框1");
    editor.SetText("甲乙\r\nabcABC");
    EXPECT_EQ(editor.FindForward("ABC", 0, true), 6);
    EXPECT_EQ(editor.FindForward("ABC", 0, false), 3);
    EXPECT_EQ(editor.FindForward("abc", 4, false), 6);
    EXPECT_EQ(editor.FindForward("abc", 4, true), -1);
    EXPECT_EQ(editor.FindForward("乙", 0, true), 1);
    EXPECT_EQ(editor.FindForward("bc", 4, true), 4) << "an occurrence at the start counts";
    EXPECT_EQ(editor.FindForward("甲", 1, true), -1) << "the search never wraps";
    EXPECT_EQ(editor.FindForward("丁", 0, false), -1);
}

TEST_F(DesktopConformanceTest, RichEditReplacesAndUndoesStepByStep) {
    ui::ControlPeer& editor = control("超级编辑框1");
    editor.SetText("甲乙\r\nabc");
    editor.SetSelectionRange(3, 3);
    editor.ReplaceSelection("丙丁");
    EXPECT_EQ(editor.GetText(), "甲乙\r\n丙丁");
    int start = -1, length = -1;
    editor.GetSelection(start, length);
    EXPECT_EQ(start, 5) << "the caret stands after the inserted text";
    EXPECT_EQ(length, 0);

    editor.SetSelectionRange(0, 1);
    editor.ReplaceSelection("");
    EXPECT_EQ(editor.GetText(), "乙\r\n丙丁");

    editor.Undo();
    EXPECT_EQ(editor.GetText(), "甲乙\r\n丙丁");
    editor.Undo();
    EXPECT_EQ(editor.GetText(), "甲乙\r\nabc");

    // New text is a new document: nothing before it can be undone.
    editor.SetText("新文本");
    editor.Undo();
    EXPECT_EQ(editor.GetText(), "新文本");
}

// New text may get a new control underneath (Win32: clearing megabytes is
// slow); nothing the program set on the editor may change with it.
TEST_F(DesktopConformanceTest, RichEditKeepsPlaceFormatFocusAndEventsAcrossNewText) {
    window().Show();
    ui::ControlPeer& editor = control("超级编辑框1");
    const ui::Rect rect{20, 190, 280, 120};
    editor.SetRect(rect);
    ui::CharFormat format;
    format.face = "宋体";
    format.pointSize = 14;
    format.italic = true;
    format.colour = ui::Rgb(1, 2, 3);
    editor.SetDefaultFormat(format);
    int rightClicks = 0;
    editor.SetHandler(ui::Event::RightButtonDown, [&](int) { ++rightClicks; });
    for (const Text& text : {Text("第一篇\r\n正文"), Text("第二篇"), Text(), Text("末")}) {
        SCOPED_TRACE(::testing::PrintToString(text));
        editor.Focus();
        editor.SetText(text);
        EXPECT_EQ(editor.GetText(), text);
        EXPECT_EQ(editor.GetRect(), rect);
        EXPECT_TRUE(editor.IsVisible());
        EXPECT_TRUE(editor.HasFocus());
        const ui::CharFormat back = editor.GetDefaultFormat();
        EXPECT_EQ(back.face, "宋体");
        EXPECT_EQ(back.pointSize, 14);
        EXPECT_TRUE(back.italic);
        EXPECT_EQ(back.colour, std::optional<ui::Colour>(ui::Rgb(1, 2, 3)));
    }
    window().Focus();
    EXPECT_TRUE(editor.HasFocus()) << "activation finds the editor that holds the text";
    automation().RightClick(editor);
    EXPECT_EQ(rightClicks, 1);
    editor.SetVisible(false);
    editor.SetText("hidden");
    EXPECT_FALSE(editor.IsVisible());
}

TEST_F(DesktopConformanceTest, RichEditClipboardAndFormat) {
    ui::ControlPeer& editor = control("超级编辑框1");
    editor.SetText("abc 中文");
    editor.SetSelectionRange(0, 4);
    editor.Cut();
    EXPECT_EQ(editor.GetText(), "中文");
    editor.SetSelectionRange(2, 0);
    editor.Paste();
    EXPECT_EQ(editor.GetText(), "中文abc ");
    editor.SetSelectionRange(0, 2);
    editor.Copy();
    editor.SetSelectionRange(0, 0);
    editor.Paste();
    EXPECT_EQ(editor.GetText(), "中文中文abc ");
    editor.Undo();
    EXPECT_EQ(editor.GetText(), "中文abc ");

    // A user's paste through the automation puts the text on the clipboard.
    editor.SetText("");
    automation().Paste(editor, "第一行\r\n第二行");
    EXPECT_EQ(editor.GetText(), "第一行\r\n第二行");
    EXPECT_EQ(editor.TextLength(), 7);

    ui::CharFormat format;
    format.face = "宋体";
    format.pointSize = 12;
    format.bold = true;
    format.colour = ui::Rgb(10, 20, 30);
    editor.SetDefaultFormat(format);
    ui::CharFormat back = editor.GetDefaultFormat();
    EXPECT_EQ(back.face, "宋体");
    EXPECT_EQ(back.pointSize, 12);
    EXPECT_TRUE(back.bold);
    EXPECT_FALSE(back.italic);
    EXPECT_EQ(back.colour, std::optional<ui::Colour>(ui::Rgb(10, 20, 30)));
    format.colour.reset();
    format.bold = false;
    editor.SetDefaultFormat(format);
    back = editor.GetDefaultFormat();
    EXPECT_FALSE(back.colour.has_value()) << "automatic colour";
    EXPECT_FALSE(back.bold);

    int rightClicks = 0;
    editor.SetHandler(ui::Event::RightButtonDown, [&](int) { ++rightClicks; });
    automation().RightClick(editor);
    EXPECT_EQ(rightClicks, 1);
}

// Edit boxes --------------------------------------------------------------------

TEST_F(DesktopConformanceTest, ByteLimitedEditRefusesTypingBeyondTheLimit) {
    ui::ControlPeer& edit = control("编辑框1");
    automation().Type(edit, Repeat("a", 28));
    EXPECT_EQ(edit.GetText(), Repeat("a", 28));
    automation().Type(edit, "b");
    EXPECT_EQ(edit.GetText(), Repeat("a", 28)) << "the 29th byte is refused";

    edit.SetText("");
    automation().Type(edit, Repeat("中", 14));
    EXPECT_EQ(edit.GetText(), Repeat("中", 14));
    automation().Type(edit, "中");
    automation().Type(edit, "x");
    EXPECT_EQ(edit.GetText(), Repeat("中", 14)) << "limits count bytes, not characters";

    // With one byte left, a Chinese character does not fit but a letter does.
    edit.SetText(Repeat("a", 27));
    automation().Type(edit, "中");
    EXPECT_EQ(edit.GetText().size(), 27u);
    automation().Type(edit, "x");
    EXPECT_EQ(edit.GetText().size(), 28u);

    // The program itself is not limited.
    edit.SetText(Repeat("长", 20));
    EXPECT_EQ(edit.GetText(), Repeat("长", 20));
}

TEST_F(DesktopConformanceTest, ByteLimitedEditPastesWholeCharactersThatFit) {
    ui::ControlPeer& edit = control("编辑框1");
    automation().Paste(edit, Repeat("0123456789", 3));
    EXPECT_EQ(edit.GetText(), Repeat("0123456789", 3).substr(0, 28));

    edit.SetText("");
    // 31 bytes: one letter and fifteen Chinese characters.
    automation().Paste(edit, Repeat("a", 1) + Repeat("中", 15));
    EXPECT_EQ(edit.GetText(), Repeat("a", 1) + Repeat("中", 13)) << "no half character";
}

TEST_F(DesktopConformanceTest, PasswordAndDisabledEditBoxes) {
    automation().Type(control("编辑框2"), "秘密abc");
    EXPECT_EQ(control("编辑框2").GetText(), "秘密abc") << "the mask is only on screen";

    automation().Type(control("编辑框3"), "x");
    automation().Paste(control("编辑框3"), "y");
    EXPECT_EQ(control("编辑框3").GetText(), "只读");
}

// Buttons, check box, slider, progress bar -------------------------------------

TEST_F(DesktopConformanceTest, ClicksReachEnabledButtonsAndToggleCheckBoxes) {
    int clicked = 0;
    control("按钮1").SetHandler(ui::Event::Click, [&](int) { ++clicked; });
    control("按钮2").SetHandler(ui::Event::Click, [&](int) { ++clicked; });
    automation().Click(control("按钮1"));
    EXPECT_EQ(clicked, 1);
    automation().Click(control("按钮2"));
    EXPECT_EQ(clicked, 1) << "a disabled button cannot be clicked";

    ui::ControlPeer& box = control("选择框1");
    EXPECT_TRUE(box.IsChecked());
    std::vector<bool> seen;
    box.SetHandler(ui::Event::Click, [&](int) { seen.push_back(box.IsChecked()); });
    automation().Click(box);
    automation().Click(box);
    EXPECT_EQ(seen, (std::vector<bool>{false, true})) << "toggled before the handler runs";
    box.SetChecked(false);
    EXPECT_FALSE(box.IsChecked());
    EXPECT_EQ(seen.size(), 2u);
}

TEST_F(DesktopConformanceTest, SliderNotifiesUserMovesAndPositionsAreClamped) {
    ui::ControlPeer& slider = control("滑块条1");
    EXPECT_EQ(slider.GetPosition(), 155);
    std::vector<int> seen;
    slider.SetHandler(ui::Event::PositionChanged,
                      [&](int) { seen.push_back(slider.GetPosition()); });
    slider.SetPosition(180);
    EXPECT_EQ(slider.GetPosition(), 180);
    EXPECT_TRUE(seen.empty());
    automation().Select(slider, 200);
    EXPECT_EQ(seen, std::vector<int>{200});
    slider.SetPosition(300);
    EXPECT_EQ(slider.GetPosition(), 255);

    ui::ControlPeer& progress = control("进度条1");
    progress.SetPosition(50);
    EXPECT_EQ(progress.GetPosition(), 50);
    progress.SetPosition(150);
    EXPECT_EQ(progress.GetPosition(), 100);
}

// The keys a dialog handles itself: what the message loop does before the
// focused control sees them.
TEST_F(DesktopConformanceTest, DialogKeysPassReadOnlyBoxesOpenMarkedItemsAndPressTheDefault) {
    ui::WindowDef def;
    def.name = "KeysDialog";
    def.caption = "键";
    def.width = 300;
    def.height = 260;
    ui::ControlDef path = MakeControlDef("编辑框1", ControlKind::Edit, "C:\\a", 10, 10, 200, 40);
    path.multiline = true;
    path.readOnly = true;
    def.controls.push_back(path);
    def.controls.push_back(MakeControlDef("列表框1", ControlKind::ListBox, "", 10, 60, 200, 60));
    def.controls.back().items = {"一", "二"};
    def.controls.push_back(MakeControlDef("编辑框2", ControlKind::Edit, "", 10, 130, 200, 24));
    def.controls.push_back(MakeControlDef("按钮1", ControlKind::Button, "确定", 10, 170, 80, 30));
    def.controls.back().isDefault = true;
    std::unique_ptr<ui::WindowPeer> dialog = desktop().CreateWindowFromDef(def, nullptr);
    int clicks = 0, opened = 0;
    dialog->Control("按钮1").SetHandler(ui::Event::Click, [&](int) { ++clicks; });
    dialog->Control("列表框1").SetHandler(ui::Event::Select, [&](int) { ++opened; });
    dialog->Show();
    const auto press = [&](int key) { automation().PressKey(*dialog, {false, false, key}); };

    dialog->Control("编辑框1").Focus();
    press(ui::kKeyTab);
    EXPECT_TRUE(dialog->Control("列表框1").HasFocus()) << "a box nobody types into keeps no Tab";
    dialog->Control("列表框1").SetSelection(1);
    press(ui::kKeyEnter);
    EXPECT_EQ(opened, 1) << "Enter on a list opens its marked item";
    EXPECT_EQ(clicks, 0) << "not the default button";
    dialog->Control("编辑框2").Focus();
    press(ui::kKeyEnter);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(dialog->Control("按钮1").HasFocus()) << "pressed as by the mouse";
}

// Timers -----------------------------------------------------------------------

TEST_F(DesktopConformanceTest, TimersTickOncePerRoundWhileArmed) {
    ui::ControlPeer& first = control("时钟1");
    ui::ControlPeer& second = control("时钟2");
    EXPECT_FALSE(automation().IsTimerArmed(first));
    EXPECT_EQ(automation().FirePendingTimers(), 0);

    int firstTicks = 0, secondTicks = 0;
    first.SetHandler(ui::Event::Tick, [&](int) { ++firstTicks; });
    second.SetHandler(ui::Event::Tick, [&](int) {
        ++secondTicks;
        second.SetPeriod(0);  // a one-shot timer stops itself
    });
    first.SetPeriod(100);
    second.SetPeriod(100);
    EXPECT_TRUE(automation().IsTimerArmed(first));
    EXPECT_EQ(first.GetPeriod(), 100);

    EXPECT_EQ(automation().FirePendingTimers(), 2);
    EXPECT_EQ(firstTicks, 1);
    EXPECT_EQ(secondTicks, 1);
    EXPECT_FALSE(automation().IsTimerArmed(second));

    EXPECT_EQ(automation().FirePendingTimers(), 1);
    EXPECT_EQ(firstTicks, 2);
    EXPECT_EQ(secondTicks, 1);

    first.SetPeriod(0);
    EXPECT_FALSE(automation().IsTimerArmed(first));
    EXPECT_EQ(automation().FirePendingTimers(), 0);
    EXPECT_EQ(firstTicks, 2);

    // A closed window's timers are gone with it.
    first.SetPeriod(100);
    window().Close();
    EXPECT_FALSE(automation().IsTimerArmed(first));
    EXPECT_EQ(automation().FirePendingTimers(), 0);
}

// Menus ------------------------------------------------------------------------

TEST_F(DesktopConformanceTest, MenuItemsRunWhenEnabledByCaptionOrShortcut) {
    window().Show();
    window().Focus();
    ui::MenuPeer& menu = window().Menu();
    std::vector<Text> ran;
    for (const char* caption : {"新建", "保存", "加密", "解密", "退出", "方案1", "方案2"}) {
        menu.SetHandler(caption, [&ran, caption] { ran.push_back(caption); });
    }
    EXPECT_TRUE(menu.HasItem("新建"));
    EXPECT_TRUE(menu.HasItem("加密"));
    EXPECT_FALSE(menu.HasItem("没有这一项"));

    automation().ChooseMenu(window(), "新建");
    EXPECT_EQ(ran, std::vector<Text>{"新建"});

    // A disabled item ignores both its caption and its shortcut.
    EXPECT_FALSE(menu.IsEnabled("保存"));
    automation().ChooseMenu(window(), "保存");
    automation().PressShortcut(window(), {true, false, 'S'});
    EXPECT_EQ(ran.size(), 1u);
    menu.SetEnabled("保存", true);
    EXPECT_TRUE(menu.IsEnabled("保存"));
    automation().PressShortcut(window(), {true, false, 'S'});
    EXPECT_EQ(ran.back(), "保存");

    ran.clear();
    automation().PressShortcut(window(), {true, false, 0x70});  // Ctrl+F1, in a submenu
    automation().PressShortcut(window(), {true, false, 0x73});  // Ctrl+F4: not a shortcut
    automation().PressShortcut(window(), {false, false, 'N'});  // N alone: not a shortcut
    automation().PressShortcut(window(), {true, true, 0x73});   // Ctrl+Shift+F4
    automation().PressShortcut(window(), {true, false, 'N'});   // Ctrl+N
    EXPECT_EQ(ran, (std::vector<Text>{"加密", "退出", "新建"}));

    menu.SetEnabled("加密", false);
    automation().PressShortcut(window(), {true, false, 0x70});
    EXPECT_EQ(ran.size(), 3u);
}

TEST_F(DesktopConformanceTest, MenuCheckMarksAndPopUp) {
    ui::MenuPeer& menu = window().Menu();
    EXPECT_TRUE(menu.IsChecked("方案1"));
    EXPECT_FALSE(menu.IsChecked("方案2"));
    menu.SetChecked("方案1", false);
    menu.SetChecked("方案2", true);
    EXPECT_FALSE(menu.IsChecked("方案1"));
    EXPECT_TRUE(menu.IsChecked("方案2"));
    EXPECT_TRUE(menu.IsEnabled("方案1"));

    bool ran = false;
    menu.SetHandler("方案1", [&] { ran = true; });
    EXPECT_FALSE(automation().LastPopUp().has_value());
    window().Show();
    menu.PopUpAtCursor("配置");
    EXPECT_EQ(automation().LastPopUp(), std::optional<Text>("配置"));
    EXPECT_FALSE(ran) << "the pop-up is dismissed without a choice";
}

// Modal windows, message boxes, dialogs ----------------------------------------

TEST_F(DesktopConformanceTest, ModalScriptRunsInsideTheLoopThenTheWindowIsClosed) {
    window().Show();
    std::unique_ptr<ui::WindowPeer> dialog = MakeDialog("ScriptedWindow", &window());
    std::vector<Text> events;
    dialog->SetCloseHandler([&] {
        events.push_back("close box");
        return true;
    });
    dialog->Control("按钮1").SetHandler(ui::Event::Click, [&](int) {
        events.push_back("clicked " + dialog->Control("编辑框1").GetText());
    });
    automation().OnNextModal([&](ui::WindowPeer& shown) {
        EXPECT_EQ(&shown, dialog.get());
        EXPECT_TRUE(shown.IsShown());
        automation().Type(shown.Control("编辑框1"), "口令");
        automation().Click(shown.Control("按钮1"));
        desktop().MessageBox(&shown, "密码错误！", "信息：");
    });
    desktop().RunModal(*dialog, &window());
    EXPECT_EQ(events, (std::vector<Text>{"clicked 口令", "close box"}));
    EXPECT_FALSE(dialog->IsOpen());
    ASSERT_EQ(automation().Messages().size(), 1u);
    EXPECT_EQ(automation().Messages()[0].message, "密码错误！");
    EXPECT_EQ(automation().Messages()[0].caption, "信息：");
    EXPECT_TRUE(window().IsOpen());
}

TEST_F(DesktopConformanceTest, ModalWindowClosedByItsOwnButtonEndsTheLoop) {
    std::unique_ptr<ui::WindowPeer> dialog = MakeDialog("SelfClosingWindow", &window());
    int closeBox = 0;
    dialog->SetCloseHandler([&] {
        ++closeBox;
        return true;
    });
    dialog->Control("按钮1").SetHandler(ui::Event::Click, [&](int) { dialog->Close(); });
    automation().OnNextModal(
        [&](ui::WindowPeer& shown) { automation().Click(shown.Control("按钮1")); });
    desktop().RunModal(*dialog, &window());
    EXPECT_FALSE(dialog->IsOpen());
    EXPECT_EQ(closeBox, 0) << "closing by the program does not ask the close handler";
}

TEST_F(DesktopConformanceTest, NestedModalsRunTheirOwnScripts) {
    std::vector<Text> events;
    std::unique_ptr<ui::WindowPeer> outer = MakeDialog("OuterWindow", &window());
    std::unique_ptr<ui::WindowPeer> inner;
    automation().OnNextModal([&](ui::WindowPeer& shown) {
        events.push_back("outer " + shown.Definition().name);
        inner = MakeDialog("InnerWindow", &shown);
        automation().OnNextModal(
            [&](ui::WindowPeer& nested) { events.push_back("inner " + nested.Definition().name); });
        desktop().RunModal(*inner, &shown);
        events.push_back(inner->IsOpen() ? "inner open" : "inner closed");
        events.push_back(shown.IsOpen() ? "outer open" : "outer closed");
    });
    desktop().RunModal(*outer, &window());
    EXPECT_EQ(events, (std::vector<Text>{"outer OuterWindow", "inner InnerWindow", "inner closed",
                                         "outer open"}));
    EXPECT_FALSE(outer->IsOpen());
}

TEST_F(DesktopConformanceTest, ModalLoopEndsAfterTheScriptEvenIfTheCloseHandlerRefuses) {
    std::unique_ptr<ui::WindowPeer> stubborn = MakeDialog("StubbornWindow", &window());
    int asked = 0;
    stubborn->SetCloseHandler([&] {
        ++asked;
        return false;
    });
    automation().OnNextModal([](ui::WindowPeer&) {});
    desktop().RunModal(*stubborn, &window());
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(stubborn->IsOpen()) << "a test must never wait for a person";
}

TEST_F(DesktopConformanceTest, ModalWindowWithoutScriptIsClosedByItsCloseBox) {
    std::unique_ptr<ui::WindowPeer> unscripted = MakeDialog("UnscriptedWindow", &window());
    bool closeBox = false;
    unscripted->SetCloseHandler([&] { return closeBox = true; });
    desktop().RunModal(*unscripted, nullptr);
    EXPECT_TRUE(closeBox);
    EXPECT_FALSE(unscripted->IsOpen());
    EXPECT_TRUE(window().IsOpen());
}

TEST_F(DesktopConformanceTest, MessageBoxesInsideAModalLoopLeaveEveryEnabledStateAsItWas) {
    window().Show();
    std::unique_ptr<ui::WindowPeer> side = MakeDialog("SideWindow", &window());
    side->Show();
    std::unique_ptr<ui::WindowPeer> dialog = MakeDialog("ModalWindow", &window());
    int clicks = 0;
    window().Control("按钮1").SetHandler(ui::Event::Click, [&](int) { ++clicks; });
    EXPECT_EQ(desktop().InnermostModal(), nullptr);
    std::vector<bool> states;
    auto record = [&](ui::WindowPeer& shown) {
        for (ui::WindowPeer* peer : {&window(), side.get(), &shown}) {
            states.push_back(automation().IsWindowEnabled(*peer));
        }
    };
    automation().OnNextModal([&](ui::WindowPeer& shown) {
        EXPECT_EQ(desktop().InnermostModal(), &shown);
        record(shown);
        desktop().MessageBox(&shown, "目录需要命名！", "信息：");
        record(shown);
        // Even a box owned by a window the loop disabled gives nothing back.
        desktop().MessageBox(&window(), "已保存！", "信息：");
        record(shown);
        automation().Click(window().Control("按钮1"));
        automation().CloseByUser(window());
    });
    desktop().RunModal(*dialog, &window());
    EXPECT_EQ(states,
              (std::vector<bool>{false, false, true, false, false, true, false, false, true}));
    EXPECT_EQ(clicks, 0) << "a disabled window takes no clicks";
    EXPECT_TRUE(window().IsOpen()) << "nor a click on its close box";
    EXPECT_TRUE(automation().IsWindowEnabled(window()));
    EXPECT_TRUE(automation().IsWindowEnabled(*side));
    EXPECT_EQ(desktop().InnermostModal(), nullptr);
    ASSERT_EQ(automation().Messages().size(), 2u);
    EXPECT_EQ(automation().Messages()[0].owner, "ModalWindow");
    EXPECT_EQ(automation().Messages()[1].owner, "ConformanceWindow");
}

TEST_F(DesktopConformanceTest, MessageBoxesAreRecordedInOrder) {
    desktop().MessageBox(&window(), "已保存！", "信息：");
    desktop().MessageBox(nullptr, "第一行\r\n第二行", "版本");
    ASSERT_EQ(automation().Messages().size(), 2u);
    EXPECT_EQ(automation().Messages()[0].message, "已保存！");
    EXPECT_EQ(automation().Messages()[1].message, "第一行\r\n第二行");
    EXPECT_EQ(automation().Messages()[1].caption, "版本");
    automation().ClearMessages();
    EXPECT_TRUE(automation().Messages().empty());
}

TEST_F(DesktopConformanceTest, FileDialogsTakeQueuedAnswersAndNeverBlock) {
    ui::ControlPeer& dialog = control("通用对话框1");
    ui::FileDialogRequest request;
    request.save = false;
    request.title = "打开文件";
    request.filter = "所有文件(*.*)|*.*";
    automation().AnswerNextFileDialog(Text("C:\\文档\\a.txt"));
    EXPECT_EQ(dialog.ShowFileDialog(request), std::optional<Text>("C:\\文档\\a.txt"));
    request.save = true;
    request.title = "保存文件";
    EXPECT_EQ(dialog.ShowFileDialog(request), std::nullopt) << "no answer queued: cancelled";

    const std::vector<ui::FileDialogRequest> shown = automation().FileDialogsShown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_FALSE(shown[0].save);
    EXPECT_EQ(shown[0].title, "打开文件");
    EXPECT_TRUE(shown[1].save);
    EXPECT_EQ(shown[1].title, "保存文件");
}

TEST_F(DesktopConformanceTest, ExitRequestIsRecorded) {
    EXPECT_FALSE(automation().ExitRequested().has_value());
    desktop().ExitProcess(3);
    EXPECT_EQ(automation().ExitRequested(), std::optional<int>(3));
    EXPECT_TRUE(window().IsOpen());
}

}  // namespace
}  // namespace testing_support
