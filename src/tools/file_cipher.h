#pragma once
// The file cipher tool: any file encrypted or decrypted with the session key
// through FileCipherWindow, optionally deleting the source afterwards. The
// result is the bare cipher output (no header, same length), the format of
// ".rc" documents.
#include "app/app.h"

namespace tools {

inline constexpr const char* kCipherMissingPathMessage = "未声明文件路径或储存路径!";

// Instead of the success message when nothing could be done. The message
// starts with the failed direction, and the path follows the text.
inline constexpr const char* kEncryptFailedPrefix = "加密失败：";
inline constexpr const char* kDecryptFailedPrefix = "解密失败：";
inline constexpr const char* kSourceUnreadableText = "源文件无法读取,目标文件未写入!\r\n";
inline constexpr const char* kTargetNotWrittenText = "目标文件未能写入!\r\n";
// Appended when "删除源文件" was checked but the source stays.
inline constexpr const char* kSourceKeptText = "\r\n源文件未删除!";
inline constexpr const char* kSourceIsTargetText = "\r\n源文件即目标文件,未删除!";
inline constexpr const char* kSourceNotDeletedText = "\r\n源文件未能删除!";

// Menus "为其他文件加密" and "为其他文件解密": FileCipherWindow, modal over
// MainWindow, working in the given direction while it is open.
void OpenFileCipherWindow(app::App& app, app::FileCipherDirection direction);

// The source through RC4 under `key` into the target, in pieces, so the
// file's size does not matter. The target is replaced only when everything
// was read and written; a failure on either side leaves it as it was. It is
// on the disk when this returns if it replaced a file or the source is to be
// deleted next.
enum class CipherStatus { Ok, SourceUnreadable, TargetNotWritten };
CipherStatus CipherFile(platform::Files& files, const Text& source, const Text& target,
                        const Text& key, bool sourceDeletedAfter);

// The name the save dialog proposes from the dialog's current file name.
Text ProposeTargetName(const Text& current, app::FileCipherDirection direction);

}  // namespace tools
