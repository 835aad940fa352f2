#pragma once
// The four backup commands of the "功能" menu: pack the data folder into
// Bak.zip or RC.bak in the program folder, and restore from them.
#include "app/app.h"

namespace tools {

void PackPlainBackup(app::App& app);
void RestorePlainBackup(app::App& app);
// The protected pair does nothing unless Start/Num1 reads "1".
void PackProtectedBackup(app::App& app);
void RestoreProtectedBackup(app::App& app);

}  // namespace tools
