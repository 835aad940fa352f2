#include "commands/editing.h"

#include "commands/find_replace.h"

namespace commands {

void BindEditMenu(app::App& app) {
    ui::MainWindow& w = app.main;
    app::App* a = &app;
    w.menu["撤销"].OnChoose([a] { a->main.超级编辑框1.Undo(); });
    w.menu["剪切"].OnChoose([a] { a->main.超级编辑框1.Cut(); });
    w.menu["复制"].OnChoose([a] { a->main.超级编辑框1.Copy(); });
    w.menu["粘贴"].OnChoose([a] { a->main.超级编辑框1.Paste(); });
    w.menu["全选"].OnChoose(
        [a] { a->main.超级编辑框1.SetSelection(0, a->main.超级编辑框1.Length()); });
    // Removing the selection puts the caret at the beginning of the text.
    w.menu["取消全选"].OnChoose([a] { a->main.超级编辑框1.SetSelection(0, 0); });
    w.menu["查找替换"].OnChoose([a] { OpenFindReplace(*a); });
}

}  // namespace commands
