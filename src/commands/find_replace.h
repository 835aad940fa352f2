#pragma once
// FindReplaceWindow: searches and replaces in the content editor. The window
// does not block MainWindow; it lives in App::findReplace until closed.
#include <string_view>

#include "app/app.h"

namespace commands {

// Opens the window, or brings the open one forward.
void OpenFindReplace(app::App& app);

// The length in editor positions of a search text of GBK bytes: a
// double-byte character, or a CR with the byte after it, is one position; a
// four-byte character is as many as its UTF-16 units.
int SearchLengthInPositions(std::string_view bytes);

// What Replace all makes of the editor's text (CR LF line breaks): every
// occurrence of `what`, searched from the start at character boundaries and
// on after each inserted replacement, replaced by `by`, case-sensitively. As
// in the editor, an occurrence that starts or ends inside a CR LF is none.
Text ReplaceEvery(std::string_view text, std::string_view what, std::string_view by, int& count);

}  // namespace commands
