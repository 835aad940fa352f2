#pragma once
// Colour and font schemes of MainWindow, and the appearance refresh that
// paints them from Start.ini.
#include "app/app.h"

namespace commands {

// Reads sections Color and Text and paints MainWindow: the tick of 时钟2,
// which runs once per scheduling.
void RefreshAppearance(app::App& app);

// Schedules one appearance refresh after the current handler returns.
void ScheduleAppearanceRefresh(app::App& app);

// "默认配色方案1" .. "默认配色方案3".
void ChooseBuiltInColourScheme(app::App& app, int number);

// "自定义配色方案" and "自定义字体方案": modal over MainWindow.
void OpenColourSchemeWindow(app::App& app);
void OpenFontSchemeWindow(app::App& app);

// Check marks of the four colour-scheme items from Color/Num.
void ApplySchemeCheckMarks(app::App& app);

// Binds the scheme menu items and the refresh timer of MainWindow.
void BindAppearanceSchemes(app::App& app);

}  // namespace commands
