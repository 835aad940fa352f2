#pragma once
#include "app/app.h"

namespace app {

// Creates MainWindow, binds its events, runs start-up and shows it. Tests
// drive the program from here on; the real program runs the message loop.
void StartProgram(App& app);

// Binds every MainWindow control, menu item and timer to its operation.
void BindMainWindowEvents(App& app);

}  // namespace app
