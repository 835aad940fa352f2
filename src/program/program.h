#pragma once
#include "app/app.h"

namespace program {

// Creates MainWindow, binds its events, runs start-up and shows it. Tests
// drive the program from here on; the real program runs the message loop.
void StartProgram(app::App& app);

// Binds every MainWindow control, menu item and timer to its operation.
void BindMainWindowEvents(app::App& app);

// Creates MainWindow, runs start-up, shows it and runs the message loop.
int RunProgram(platform::Platform& platform);

}  // namespace program
