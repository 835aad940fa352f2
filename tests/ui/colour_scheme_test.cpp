#include "ui/appearance/colour_scheme.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "support/program_fixture.h"

namespace testing_support {
namespace {

using ui::appearance::RandomColour;

const char* const kKeys[] = {"Log", "Content", "Text1", "Text2", "Text3", "Home", "Text4", "Text5"};
const char* const kSchemeItems[] = {"默认配色方案1", "默认配色方案2", "默认配色方案3",
                                    "自定义配色方案"};

// The decimal texts each built-in command writes, in key order.
const std::array<std::array<const char*, 8>, 3> kSchemeTexts = {{
    {"4473151", "13689319", "12834010", "4473151", "4473151", "12176080", "3354413", "13689319"},
    {"13948118", "15791607", "4934480", "4342342", "4342342", "14937842", "4144963", "15791607"},
    {"6311999", "15526636", "15526636", "6381404", "4342338", "15526636", "6381404", "15526636"},
}};

TEST(ColourSchemeData, RandomColourDrawsRedGreenBlueInTurnAndKeepsEachInOneByte) {
    int calls = 0;
    const int draws[] = {1, 2, 3};
    EXPECT_EQ(RandomColour([&] { return draws[calls++]; }), 1u + 2u * 256 + 3u * 65536);
    EXPECT_EQ(calls, 3);
    int big = 0;
    // std::rand reaches far past 255; only 0..255 may come out per channel.
    EXPECT_EQ(RandomColour([&] { return 256 * 7 + (big++ == 0 ? 255 : 0); }), 255u);
    EXPECT_EQ(ui::appearance::ColourFromSetting(-1), 0xFFFFFFu);
    EXPECT_EQ(ui::appearance::ColourFromSetting(0x1000010), 0x10u);
}

class ColourSchemeTest : public ProgramTest {
  protected:
    std::array<Text, 8> StoredColours() {
        std::array<Text, 8> values;
        for (int i = 0; i < 8; ++i) values[i] = Setting("Color", kKeys[i]);
        return values;
    }
    void ExpectOnlyChecked(int index) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(main().menu[kSchemeItems[i]].IsChecked(), i == index) << kSchemeItems[i];
        }
    }
    std::optional<ui::Colour> EditorColour() {
        return main().超级编辑框1.GetDefaultFormat().colour;
    }
    void InColourWindow(std::function<void(ui::WindowPeer&)> script) {
        automation().OnNextModal(std::move(script));
        Choose("自定义配色方案");
    }
};

TEST_F(ColourSchemeTest, EachBuiltInSchemeWritesItsValuesChecksItsItemAndRepaints) {
    StartProgram();
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        Choose(kSchemeItems[n - 1]);
        for (int i = 0; i < 8; ++i) EXPECT_EQ(Setting("Color", kKeys[i]), kSchemeTexts[n - 1][i]);
        EXPECT_EQ(Setting("Color", "Num"), std::to_string(n));
        ExpectOnlyChecked(n - 1);

        // Painting waits for the refresh timer, which runs once.
        EXPECT_TRUE(automation().IsTimerArmed(main().时钟2.Peer()));
        Tick();
        EXPECT_FALSE(automation().IsTimerArmed(main().时钟2.Peer()));
        EXPECT_EQ(EditorColour(), std::optional<ui::Colour>(std::stoul(kSchemeTexts[n - 1][4])));
    }
    // Scheme 3 as a command differs from the first-run text colour.
    EXPECT_EQ(Setting("Color", "Text3"), "4342338");
}

TEST_F(ColourSchemeTest, StartUpRefreshPaintsTheStoredSchemeAndChecksItsItem) {
    StartProgram();
    EXPECT_EQ(EditorColour(), std::optional<ui::Colour>(6381404));  // first-run Text3
    ExpectOnlyChecked(2);

    app_.reset();
    app_ = std::make_unique<app::App>(*platform_);
    SetSetting("Color", "Num", "2");
    SetSetting("Color", "Text3", "4342342");
    StartProgram(false);
    EXPECT_TRUE(automation().IsTimerArmed(main().时钟2.Peer()));
    Tick();
    EXPECT_FALSE(automation().IsTimerArmed(main().时钟2.Peer()));
    EXPECT_EQ(EditorColour(), std::optional<ui::Colour>(4342342));
    ExpectOnlyChecked(1);
}

