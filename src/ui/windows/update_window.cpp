#include "ui/windows/update_window.h"

#include "ui/windows/dialog_window.h"

namespace ui {
namespace {

using namespace dialog;

WindowDef BuildUpdateWindowDef() {
    const Font font = Yahei(24);
    WindowDef w = NewDialog("UpdateWindow", "墨匣_更新:", 380, 260, Border::Fixed);
    w.controls.push_back(MakeLabel(w, "标签1",
                                   "程序检测到有新版本发布，请点击以下按钮前往软件主页以更新到最"
                                   "新版本感谢您的使用！！！作者：砚池客！2020.10",
                                   {13, 14, 344, 136}, font));
    // Its caption is the home page's address, which whoever opens the window
    // knows.
    w.controls.push_back(MakeButton("按钮1", "", {13, 158, 344, 40}, font));
    return w;
}

}  // namespace

const WindowDef& UpdateWindowDef() {
    static const WindowDef def = BuildUpdateWindowDef();
    return def;
}

void UpdateWindow::Create(platform::Desktop& desktop, WindowPeer* owner) {
    Build(desktop, UpdateWindowDef(), owner);
    MOXIA_BIND(标签1);
    MOXIA_BIND(按钮1);
}

}  // namespace ui
