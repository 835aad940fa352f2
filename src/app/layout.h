#pragma once
#include "app/app.h"

namespace app {

// Places the main-window controls for the current client size. At start-up
// the three buttons sit at the top right; after a size change they move to
// the bottom right corner.
void LayOutMainWindow(App& app, bool startUp);

// Size change of MainWindow: ignored until start-up has finished, then the
// controls are laid out and the outer size is saved.
void OnMainWindowSizeChanged(App& app);

}  // namespace app
