#pragma once
// The "自定义文档目录图标" command: one icon for every document directory.
#include "app/app.h"

namespace commands {

// Opens IconPickerWindow modally over MainWindow.
void OpenIconPicker(app::App& app);

inline constexpr const char* kChooseIconFirstMessage = "选中图标后继续!";

}  // namespace commands
