#pragma once
// The "窗口透明度调节" command: MainWindow's opacity.
#include "app/app.h"

namespace commands {

// Opens TransparencyWindow modally over MainWindow. Moving the slider changes
// the opacity at once; only "保存" keeps it for the next run.
void OpenTransparencyWindow(app::App& app);

// Makes MainWindow layered with the colour key and this opacity (0..255),
// taking effect at once.
void ApplyOpacity(app::App& app, int alpha);

}  // namespace commands
