#pragma once
// TitleSearchWindow: filters the document list of the open directory by a
// piece of title.
#include <string_view>

#include "app/app.h"

namespace commands {

// Shows the window modally over MainWindow.
void OpenTitleSearch(app::App& app);

// Whether `part` occurs in `title` starting at a character boundary (a
// double-byte character is never entered at its second byte); letter case
// counts.
bool TitleContains(std::string_view title, std::string_view part);

}  // namespace commands
