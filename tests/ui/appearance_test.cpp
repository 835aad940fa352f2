#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/program_fixture.h"

namespace testing_support {
namespace {

class AppearanceTest : public ProgramTest {
  protected:
    void StartWith(const Text& alpha) {
        SetSetting("Start", "Num", "1");
        SetSetting("Icon", "Num", "2");
        SetSetting("Alpha", "Num", alpha);
        MakeFolder("Default");
        MakeFolder("Default\\a");
        MakeFolder("Default\\b");
        StartProgram();
    }
    int MainAlpha() {
        const auto layered = automation().LayeredAttributes(main().Peer());
        return layered ? layered->alpha : -1;
    }
    void ExpectDirectoryImages(int image) {
        std::vector<Text> names = Items(main().超级列表框1);
        std::sort(names.begin(), names.end());
        ASSERT_EQ(names, (std::vector<Text>{"a", "b"}));
        for (int i = 0; i < main().超级列表框1.Count(); ++i) {
            EXPECT_EQ(main().超级列表框1.ItemImage(i), image) << i;
        }
    }
    void InIconPicker(std::function<void(ui::WindowPeer&)> script) {
        automation().OnNextModal(std::move(script));
        Choose("自定义文档目录图标");
    }
    void InTransparencyWindow(std::function<void(ui::WindowPeer&)> script) {
        automation().OnNextModal(std::move(script));
        Choose("窗口透明度调节");
    }
};

// Icon picker -------------------------------------------------------------------

TEST_F(AppearanceTest, PickerOffersTheSixteenIconsLaidOutToItsClientArea) {
    StartWith("255");
    bool ran = false;
    InIconPicker([&](ui::WindowPeer& window) {
        ran = true;
        EXPECT_EQ(window.GetCaption(), "自定义文档目录图标:");
        ui::ControlPeer& list = window.Control("超级列表框1");
        EXPECT_EQ(list.ImageCount(), 16);
        ASSERT_EQ(list.ItemCount(), 16);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(list.ItemText(i), std::to_string(i + 1));
            EXPECT_EQ(list.ItemImage(i), i);
        }
        EXPECT_EQ(list.Selection(), -1);

        const ui::Size client = window.GetClientSize();
        ASSERT_GT(client.width, 0);
        EXPECT_EQ(list.GetRect(), (ui::Rect{0, 10, client.width, client.height - 52}));
        const ui::Rect ok = window.Control("按钮1").GetRect();
        const ui::Rect cancel = window.Control("按钮2").GetRect();
        EXPECT_EQ(ok.left, client.width - 2 * ok.width - 4);
        EXPECT_EQ(cancel.left, client.width - cancel.width - 4);
        EXPECT_EQ(ok.top, client.height - ok.height - 4);
        EXPECT_EQ(cancel.top, ok.top);
        // The buttons sit side by side below the list, inside the window.
        EXPECT_GE(ok.top, 10 + client.height - 52);
        EXPECT_LE(ok.left + ok.width, cancel.left);
        EXPECT_LE(ok.top + ok.height, client.height);
    });
    EXPECT_TRUE(ran);
}

TEST_F(AppearanceTest, ChosenIconIsStoredAndTheDirectoryPageRedrawsWithIt) {
    StartWith("255");
    ExpectDirectoryImages(2);
    bool stillOpen = false;
    int itemsRightAfter = -1;
    InIconPicker([&](ui::WindowPeer& window) {
        automation().Select(window.Control("超级列表框1"), 15);
        automation().Click(window.Control("按钮1"));
        stillOpen = window.IsOpen();
        itemsRightAfter = main().超级列表框1.Count();
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(itemsRightAfter, 0);
    EXPECT_EQ(Setting("Icon", "Num"), "15");
    EXPECT_TRUE(automation().IsTimerArmed(main().时钟3.Peer()));
    Tick();
    ExpectDirectoryImages(15);
    EXPECT_FALSE(automation().IsTimerArmed(main().时钟3.Peer()));
    EXPECT_TRUE(MessageTexts().empty());

    // Another choice in the same opening replaces the first; the first icon
    // is index 0, not "nothing".
    InIconPicker([&](ui::WindowPeer& window) {
        automation().Select(window.Control("超级列表框1"), 6);
        automation().Click(window.Control("按钮1"));
        automation().Select(window.Control("超级列表框1"), 0);
        automation().Click(window.Control("按钮1"));
    });
    EXPECT_EQ(Setting("Icon", "Num"), "0");
    Tick();
    ExpectDirectoryImages(0);
}

TEST_F(AppearanceTest, OkWithoutASelectionAsksForOneAndChangesNothing) {
    StartWith("255");
    bool stillOpen = false;
    InIconPicker([&](ui::WindowPeer& window) {
        automation().Click(window.Control("按钮1"));
        stillOpen = window.IsOpen();
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(MessageTexts(), std::vector<Text>{"选中图标后继续!"});
    EXPECT_EQ(Setting("Icon", "Num"), "2");
    EXPECT_FALSE(automation().IsTimerArmed(main().时钟3.Peer()));
    ExpectDirectoryImages(2);
}

TEST_F(AppearanceTest, CancelClosesThePickerWithoutWriting) {
    StartWith("255");
    bool closed = false;
    InIconPicker([&](ui::WindowPeer& window) {
        automation().Select(window.Control("超级列表框1"), 9);
        automation().Click(window.Control("按钮2"));
        closed = !window.IsOpen();
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(Setting("Icon", "Num"), "2");
    ExpectDirectoryImages(2);
}

// Transparency --------------------------------------------------------------------

TEST_F(AppearanceTest, SliderStartsAtTheStoredOpacityAndPreviewsWithoutWriting) {
    StartWith("200");
    ASSERT_EQ(MainAlpha(), 200);
    int startPosition = -1;
    int alphaWhileOpen = -1;
    bool stillOpen = false;
    InTransparencyWindow([&](ui::WindowPeer& window) {
        ui::ControlPeer& slider = window.Control("滑块条1");
        startPosition = slider.GetPosition();
        automation().Select(slider, 170);
        alphaWhileOpen = MainAlpha();
        stillOpen = window.IsOpen();
    });
    EXPECT_EQ(startPosition, 200);
    EXPECT_EQ(alphaWhileOpen, 170);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(Setting("Alpha", "Num"), "200");

    // The live opacity outlasts the window, keeping the colour key and the
    // layered style.
    const auto layered = automation().LayeredAttributes(main().Peer());
    ASSERT_TRUE(layered.has_value());
    EXPECT_EQ(layered->alpha, 170);
    EXPECT_EQ(layered->key, ui::Rgb(252, 2, 251));
    EXPECT_EQ(layered->flags, ui::kLayeredColourKeyAndAlpha);
    EXPECT_TRUE(main().Peer().GetExStyle() & ui::kExStyleLayered);
    EXPECT_EQ(app().state.Opacity, 170);

    // A restart goes back to the stored opacity.
    app_.reset();
    app_ = std::make_unique<app::App>(*platform_);
    StartProgram();
    EXPECT_EQ(MainAlpha(), 200);
}

TEST_F(AppearanceTest, SaveStoresTheSliderPositionAndKeepsTheWindowOpen) {
    StartWith("255");
    bool stillOpen = false;
    InTransparencyWindow([&](ui::WindowPeer& window) {
        ui::ControlPeer& slider = window.Control("滑块条1");
        automation().Select(slider, 180);
        automation().Click(window.Control("按钮1"));
        stillOpen = window.IsOpen();
        automation().Select(slider, 230);
    });
    EXPECT_TRUE(stillOpen);
    // Saved once at 180; the later move is a preview only.
    EXPECT_EQ(Setting("Alpha", "Num"), "180");
    EXPECT_EQ(MainAlpha(), 230);
    EXPECT_TRUE(MessageTexts().empty());

    app_.reset();
    app_ = std::make_unique<app::App>(*platform_);
    StartProgram();
    EXPECT_EQ(MainAlpha(), 180);
    int startPosition = -1;
    InTransparencyWindow(
        [&](ui::WindowPeer& window) { startPosition = window.Control("滑块条1").GetPosition(); });
    EXPECT_EQ(startPosition, 180);
}

TEST_F(AppearanceTest, OpeningTheSliderAloneLeavesAnOutOfRangeOpacityAlone) {
    // Stored values the slider cannot show: it opens at its nearest end, and
    // until the user moves it the window keeps what start-up applied.
    StartWith("100");
    int startPosition = -1;
    InTransparencyWindow(
        [&](ui::WindowPeer& window) { startPosition = window.Control("滑块条1").GetPosition(); });
    EXPECT_EQ(startPosition, 155);
    EXPECT_EQ(MainAlpha(), 100);
    EXPECT_EQ(Setting("Alpha", "Num"), "100");
}

TEST_F(AppearanceTest, MissingOpacityStartsInvisibleAndTheSliderBringsItBack) {
    // Alpha/Num missing while Start/Num is set reads as 0: fully transparent.
    SetSetting("Start", "Num", "1");
    MakeFolder("Default");
    StartProgram();
    EXPECT_EQ(MainAlpha(), 0);
    InTransparencyWindow([&](ui::WindowPeer& window) {
        automation().Select(window.Control("滑块条1"), 255);
        automation().Click(window.Control("按钮1"));
    });
    EXPECT_EQ(MainAlpha(), 255);
    EXPECT_EQ(Setting("Alpha", "Num"), "255");
}

}  // namespace
}  // namespace testing_support
