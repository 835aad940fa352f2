#include "app/navigation.h"

#include "app/page_states.h"
#include "store/settings.h"
#include "ui/icon_strips.h"

namespace app {
namespace {

void SetButtonsVisible(App& app, bool visible) {
    app.main.按钮1.SetVisible(visible);
    app.main.按钮2.SetVisible(visible);
    app.main.按钮3.SetVisible(visible);
}

void SetButtonsEnabled(App& app, bool enabled) {
    app.main.按钮1.SetEnabled(enabled);
    app.main.按钮2.SetEnabled(enabled);
    app.main.按钮3.SetEnabled(enabled);
}

}  // namespace

void RefreshDocumentList(App& app) {
    ui::MainWindow& w = app.main;
    w.列表框1.Clear();
    app.state.DocumentCount = 0;
    const store::Mode mode = CurrentMode(app);
    const std::vector<Text> titles =
        store::ListDocuments(app.files(), app.state.CurrentDirectory, mode);
    w.列表框1.AddItems(titles);
    app.state.DocumentCount += static_cast<int>(titles.size());
    w.标签1.SetText(
        store::DocumentListStatusText(app.state.CurrentDirectory, app.state.DocumentCount, mode));
}

void OpenDirectory(App& app) {
    ui::MainWindow& w = app.main;
    SetButtonsVisible(app, true);
    const int index = w.超级列表框1.Selected();
    if (index < 0) return;
    app.state.CurrentDirectory = w.超级列表框1.ItemText(index);
    RefreshDocumentList(app);
    ApplyPageColumn(app, PageColumn::OpenDirectory);
    app.state.CurrentPage = Page::DocumentList;
    SetButtonsEnabled(app, true);
    w.超级列表框1.Clear();
}

void ReturnToDirectories(App& app) {
    ui::MainWindow& w = app.main;
    SetButtonsVisible(app, false);
    SetButtonsEnabled(app, false);
    w.标签1.SetText("");
    w.超级列表框1.Clear();
    ApplyPageColumn(app, PageColumn::ReturnToDirectories);
    app.state.CurrentPage = Page::Directory;
    ArmDirectoryRefresh(app);
}

void ReturnToDocumentList(App& app) {
    ui::MainWindow& w = app.main;
    w.编辑框2.SetText("");
    w.超级编辑框1.SetText("");
    app.editorSource = {};
    RefreshDocumentList(app);
    ApplyPageColumn(app, PageColumn::ReturnToDocumentList);
    app.state.CurrentPage = Page::DocumentList;
}

void OpenDocument(App& app) {
    ui::MainWindow& w = app.main;
    const Text title = w.列表框1.SelectedText();
    if (title.empty()) return;
    const store::Mode mode = CurrentMode(app);
    const Text* key = nullptr;
    if (mode == store::Mode::Password && (key = RequireSessionKey(app)) == nullptr) return;
    w.编辑框2.SetText(title);
    const store::DocumentText document = store::ReadDocument(
        app.files(), app.state.CurrentDirectory, title, mode, key ? *key : Text());
    w.超级编辑框1.SetText(document.text);
    app.editorSource = {store::DocumentPath(app.files(), app.state.CurrentDirectory, title, mode),
                        document.text, document.unreadable};
    ApplyPageColumn(app, PageColumn::OpenDocument);
    app.state.CurrentPage = Page::Editor;
    SetButtonsEnabled(app, true);
    if (document.unreadable) ShowMessage(app, kUnreadableDocumentMessage);
    w.超级编辑框1.Focus();
}

void StartNewDocument(App& app) {
    ui::MainWindow& w = app.main;
    w.编辑框2.SetText("");
    w.超级编辑框1.SetText("");
    app.editorSource = {};
    ApplyPageColumn(app, PageColumn::NewDocument);
    w.编辑框2.Focus();
}

void FillDirectoryPage(App& app) {
    ui::MainWindow& w = app.main;
    app.state.DirectoryIconIndex =
        static_cast<int>(store::ReadSettingInteger(app.files(), store::kIconNum));
    w.超级列表框1.SetImages(ui::LoadIconStrip(platform::IconStrip::Large));
    const std::vector<Text> names = store::ListDirectories(app.files());
    w.超级列表框1.AppendItems(names, app.state.DirectoryIconIndex);
    app.state.DirectoryCount += static_cast<int>(names.size());
    w.标签1.SetText(store::DirectoryStatusText(app.state.DirectoryCount, CurrentMode(app)));
    app.state.DocumentCount = 0;
    app.state.DirectoryCount = 0;
    w.时钟3.Stop();
}

void ArmDirectoryRefresh(App& app) {
    app.main.时钟3.Arm();
}

}  // namespace app
