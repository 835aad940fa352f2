#pragma once
// Moving between the three pages of MainWindow.
#include "app/app.h"

namespace app {

// Told when a document is there but cannot be read; the editor opens empty
// and a save under its title is refused while it cannot be read.
inline constexpr const char* kUnreadableDocumentMessage =
    "无法读取该文档（可能正被其他程序占用,或没有读取权限）。\r\n"
    "编辑区为空,原文件未作任何更改；在重新打开它之前,不能以原标题保存。";

void OpenDirectory(App& app);
void ReturnToDirectories(App& app);
void ReturnToDocumentList(App& app);
void OpenDocument(App& app);
void StartNewDocument(App& app);
void RefreshDocumentList(App& app);
void FillDirectoryPage(App& app);
void ArmDirectoryRefresh(App& app);

}  // namespace app