TEST_F(ColourSchemeTest, CustomWindowLoadsThePickersAndOkSavesChecksAndRepaints) {
    StartProgram();
    Choose("默认配色方案2");
    Tick();
    SetSetting("Color", "Home", "");  // missing shows as black
    std::array<ui::Colour, 8> loaded{};
    bool openAfterOk = false;
    InColourWindow([&](ui::WindowPeer& window) {
        for (int i = 0; i < 8; ++i) {
            loaded[i] = window.Control("颜色选择器" + std::to_string(i + 1)).GetColour();
        }
        window.Control("颜色选择器5").SetColour(ui::Rgb(1, 2, 3));
        window.Control("颜色选择器8").SetColour(ui::Rgb(10, 20, 30));
        automation().Click(window.Control("按钮1"));
        openAfterOk = window.IsOpen();
        automation().Click(window.Control("按钮2"));
    });
    // Pickers 1..8 hold Log, Content, Text1, Text2, Text3, Home, Text4, Text5.
    for (int i = 0; i < 8; ++i) {
        const ui::Colour expected = i == 5 ? 0 : std::stoul(kSchemeTexts[1][i]);
        EXPECT_EQ(loaded[i], expected) << kKeys[i];
    }
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(Setting("Color", "Text3"), std::to_string(ui::Rgb(1, 2, 3)));
    EXPECT_EQ(Setting("Color", "Text5"), std::to_string(ui::Rgb(10, 20, 30)));
    EXPECT_EQ(Setting("Color", "Home"), "0");
    EXPECT_EQ(Setting("Color", "Log"), kSchemeTexts[1][0]);
    EXPECT_EQ(Setting("Color", "Num"), "4");
    ExpectOnlyChecked(3);
    Tick();
    EXPECT_EQ(EditorColour(), std::optional<ui::Colour>(ui::Rgb(1, 2, 3)));
}

TEST_F(ColourSchemeTest, OkWithTheLoadedColoursStillMakesTheSchemeCustom) {
    StartProgram();
    Choose("默认配色方案1");
    Tick();
    InColourWindow([&](ui::WindowPeer& window) { automation().Click(window.Control("按钮1")); });
    for (int i = 0; i < 8; ++i) EXPECT_EQ(Setting("Color", kKeys[i]), kSchemeTexts[0][i]);
    EXPECT_EQ(Setting("Color", "Num"), "4");
    ExpectOnlyChecked(3);
}

TEST_F(ColourSchemeTest, RandomColoursFillThePickersButCancelKeepsEverything) {
    StartProgram();
    const auto before = StoredColours();
    const auto settingsBefore = ReadFile("Start.ini");
    std::array<ui::Colour, 8> loaded{}, random{};
    bool closed = false;
    InColourWindow([&](ui::WindowPeer& window) {
        for (int i = 0; i < 8; ++i) {
            loaded[i] = window.Control("颜色选择器" + std::to_string(i + 1)).GetColour();
        }
        automation().Click(window.Control("按钮3"));
        for (int i = 0; i < 8; ++i) {
            random[i] = window.Control("颜色选择器" + std::to_string(i + 1)).GetColour();
        }
        automation().Click(window.Control("按钮2"));
        closed = !window.IsOpen();
    });
    EXPECT_TRUE(closed);
    EXPECT_NE(random, loaded);
    for (ui::Colour colour : random) EXPECT_LE(colour, 0xFFFFFFu);
    EXPECT_EQ(StoredColours(), before);
    EXPECT_EQ(ReadFile("Start.ini"), settingsBefore);
    EXPECT_FALSE(automation().IsTimerArmed(main().时钟2.Peer()));
    ExpectOnlyChecked(2);
}

}  // namespace
}  // namespace testing_support
