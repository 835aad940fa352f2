#pragma once
#include "app/app.h"

namespace program {

// Runs once, bound to the creation of MainWindow, before the user can act.
void RunStartUp(app::App& app);

// Where start-up hands over to the password prompt when a password is set.
void HandOverToUnlockWindow(app::App& app);

}  // namespace program
