#include "program/startup.h"

#include "about/help_text.h"
#include "app/layout.h"
#include "app/page_states.h"
#include "commands/appearance_opacity.h"
#include "commands/appearance_schemes.h"
#include "commands/password_windows.h"
#include "store/settings.h"

namespace program {

using namespace app;

namespace {

void WriteWelcomeHelpDocument(app::App& app) {
    platform::Files& files = app.files();
    const Text folder = store::DirectoryPath(files, "DefaultLog");
    if (!files.Exists(folder)) files.CreateFolder(folder);
    // Not reported and not retried: the "帮助" command writes the same text.
    files.WriteFile(folder + "\\帮助文档.txt", about::WelcomeHelpText());
}

void SizeAndCentreMainWindow(app::App& app) {
    ui::WindowPeer& window = app.main.Peer();
    const long long width = store::ReadSettingInteger(app.files(), store::kWindowWidth);
    const long long height = store::ReadSettingInteger(app.files(), store::kWindowHeight);
    window.SetOuterSize(static_cast<int>(width), window.GetOuterRect().height);
    window.SetOuterSize(window.GetOuterRect().width, static_cast<int>(height));
    const ui::Rect applied = window.GetOuterRect();
    const ui::Size screen = app.desktop().ScreenSize();
    const int left = static_cast<int>((screen.width - applied.width) / 2.0);
    const int top = static_cast<int>((screen.height - applied.height) / 2.0);
    window.SetOuterPosition(left, top);
    app.main.标签3.SetWidth(applied.width);
}

void EnforceMinimumWindowSize(app::App& app) {
    ui::WindowPeer& window = app.main.Peer();
    const ui::Rect outer = window.GetOuterRect();
    const store::WindowSize size = store::ApplyMinimumWindowSize(outer.width, outer.height);
    if (!size.rewrite) return;
    window.SetOuterSize(window.GetOuterRect().width, static_cast<int>(size.height));
    window.SetOuterSize(static_cast<int>(size.width), window.GetOuterRect().height);
    store::WriteWindowSize(app.files(), size.width, size.height);
}

}  // namespace

void HandOverToUnlockWindow(app::App& app) {
    // Blocks until the prompt has closed: unlocked (SessionKey set) or
    // PlainMode chosen; every other way out ends the process.
    commands::ShowUnlockWindow(app);
}

void RunStartUp(app::App& app) {
    SessionState& state = app.state;
    ui::MainWindow& w = app.main;
    platform::Files& files = app.files();

    state.LayoutReady = false;
    app.platform.random.Seed(app.platform.clock.NowMilliseconds());
    const Text root = store::DataRoot(files);
    if (!files.Exists(root)) files.CreateFolder(root);

    state.CurrentPage = Page::Directory;
    for (const ui::Button* button : {&w.按钮1, &w.按钮2, &w.按钮3}) {
        button->Disable();
        button->Hide();
    }
    // The export dialog starts in the program folder.
    app.exportFolder = files.ProgramFolder();

    w.列表框1.Select(-1);
    state.DocumentCount = 0;
    state.DirectoryCount = 0;
    state.PlainModeChosen = false;

    ApplyPageColumn(app, PageColumn::StartUp);

    store::InitialiseSettingsIfNew(files);
    commands::ApplyOpacity(app,
                           static_cast<int>(store::ReadSettingInteger(files, store::kAlphaNum)));

    if (store::IsPasswordSet(files)) HandOverToUnlockWindow(app);

    ApplyProtectionColumn(app, IsPasswordMode(app) ? ProtectionColumn::StartUpPasswordMode
                                                   : ProtectionColumn::StartUpPlainMode);

    if (store::ReadSetting(files, store::kStartNum) == "0") {
        WriteWelcomeHelpDocument(app);
        store::WriteSetting(files, store::kStartNum, "1");
    }

    commands::ApplySchemeCheckMarks(app);
    SizeAndCentreMainWindow(app);
    state.DirectoryIconIndex = static_cast<int>(store::ReadSettingInteger(files, store::kIconNum));
    EnforceMinimumWindowSize(app);

    w.时钟2.Arm();
    w.时钟3.Arm();

    LayOutMainWindow(app, true);

    app.editor.face = "微软雅黑";
    for (const ui::ControlHandle* control : std::initializer_list<const ui::ControlHandle*>{
             &w.超级列表框1, &w.标签1, &w.标签2, &w.列表框1, &w.编辑框2}) {
        control->SetFontFace("微软雅黑");
    }
    state.LayoutReady = true;
}

}  // namespace program
