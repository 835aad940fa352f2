#pragma once
// Which controls each main-window operation shows or hides and which menu
// items it enables or disables, as one table per operation.
#include "app/app.h"

namespace app {

enum class PageColumn {
    StartUp,
    OpenDirectory,
    ReturnToDirectories,
    ReturnToDocumentList,
    SearchButton,
    OpenDocument,
    NewDocument,
    AfterSave,
    AfterDelete,
};

// Sets exactly the cells of the column; cells the operation doesn't touch
// are left alone.
void ApplyPageColumn(App& app, PageColumn column);

// The directory view and the list view of the document commands.
void ShowDirectoryView(App& app);
void ShowListView(App& app);

}  // namespace app
