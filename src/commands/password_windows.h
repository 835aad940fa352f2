#pragma once
// The three password windows: set a password, clear it, and the prompt that
// start-up shows when one is set.
#include "app/app.h"

namespace commands {

// Shown instead of the success message when the password could not be
// stored; nothing else has changed then.
inline constexpr const char* kStoreWriteFailedMessage =
    "设置密码失败：密码文件Custom.db未能写入,密码未设置！";
inline constexpr const char* kSetSettingsFailedMessage =
    "设置密码失败：配置文件Start.ini未能写入,密码未设置！";
inline constexpr const char* kClearSettingsFailedMessage =
    "清除密码失败：配置文件Start.ini未能写入,密码未清除！";

// Menu "设置密码": SetPasswordWindow, modal over MainWindow.
void SetPassword(app::App& app);
// Menu "清除密码": ClearPasswordWindow, modal over MainWindow.
void ClearPassword(app::App& app);
// Start-up's password prompt: UnlockWindow, modal without an owner. Returns
// once it has closed, with the program either unlocked (SessionKey set) or in
// PlainMode; any other way out ends the process.
void ShowUnlockWindow(app::App& app);

}  // namespace commands
