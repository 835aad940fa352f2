#pragma once
// The running program: its facilities, its per-run state and MainWindow.
#include <memory>

#include "app/session_state.h"
#include "app/version_server.h"
#include "platform/platform.h"
#include "store/data_folder.h"
#include "ui/windows/find_replace_window.h"
#include "ui/windows/main_window.h"

namespace app {

// Which way FileCipherWindow works; set by the menu command that opens it.
enum class FileCipherDirection { Encrypt, Decrypt };

// The file OpenDocument filled the editor from (or the last save wrote), kept
// until the editor is emptied or filled again. Saves give the text its own
// line breaks back, and a file that is there but could not be read is never
// saved over from the empty editor.
struct EditorSource {
    Text path;  // empty: the editor holds a new document
    Text text;  // the document's text as read or written, line breaks as in the file
    bool unreadable = false;
};

struct App {
    explicit App(platform::Platform& platform) : platform(platform) {}
    platform::Platform& platform;
    SessionState state;
    EditorRecord editor;
    ui::MainWindow main;
    EditorSource editorSource;
    // MainWindow's export dialog: where it opens, and the path chosen last
    // (remembered for the run only).
    Text exportFolder;
    Text lastExportPath;
    // The find-and-replace window does not block MainWindow, so it outlives
    // the command that opened it; at most one is open.
    std::unique_ptr<ui::FindReplaceWindow> findReplace;
    // The home page and version page server of the "关于" menu.
    about::VersionServer versionServer;
    FileCipherDirection fileCipherDirection = FileCipherDirection::Encrypt;

    platform::Files& files() const { return platform.files; }
    platform::Desktop& desktop() const { return platform.desktop; }
};

// PasswordMode if and only if Start/Num1 reads "1" right now and the user did
// not choose PlainMode at start-up. Never cached.
store::Mode CurrentMode(App& app);
bool IsPasswordMode(App& app);

// The session key when PasswordMode may use it; nullptr, after telling the
// user that nothing can be encrypted or decrypted, when this run holds none.
const Text* RequireSessionKey(App& app);
inline constexpr const char* kNoSessionKeyMessage =
    "密码是在本次运行之外设置的,本次运行没有密钥,不能加密或解密,未作任何更改。\r\n"
    "请重新启动墨匣并输入密码后再操作。";

// A message box with the program's caption over its windows, owned by the
// dialog whose modal loop is running, or else by MainWindow.
void ShowMessage(App& app, const Text& message);

}  // namespace app
