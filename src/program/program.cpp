#include "program/program.h"

#include "about/about_commands.h"
#include "app/layout.h"
#include "app/navigation.h"
#include "app/page_states.h"
#include "commands/appearance_icons.h"
#include "commands/appearance_opacity.h"
#include "commands/appearance_schemes.h"
#include "commands/document_commands.h"
#include "commands/editing.h"
#include "commands/find_replace.h"
#include "commands/password_windows.h"
#include "commands/title_search.h"
#include "program/startup.h"
#include "store/settings.h"
#include "tools/backup_commands.h"
#include "tools/file_cipher.h"

namespace program {

// Start-up and the bindings call the shared page operations throughout.
using namespace app;

namespace {

// The three buttons decide by the current page alone.
void OnBackButton(app::App& app) {
    // The list-page test comes first; it moves to the directory page, so at
    // most one of the two runs.
    if (app.state.CurrentPage == Page::DocumentList) {
        ReturnToDirectories(app);
    } else if (app.state.CurrentPage == Page::Editor) {
        ReturnToDocumentList(app);
        app.main.按钮1.Enable();
    }
}

void OnSearchButton(app::App& app) {
    if (app.state.CurrentPage == Page::DocumentList) {
        RefreshDocumentList(app);
        ApplyPageColumn(app, PageColumn::SearchButton);
        app.state.CurrentPage = Page::DocumentList;
        app.main.按钮1.Enable();
        commands::OpenTitleSearch(app);
    } else if (app.state.CurrentPage == Page::Editor) {
        commands::OpenFindReplace(app);
    }
}

}  // namespace

void BindMainWindowEvents(app::App& app) {
    ui::MainWindow& w = app.main;
    App* a = &app;
    w.Peer().SetSizeHandler([a] { OnMainWindowSizeChanged(*a); });
    w.Peer().SetCloseHandler([a] {
        a->desktop().Quit(0);
        return true;
    });
    w.超级列表框1.OnChoose([a] { OpenDirectory(*a); });
    w.列表框1.OnSelect([a] { OpenDocument(*a); });
    w.按钮1.OnClick([a] { OnBackButton(*a); });
    w.按钮2.OnClick([a] { OnSearchButton(*a); });
    w.按钮3.OnClick([a] { StartNewDocument(*a); });
    w.时钟3.OnTick([a] { FillDirectoryPage(*a); });
    w.超级编辑框1.OnRightButtonDown([a] { a->main.menu.PopUpAtCursor("编辑"); });

    w.menu["新建文档文件"].OnChoose([a] { StartNewDocument(*a); });
    w.menu["新建文档"].OnChoose([a] { StartNewDocument(*a); });
    w.menu["返回文档目录"].OnChoose([a] { ReturnToDirectories(*a); });
    w.menu["返回目录"].OnChoose([a] { ReturnToDirectories(*a); });
    w.menu["返回文档列表"].OnChoose([a] { ReturnToDocumentList(*a); });
    w.menu["返回列表"].OnChoose([a] { ReturnToDocumentList(*a); });

    w.menu["新建文档目录"].OnChoose([a] { commands::NewDirectory(*a); });
    w.menu["保存当前文档"].OnChoose([a] { commands::SaveDocument(*a); });
    w.menu["另存为无密文件"].OnChoose([a] { commands::SaveAsPlainFile(*a); });
    w.menu["删除当前文档"].OnChoose([a] { commands::DeleteDocument(*a); });
    w.menu["批量删除操作"].OnChoose([a] { commands::OpenDataFolder(*a); });
    w.menu["退出"].OnChoose([a] { commands::ExitProgram(*a); });
    w.menu["设置密码"].OnChoose([a] { commands::SetPassword(*a); });
    w.menu["清除密码"].OnChoose([a] { commands::ClearPassword(*a); });
    w.menu["自定义文档目录图标"].OnChoose([a] { commands::OpenIconPicker(*a); });
    w.menu["窗口透明度调节"].OnChoose([a] { commands::OpenTransparencyWindow(*a); });
    w.menu["无密打包备份"].OnChoose([a] { tools::PackPlainBackup(*a); });
    w.menu["复原无密备份"].OnChoose([a] { tools::RestorePlainBackup(*a); });
    w.menu["有密打包备份"].OnChoose([a] { tools::PackProtectedBackup(*a); });
    w.menu["复原有密备份"].OnChoose([a] { tools::RestoreProtectedBackup(*a); });
    w.menu["为其他文件加密"].OnChoose(
        [a] { tools::OpenFileCipherWindow(*a, FileCipherDirection::Encrypt); });
    w.menu["为其他文件解密"].OnChoose(
        [a] { tools::OpenFileCipherWindow(*a, FileCipherDirection::Decrypt); });
    w.menu["软件主页"].OnChoose([a] { about::OpenHomePage(*a); });
    w.menu["帮助"].OnChoose([a] { about::WriteHelpDocument(*a); });
    w.menu["版本"].OnChoose([a] { about::CheckVersion(*a); });

    commands::BindEditMenu(app);
    // The appearance refresh (时钟2) and the colour and font scheme items.
    commands::BindAppearanceSchemes(app);
}

void StartProgram(app::App& app) {
    app.main.Create(app.desktop());
    BindMainWindowEvents(app);
    RunStartUp(app);
    app.main.Peer().Show();
    // The keyboard starts on the directory page's list.
    app.main.超级列表框1.Focus();
}

int RunProgram(platform::Platform& platform) {
    App app(platform);
    StartProgram(app);
    return platform.desktop.RunMessageLoop();
}

}  // namespace program
