// Colours as painted, which only the headless desktop can read back.
#include <gtest/gtest.h>

#include "platform/headless/headless_desktop.h"
#include "support/program_fixture.h"

namespace testing_support {
namespace {

class PaintedColoursTest : public ProgramTest {
  protected:
    platform::HeadlessDesktop& headless() {
        return dynamic_cast<platform::HeadlessDesktop&>(automation());
    }
    std::optional<ui::Colour> Text(const ui::ControlHandle& c) {
        return headless().TextColour(c.Peer());
    }
    std::optional<ui::Colour> Back(const ui::ControlHandle& c) {
        return headless().BackColour(c.Peer());
    }
};

using C = std::optional<ui::Colour>;

TEST_F(PaintedColoursTest, SchemeOnePaintsEachAreaFromItsKeys) {
    StartProgram();
    Choose("默认配色方案1");
    Tick();
    ui::MainWindow& w = main();
    const C title = ui::Rgb(63, 65, 68), titleText = ui::Rgb(218, 212, 195);
    const C content = ui::Rgb(231, 225, 208);
    for (const ui::ControlHandle* c : std::initializer_list<const ui::ControlHandle*>{
             &w.标签1, &w.标签2, &w.标签3, &w.编辑框2}) {
        EXPECT_EQ(Back(*c), title);
    }
    EXPECT_EQ(Text(w.标签1), titleText);
    EXPECT_EQ(Text(w.标签2), titleText);
    EXPECT_EQ(Text(w.编辑框2), titleText);
    EXPECT_EQ(headless().WindowBackground(w.Peer()), content);
    EXPECT_EQ(Back(w.超级编辑框1), content);
    EXPECT_EQ(Back(w.列表框1), C(ui::Rgb(231, 225, 208)));
    EXPECT_EQ(Text(w.列表框1), C(ui::Rgb(63, 65, 68)));
    EXPECT_EQ(Back(w.超级列表框1), C(ui::Rgb(208, 202, 185)));
    EXPECT_EQ(Text(w.超级列表框1), C(ui::Rgb(45, 47, 51)));
}

TEST_F(PaintedColoursTest, MissingColourSectionPaintsBlackOnBlack) {
    StartProgram();
    for (const char* key :
         {"Log", "Content", "Text1", "Text2", "Text3", "Home", "Text4", "Text5"}) {
        SetSetting("Color", key, "");
    }
    SetSetting("Color", "Log", "not a number");
    Choose("默认配色方案2");  // any scheme command schedules the refresh
    for (const char* key :
         {"Log", "Content", "Text1", "Text2", "Text3", "Home", "Text4", "Text5"}) {
        SetSetting("Color", key, "");
    }
    Tick();
    ui::MainWindow& w = main();
    EXPECT_EQ(headless().WindowBackground(w.Peer()), C(0));
    for (const ui::ControlHandle* c : std::initializer_list<const ui::ControlHandle*>{
             &w.标签1, &w.标签2, &w.编辑框2, &w.列表框1, &w.超级列表框1}) {
        EXPECT_EQ(Text(*c), C(0));
        EXPECT_EQ(Back(*c), C(0));
    }
    EXPECT_EQ(w.超级编辑框1.GetDefaultFormat().colour, C(0));
}

}  // namespace
}  // namespace testing_support
