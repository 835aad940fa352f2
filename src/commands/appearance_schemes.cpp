#include "commands/appearance_schemes.h"

#include <initializer_list>
#include <string>

#include "store/settings.h"
#include "ui/appearance/colour_scheme.h"
#include "ui/appearance/font_scheme.h"
#include "ui/windows/colour_scheme_window.h"
#include "ui/windows/font_scheme_window.h"

namespace commands {
namespace {

using namespace ui::appearance;

ui::Colour ReadColour(app::App& app, ColourSlot slot) {
    return ColourFromSetting(
        store::ReadSettingInteger(app.files(), "Color", kColourKeyNames[slot]));
}

void WriteColour(app::App& app, ColourSlot slot, ui::Colour colour) {
    store::WriteSetting(app.files(), "Color", kColourKeyNames[slot], std::to_string(colour));
}

Text ReadFontKey(app::App& app, FontSlot slot) {
    return store::ReadSetting(app.files(), "Text", kFontKeyNames[slot]);
}

std::optional<int> StoredChoice(app::App& app, FontSlot slot) {
    return ChoiceIndex(ReadFontKey(app, slot), ChoiceCount(slot));
}

void PaintColours(app::App& app) {
    ui::MainWindow& w = app.main;
    const ui::Colour titleBack = ReadColour(app, kLog);
    const ui::Colour content = ReadColour(app, kContent);
    const ui::Colour titleText = ReadColour(app, kText1);
    w.标签1.SetBackColour(titleBack);
    w.Peer().SetBackColour(content);
    w.标签1.SetTextColour(titleText);
    w.列表框1.SetTextColour(ReadColour(app, kText2));
    // The icon list paints the background behind its item texts with its own
    // background colour.
    w.超级列表框1.SetBackColour(ReadColour(app, kHome));
    w.超级列表框1.SetTextColour(ReadColour(app, kText4));
    w.列表框1.SetBackColour(ReadColour(app, kText5));

    w.标签2.SetTextColour(titleText);
    w.编辑框2.SetTextColour(titleText);
    w.编辑框2.SetBackColour(titleBack);
    w.标签2.SetBackColour(titleBack);
    w.标签3.SetBackColour(titleBack);
    w.超级编辑框1.SetBackColour(content);
}

// A key that names no choice leaves that property of the control as it was.
void ApplyFont(const ui::ControlHandle& control, std::optional<int> face, std::optional<int> size,
               std::optional<int> style) {
    ui::Font font = control.GetFont();
    if (face) font.face = kFontFaces[*face];
    if (size) font = WithPointSize(font, kFontSizes[*size]);
    if (style) font = WithStyle(font, *style);
    control.SetFont(font);
}

void PaintFonts(app::App& app) {
    ui::MainWindow& w = app.main;
    const std::optional<int> face = StoredChoice(app, kFace);
    const std::optional<int> titleSize = StoredChoice(app, kTitleSize);
    const std::optional<int> titleStyle = StoredChoice(app, kTitleStyle);
    for (const ui::ControlHandle* control :
         std::initializer_list<const ui::ControlHandle*>{&w.标签1, &w.标签2, &w.编辑框2}) {
        ApplyFont(*control, face, titleSize, titleStyle);
    }
    ApplyFont(w.列表框1, face, StoredChoice(app, kListSize), StoredChoice(app, kListStyle));
    ApplyFont(w.超级列表框1, face, StoredChoice(app, kHomeSize), StoredChoice(app, kHomeStyle));

    app::EditorRecord& editor = app.editor;
    if (face) editor.face = kFontFaces[*face];
    if (const auto size = StoredChoice(app, kContentSize)) editor.pointSize = kFontSizes[*size];
    if (const auto style = StoredChoice(app, kContentStyle)) editor.effects = *style;
    editor.colour = ReadColour(app, kText3);

    ui::CharFormat format;
    format.face = editor.face;
    format.pointSize = editor.pointSize;
    format.offset = editor.offset;
    format.bold = (editor.effects & 1) != 0;
    format.italic = (editor.effects & 2) != 0;
    format.colour = editor.colour;
    w.超级编辑框1.SetDefaultFormat(format);
}

// Custom colour window ---------------------------------------------------------

// Pickers in the order of the colour keys.
std::array<const ui::ColourPicker*, kColourSlotCount> Pickers(ui::ColourSchemeWindow& w) {
    return {&w.颜色选择器1, &w.颜色选择器2, &w.颜色选择器3, &w.颜色选择器4,
            &w.颜色选择器5, &w.颜色选择器6, &w.颜色选择器7, &w.颜色选择器8};
}

// Picker n edits key n in this order: Log, Content, Text1, Text2, Text3,
// Home, Text4, Text5.
void FillRandomColours(platform::Random& random, ui::ColourSchemeWindow& w) {
    // Picker order 1..8 fixes the order of the draws.
    for (const ui::ColourPicker* picker : Pickers(w)) {
        picker->SetColour(RandomColour([&random] { return random.Draw(); }));
    }
}

void SaveCustomColours(app::App& app, ui::ColourSchemeWindow& w) {
    const auto pickers = Pickers(w);
    for (int slot = 0; slot < kColourSlotCount; ++slot) {
        WriteColour(app, static_cast<ColourSlot>(slot), pickers[slot]->GetColour());
    }
    store::WriteSetting(app.files(), store::kColorNum, "4");
    ApplySchemeCheckMarks(app);
    ScheduleAppearanceRefresh(app);
}

// Font window ------------------------------------------------------------------

// Lists in the order of the keys T1..T9.
std::array<const ui::ListBox*, kFontSlotCount> Lists(ui::FontSchemeWindow& w) {
    return {&w.列表框1, &w.列表框6, &w.列表框7, &w.列表框8, &w.列表框9,
            &w.列表框2, &w.列表框3, &w.列表框4, &w.列表框5};
}

void LoadFontLists(app::App& app, ui::FontSchemeWindow& w) {
    const auto lists = Lists(w);
    for (int slot = 0; slot < kFontSlotCount; ++slot) {
        const long long stored =
            store::ReadSettingInteger(app.files(), "Text", kFontKeyNames[slot]);
        const ui::ListBox& list = *lists[slot];
        // A position beyond the list selects nothing rather than whatever the
        // list control makes of it.
        list.Select(stored >= 0 && stored < list.Count() ? static_cast<int>(stored) : -1);
    }
}

void PreviewFonts(ui::FontSchemeWindow& w) {
    const ui::Label* labels[] = {&w.标签1, &w.标签2, &w.标签3, &w.标签4};
    const ui::ListBox* styles[] = {&w.列表框2, &w.列表框3, &w.列表框4, &w.列表框5};
    const ui::ListBox* sizes[] = {&w.列表框6, &w.列表框7, &w.列表框8, &w.列表框9};
    const int face = w.列表框1.Selected();
    for (int area = 0; area < 4; ++area) {
        ui::Font font = labels[area]->GetFont();
        if (face >= 0 && face < static_cast<int>(kFontFaces.size())) font.face = kFontFaces[face];
        const int style = styles[area]->Selected();
        if (style >= 0 && style < kStyleCount) font = WithStyle(font, style);
        const int size = sizes[area]->Selected();
        if (size >= 0 && size < static_cast<int>(kFontSizes.size())) {
            font = WithPointSize(font, kFontSizes[size]);
        }
        labels[area]->SetFont(font);
    }
}

void RestoreDefaultFonts(app::App& app, ui::FontSchemeWindow& w) {
    for (int slot = 0; slot < kFontSlotCount; ++slot) {
        store::WriteSetting(app.files(), "Text", kFontKeyNames[slot], kDefaultFontScheme[slot]);
    }
    LoadFontLists(app, w);
}

void SaveFonts(app::App& app, ui::FontSchemeWindow& w) {
    w.时钟1.Stop();
    const auto lists = Lists(w);
    for (int slot = 0; slot < kFontSlotCount; ++slot) {
        store::WriteSetting(app.files(), "Text", kFontKeyNames[slot],
                            std::to_string(lists[slot]->Selected()));
    }
    ScheduleAppearanceRefresh(app);
}

}  // namespace

void ApplySchemeCheckMarks(app::App& app) {
    const Text scheme = store::ReadSetting(app.files(), store::kColorNum);
    const char* items[] = {"默认配色方案1", "默认配色方案2", "默认配色方案3", "自定义配色方案"};
    const char* values[] = {"1", "2", "3", "4"};
    for (int chosen = 0; chosen < 4; ++chosen) {
        if (scheme != values[chosen]) continue;
        for (int i = 0; i < 4; ++i) app.main.menu[items[i]].SetChecked(i == chosen);
    }
}

void RefreshAppearance(app::App& app) {
    // One run per scheduling.
    app.main.时钟2.Stop();
    PaintColours(app);
    PaintFonts(app);
}

void ScheduleAppearanceRefresh(app::App& app) {
    app.main.时钟2.Arm();
}

void ChooseBuiltInColourScheme(app::App& app, int number) {
    const ColourScheme& scheme = BuiltInColourScheme(number);
    for (int slot = 0; slot < kColourSlotCount; ++slot) {
        WriteColour(app, static_cast<ColourSlot>(slot), scheme[slot]);
    }
    store::WriteSetting(app.files(), store::kColorNum, std::to_string(number));
    ApplySchemeCheckMarks(app);
    ScheduleAppearanceRefresh(app);
}

void OpenColourSchemeWindow(app::App& app) {
    ui::ColourSchemeWindow window;
    window.Create(app.desktop(), &app.main.Peer());
    // The random generator was seeded from the clock at start-up.
    const auto pickers = Pickers(window);
    for (int slot = 0; slot < kColourSlotCount; ++slot) {
        pickers[slot]->SetColour(ReadColour(app, static_cast<ColourSlot>(slot)));
    }
    ui::ColourSchemeWindow* w = &window;
    app::App* a = &app;
    window.按钮3.OnClick([a, w] { FillRandomColours(a->platform.random, *w); });
    window.按钮1.OnClick([a, w] { SaveCustomColours(*a, *w); });
    window.按钮2.OnClick([w] { w->Close(); });
    app.desktop().RunModal(window.Peer(), &app.main.Peer());
}

void OpenFontSchemeWindow(app::App& app) {
    ui::FontSchemeWindow window;
    window.Create(app.desktop(), &app.main.Peer());
    LoadFontLists(app, window);
    ui::FontSchemeWindow* w = &window;
    app::App* a = &app;
    window.时钟1.OnTick([w] { PreviewFonts(*w); });
    window.按钮3.OnClick([a, w] { RestoreDefaultFonts(*a, *w); });
    window.按钮2.OnClick([a, w] { SaveFonts(*a, *w); });
    window.按钮1.OnClick([w] {
        w->时钟1.Stop();
        w->Close();
    });
    window.时钟1.Arm();
    app.desktop().RunModal(window.Peer(), &app.main.Peer());
}

void BindAppearanceSchemes(app::App& app) {
    ui::MainWindow& w = app.main;
    app::App* a = &app;
    w.时钟2.OnTick([a] { RefreshAppearance(*a); });
    w.menu["默认配色方案1"].OnChoose([a] { ChooseBuiltInColourScheme(*a, 1); });
    w.menu["默认配色方案2"].OnChoose([a] { ChooseBuiltInColourScheme(*a, 2); });
    w.menu["默认配色方案3"].OnChoose([a] { ChooseBuiltInColourScheme(*a, 3); });
    w.menu["自定义配色方案"].OnChoose([a] { OpenColourSchemeWindow(*a); });
    w.menu["自定义字体方案"].OnChoose([a] { OpenFontSchemeWindow(*a); });
}

}  // namespace commands
