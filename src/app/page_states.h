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

// The password items of the menu for each moment the protection changes.
enum class ProtectionColumn {
    StartUpPasswordMode,  // start-up ends in PasswordMode (after an unlock)
    StartUpPlainMode,     // start-up ends in PlainMode (no password, or chosen)
    Unlocked,
    PlainModeChosen,
    PasswordSet,
    PasswordCleared,
};

// Sets exactly the cells of the column, as ApplyPageColumn does.
void ApplyProtectionColumn(App& app, ProtectionColumn column);

// The directory view and the list view of the document commands.
void ShowDirectoryView(App& app);
void ShowListView(App& app);

}  // namespace app
