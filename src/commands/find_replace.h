#pragma once
// FindReplaceWindow: searches and replaces in the content editor. The window
// does not block MainWindow; it lives in App::findReplace until closed.
#include <string_view>

#include "app/app.h"

namespace commands {

// Opens the window, or brings the open one forward.
void OpenFindReplace(app::App& app);

// The length in editor positions of a search text of GBK bytes: a
// double-byte character, or a CR with the byte after it, is one position.
int SearchLengthInPositions(std::string_view bytes);

}  // namespace commands
