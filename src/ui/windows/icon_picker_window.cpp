#include "ui/windows/icon_picker_window.h"

#include "ui/windows/dialog_window.h"

namespace ui {
namespace {

using namespace dialog;

WindowDef BuildIconPickerWindowDef() {
    WindowDef w =
        NewDialog("IconPickerWindow", "自定义文档目录图标:", 640, 360, Border::Fixed, std::nullopt);
    // The code that opens the window fills the list and fits it, and moves
    // the buttons, to the client area it actually gets.
    w.controls.push_back(
        MakeControl("超级列表框1", ControlKind::IconList, "", {0, 0, 688, 552}, Font{}));
    w.controls.push_back(MakeDefaultButton("按钮1", "确定", {452, 248, 72, 30}, Font{}));
    w.controls.push_back(MakeButton("按钮2", "取消", {539, 248, 72, 30}, Font{}));
    return w;
}

}  // namespace

const WindowDef& IconPickerWindowDef() {
    static const WindowDef def = BuildIconPickerWindowDef();
    return def;
}

void IconPickerWindow::Create(platform::Desktop& desktop, WindowPeer* owner) {
    Build(desktop, IconPickerWindowDef(), owner);
    MOXIA_BIND(超级列表框1);
    MOXIA_BIND(按钮1);
    MOXIA_BIND(按钮2);
}

}  // namespace ui
