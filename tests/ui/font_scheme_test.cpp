#include "ui/appearance/font_scheme.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "support/program_fixture.h"

namespace testing_support {
namespace {

using ui::appearance::ChoiceIndex;
using ui::appearance::PointsToPixels;

TEST(FontSchemeData, StoredValuesMatchOnlyAsExactTextWithinTheirRange) {
    EXPECT_EQ(ChoiceIndex("0", 10), 0);
    EXPECT_EQ(ChoiceIndex("9", 10), 9);
    EXPECT_EQ(ChoiceIndex("10", 10), std::nullopt);
    EXPECT_EQ(ChoiceIndex("13", 14), 13);
    EXPECT_EQ(ChoiceIndex("14", 14), std::nullopt);
    EXPECT_EQ(ChoiceIndex("-1", 18), std::nullopt);
    EXPECT_EQ(ChoiceIndex("", 4), std::nullopt);
    EXPECT_EQ(ChoiceIndex("01", 4), std::nullopt);
    EXPECT_EQ(ChoiceIndex(" 1", 4), std::nullopt);
    EXPECT_EQ(PointsToPixels(9), 12);
    EXPECT_EQ(PointsToPixels(12), 16);
    EXPECT_EQ(PointsToPixels(18), 24);
    EXPECT_EQ(PointsToPixels(11), 15);
}

ui::Font FontOf(const Text& face, int points, bool bold, bool italic = false) {
    return ui::Font{face, PointsToPixels(points), bold ? 700 : 400, italic};
}

const char* const kKeys[] = {"T1", "T2", "T3", "T4", "T5", "T6", "T7", "T8", "T9"};

class FontSchemeTest : public ProgramTest {
  protected:
    void InFontWindow(std::function<void(ui::WindowPeer&)> script) {
        automation().OnNextModal(std::move(script));
        Choose("自定义字体方案");
    }
    std::array<Text, 9> StoredFonts() {
        std::array<Text, 9> values;
        for (int i = 0; i < 9; ++i) values[i] = Setting("Text", kKeys[i]);
        return values;
    }
    // Selections in key order T1..T9.
    static std::array<int, 9> Selections(ui::WindowPeer& window) {
        const char* lists[] = {"列表框1", "列表框6", "列表框7", "列表框8", "列表框9",
                               "列表框2", "列表框3", "列表框4", "列表框5"};
        std::array<int, 9> selected{};
        for (int i = 0; i < 9; ++i) selected[i] = window.Control(lists[i]).Selection();
        return selected;
    }
};

TEST_F(FontSchemeTest, DefaultSchemePaintsEveryAreaAfterStartUp) {
    StartProgram();
    const ui::Font title = FontOf("微软雅黑", 18, true);
    EXPECT_EQ(main().标签1.GetFont(), title);
    EXPECT_EQ(main().标签2.GetFont(), title);
    EXPECT_EQ(main().编辑框2.GetFont(), title);
    EXPECT_EQ(main().列表框1.GetFont(), FontOf("微软雅黑", 14, true));
    EXPECT_EQ(main().超级列表框1.GetFont(), FontOf("微软雅黑", 14, true));
    const ui::CharFormat editor = main().超级编辑框1.GetDefaultFormat();
    EXPECT_EQ(editor.face, "微软雅黑");
    EXPECT_EQ(editor.pointSize, 12);
    EXPECT_EQ(editor.offset, 0);
    EXPECT_FALSE(editor.bold);
    EXPECT_FALSE(editor.italic);
}

TEST_F(FontSchemeTest, StoredChoicesReachTheirAreasAndUnknownValuesChangeNothing) {
    SetSetting("Start", "Num", "1");
    const std::array<const char*, 9> values = {"4", "10", "17", "0", "14", "2", "3", "x", "0"};
    for (int i = 0; i < 9; ++i) SetSetting("Text", kKeys[i], values[i]);
    StartProgram(false);
    const ui::Font titleBefore = main().标签1.GetFont();
    const ui::Font homeBefore = main().超级列表框1.GetFont();
    const ui::Font listBefore = main().列表框1.GetFont();
    Tick();
    // Face 楷体 everywhere; title size 10 and home size 14 match nothing.
    EXPECT_EQ(main().标签1.GetFont(), (ui::Font{"楷体", titleBefore.height, 400, true}));
    EXPECT_EQ(main().编辑框2.GetFont(), main().标签1.GetFont());
    EXPECT_EQ(main().超级列表框1.GetFont(), (ui::Font{"楷体", homeBefore.height, 400, false}));
    // List style "x" keeps the weight and slant the list had.
    EXPECT_EQ(main().列表框1.GetFont(),
              (ui::Font{"楷体", PointsToPixels(8), listBefore.weight, listBefore.italic}));
    const ui::CharFormat editor = main().超级编辑框1.GetDefaultFormat();
    EXPECT_EQ(editor.face, "楷体");
    EXPECT_EQ(editor.pointSize, 72);
    EXPECT_TRUE(editor.bold);
    EXPECT_TRUE(editor.italic);

    // A later refresh with content keys out of range keeps the last record.
    SetSetting("Text", "T3", "18");
    SetSetting("Text", "T7", "4");
    Choose("默认配色方案1");
    Tick();
    EXPECT_EQ(main().超级编辑框1.GetDefaultFormat().pointSize, 72);
    EXPECT_TRUE(main().超级编辑框1.GetDefaultFormat().bold);
    EXPECT_EQ(main().超级编辑框1.GetDefaultFormat().colour, std::optional<ui::Colour>(4473151));
}

TEST_F(FontSchemeTest, WindowLoadsTheListsFromTheSettings) {
    StartProgram();
    const std::array<const char*, 9> values = {"3", "9", "17", "", "13", "3", "2", "1", "10"};
    for (int i = 0; i < 9; ++i) SetSetting("Text", kKeys[i], values[i]);
    std::array<int, 9> selected{};
    bool previewRunning = false;
    InFontWindow([&](ui::WindowPeer& window) {
        selected = Selections(window);
        previewRunning = automation().IsTimerArmed(window.Control("时钟1"));
    });
    // A missing key selects the first item; a position past the list none.
    EXPECT_EQ(selected, (std::array<int, 9>{3, 9, 17, 0, 13, 3, 2, 1, -1}));
    EXPECT_TRUE(previewRunning);
}

TEST_F(FontSchemeTest, PreviewTicksFollowTheSelections) {
    StartProgram();
    std::array<ui::Font, 4> preview;
    ui::Font contentUntouched;
    InFontWindow([&](ui::WindowPeer& window) {
        automation().Select(window.Control("列表框1"), 1);   // 新宋体
        automation().Select(window.Control("列表框2"), 3);   // title bold italic
        automation().Select(window.Control("列表框6"), 0);   // title 8
        automation().Select(window.Control("列表框4"), 2);   // list italic
        automation().Select(window.Control("列表框8"), 17);  // list 72
        automation().Select(window.Control("列表框5"), 0);   // home regular
        automation().Select(window.Control("列表框9"), 13);  // home 28
        contentUntouched = window.Control("标签2").GetFont();
        EXPECT_NE(contentUntouched.face, "新宋体");  // nothing before the tick
        automation().FirePendingTimers();
        const char* labels[] = {"标签1", "标签2", "标签3", "标签4"};
        for (int i = 0; i < 4; ++i) preview[i] = window.Control(labels[i]).GetFont();
        automation().Click(window.Control("按钮1"));
    });
    EXPECT_EQ(preview[0], FontOf("新宋体", 8, true, true));
    EXPECT_EQ(preview[2], FontOf("新宋体", 72, false, true));
    EXPECT_EQ(preview[3], FontOf("新宋体", 28, false));
    // Content: default style 0 and size position 4 loaded from the settings.
    EXPECT_EQ(preview[1], FontOf("新宋体", 12, false));
}

TEST_F(FontSchemeTest, DefaultButtonWritesAndReloadsTheDefaultsWhichCancelKeeps) {
    StartProgram();
    for (const char* key : kKeys) SetSetting("Text", key, "2");
    std::array<int, 9> afterDefault{};
    const ui::Font titleBefore = main().标签1.GetFont();
    InFontWindow([&](ui::WindowPeer& window) {
        automation().Click(window.Control("按钮3"));
        afterDefault = Selections(window);
        automation().Click(window.Control("按钮1"));
    });
    EXPECT_EQ(afterDefault, (std::array<int, 9>{0, 8, 4, 6, 6, 1, 0, 1, 1}));
    EXPECT_EQ(StoredFonts(), (std::array<Text, 9>{"0", "8", "4", "6", "6", "1", "0", "1", "1"}));
    // MainWindow waits for the next refresh.
    EXPECT_FALSE(automation().IsTimerArmed(main().时钟2.Peer()));
    EXPECT_EQ(main().标签1.GetFont(), titleBefore);
}

TEST_F(FontSchemeTest, OkSavesTheSelectionsStopsThePreviewAndRepaints) {
    StartProgram();
    bool previewStopped = false, stillOpen = false;
    InFontWindow([&](ui::WindowPeer& window) {
        automation().Select(window.Control("列表框1"), 2);  // 宋体
        automation().Select(window.Control("列表框2"), 2);  // title italic
        window.Control("列表框6").SetSelection(-1);         // no title size
        automation().Select(window.Control("列表框7"), 0);  // content 8
        automation().Select(window.Control("列表框3"), 1);  // content bold
        automation().Click(window.Control("按钮2"));
        previewStopped = !automation().IsTimerArmed(window.Control("时钟1"));
        stillOpen = window.IsOpen();
        automation().Click(window.Control("按钮1"));
    });
    EXPECT_TRUE(previewStopped);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(StoredFonts(), (std::array<Text, 9>{"2", "-1", "0", "6", "6", "2", "1", "1", "1"}));
    EXPECT_TRUE(automation().IsTimerArmed(main().时钟2.Peer()));
    Tick();
    // No title size chosen: the title keeps its 18 points.
    EXPECT_EQ(main().标签1.GetFont(), FontOf("宋体", 18, false, true));
    EXPECT_EQ(main().列表框1.GetFont(), FontOf("宋体", 14, true));
    const ui::CharFormat editor = main().超级编辑框1.GetDefaultFormat();
    EXPECT_EQ(editor.face, "宋体");
    EXPECT_EQ(editor.pointSize, 8);
    EXPECT_TRUE(editor.bold);
    EXPECT_FALSE(editor.italic);
}

TEST_F(FontSchemeTest, CancelStopsThePreviewAndClosesWithoutWriting) {
    StartProgram();
    const auto before = ReadFile("Start.ini");
    bool closed = false;
    InFontWindow([&](ui::WindowPeer& window) {
        automation().Select(window.Control("列表框1"), 4);
        automation().Click(window.Control("按钮1"));
        closed = !window.IsOpen();
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(ReadFile("Start.ini"), before);
    EXPECT_FALSE(automation().IsTimerArmed(main().时钟2.Peer()));
}

}  // namespace
}  // namespace testing_support
