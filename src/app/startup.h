#pragma once
#include "app/app.h"

namespace app {

// Runs once, bound to the creation of MainWindow, before the user can act.
void RunStartUp(App& app);

// Where start-up hands over to the password prompt when a password is set.
void HandOverToUnlockWindow(App& app);

// Makes MainWindow layered with the colour key and this opacity (0..255),
// taking effect at once.
void ApplyOpacity(App& app, int alpha);

// Check marks of the four colour-scheme items from Color/Num.
void ApplySchemeCheckMarks(App& app);

}  // namespace app
