#include "ui/windows/title_search_window.h"

#include "ui/windows/dialog_window.h"

namespace ui {
namespace {

using namespace dialog;

WindowDef BuildTitleSearchWindowDef() {
    // The default GUI face throughout.
    WindowDef w = NewDialog("TitleSearchWindow", "搜搜标题：", 339, 143, Border::Fixed);
    auto& c = w.controls;
    c.push_back(
        MakeEdit("编辑框1", {9, 8, 312, 40}, Font{.face = "", .height = 23, .weight = 700}));
    c.push_back(MakeDefaultButton("按钮1", "搜索", {249, 56, 72, 40}, Font{}));
    c.push_back(
        MakeLabel(w, "标签1", "", {8, 64, 232, 32}, Font{.face = "", .height = 20, .weight = 700}));
    return w;
}

}  // namespace

const WindowDef& TitleSearchWindowDef() {
    static const WindowDef def = BuildTitleSearchWindowDef();
    return def;
}

void TitleSearchWindow::Create(platform::Desktop& desktop, WindowPeer* owner) {
    Build(desktop, TitleSearchWindowDef(), owner);
    MOXIA_BIND(编辑框1);
    MOXIA_BIND(按钮1);
    MOXIA_BIND(标签1);
}

}  // namespace ui
