#include "commands/document_commands.h"

#include "app/confirm_dialog.h"
#include "app/navigation.h"
#include "app/page_states.h"
#include "store/line_breaks.h"
#include "ui/windows/new_directory_window.h"

namespace commands {
namespace {

// The editor's text with the line breaks of the document it was filled from.
Text ContentToSave(app::App& app) {
    const Text edited = app.main.超级编辑框1.GetText();
    if (app.editorSource.path.empty()) return edited;
    return store::RestoreLineBreaks(app.editorSource.text, edited);
}

void CreateDirectory(app::App& app, ui::NewDirectoryWindow& window) {
    platform::Files& files = app.files();
    const Text name = window.编辑框1.GetText();
    if (name.empty()) {
        app::ShowMessage(app, "目录需要命名！");
        window.编辑框1.Focus();
        return;
    }
    if (!store::IsSingleFileName(name)) {
        app::ShowMessage(app, kInvalidNameMessage);
        window.编辑框1.Focus();
        return;
    }
    const Text path = store::DirectoryPath(files, name);
    if (files.Exists(path)) {
        app::ShowMessage(app, "已有相同名称目录存在,需重新命名以完成新建目录！");
        return;
    }
    if (!files.CreateFolder(path)) {
        app::ShowMessage(app, kCreateFolderFailedMessage);
        return;
    }
    app.main.超级列表框1.Clear();
    app::ArmDirectoryRefresh(app);
    window.Close();
}

}  // namespace

void NewDirectory(app::App& app) {
    platform::Files& files = app.files();
    const Text root = store::DataRoot(files);
    if (!files.Exists(root)) files.CreateFolder(root);
    app::ShowDirectoryView(app);

    app::RunConfirmDialog<ui::NewDirectoryWindow>(app, CreateDirectory);
}

void SaveDocument(app::App& app) {
    ui::MainWindow& w = app.main;
    const Text content = ContentToSave(app);
    const Text title = w.编辑框2.GetText();
    if (title.empty()) {
        app::ShowMessage(app, "必须填写标题！");
    } else if (!store::IsSingleFileName(title)) {
        app::ShowMessage(app, kInvalidNameMessage);
    } else {
        // Encrypted in memory and written straight to the ".rc" file: the
        // plain text never reaches the disk in PasswordMode.
        const store::Mode mode = app::CurrentMode(app);
        const Text path = store::DocumentPath(app.files(), app.state.CurrentDirectory, title, mode);
        const app::EditorSource& source = app.editorSource;
        const Text* key = nullptr;
        if (mode == store::Mode::Password && (key = app::RequireSessionKey(app)) == nullptr) {
            // Told; the editor keeps the text.
        } else if (source.unreadable && store::SamePath(source.path, path) &&
                   app.files().Exists(path)) {
            // The editor holds none of that file; writing it would destroy it.
            app::ShowMessage(app, kUnreadSourceMessage);
        } else if (app.files().WriteFile(
                       path, store::DocumentFileBytes(content, mode, key ? *key : Text()))) {
            app.editorSource = {path, content, false};
            app::ShowMessage(app, "已保存！");
            w.列表框1.Clear();
            w.标签2.Hide();
        } else {
            app::ShowMessage(app, kSaveFailedMessage);
        }
    }
    app::ApplyPageColumn(app, app::PageColumn::AfterSave);
}

void SaveAsPlainFile(app::App& app) {
    const ui::ControlDef& def = app.main.通用对话框1.Peer().Definition();
    ui::FileDialogRequest request;
    request.save = true;
    request.title = def.dialogTitle;
    request.filter = def.dialogFilter;
    request.defaultExtension = def.defaultExtension;
    request.initialFolder = app.exportFolder;
    request.initialPath = app.lastExportPath;
    const std::optional<Text> path = app.main.通用对话框1.Show(request);
    if (!path) return;
    app.lastExportPath = *path;
    // Never encrypted, in either mode.
    if (!app.files().WriteFile(*path, ContentToSave(app))) {
        app::ShowMessage(app, kExportFailedMessage);
    }
}

void DeleteDocument(app::App& app) {
    ui::MainWindow& w = app.main;
    platform::Files& files = app.files();
    const Text title = w.编辑框2.GetText();
    const store::Mode mode = app::CurrentMode(app);
    const Text path = store::DocumentPath(files, app.state.CurrentDirectory, title, mode);
    // A title that cannot be a file name names no document of this folder.
    if (!store::IsSingleFileName(title) || !files.Exists(path)) {
        app::ShowMessage(app, "当前文档未保存,不能删除！");
        return;
    }
    if (!files.DeleteFile(path)) {
        app::ShowMessage(app, kDeleteFailedMessage);
        return;
    }
    w.编辑框2.SetText("");
    w.超级编辑框1.SetText("");
    app.editorSource = {};
    app::RefreshDocumentList(app);
    app::ShowListView(app);
    app::ApplyPageColumn(app, app::PageColumn::AfterDelete);
    app::ShowMessage(app, "已删除！");
}

void OpenDataFolder(app::App& app) {
    app.platform.shell.Open(app.files().CurrentDirectory() + "\\Default\\");
}

void ExitProgram(app::App& app) {
    app.desktop().ExitProcess(0);
}

}  // namespace commands
