#pragma once
// Moving between the three pages of MainWindow.
#include "app/app.h"

namespace app {

void OpenDirectory(App& app);
void ReturnToDirectories(App& app);
void ReturnToDocumentList(App& app);
void OpenDocument(App& app);
void StartNewDocument(App& app);
void RefreshDocumentList(App& app);
void FillDirectoryPage(App& app);
void ArmDirectoryRefresh(App& app);

// The three buttons decide by the current page alone.
void OnBackButton(App& app);
void OnSearchButton(App& app);

}  // namespace app
