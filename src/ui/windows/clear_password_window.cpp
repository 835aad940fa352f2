#include "ui/windows/clear_password_window.h"

#include "ui/windows/dialog_window.h"

namespace ui {
namespace {

using namespace dialog;

WindowDef BuildClearPasswordWindowDef() {
    const Font font = Yahei(20);
    WindowDef w = NewDialog("ClearPasswordWindow", "", 667, 193, Border::None);
    auto& c = w.controls;
    c.push_back(MakeLabel(w, "标签1", "此操作即将清除保护数据安全的密码,输入正确密匙后继续!",
                          {18, 15, 566, 36}, font));
    c.push_back(MakePasswordEdit("编辑框1", {18, 60, 630, 36}, font));
    c.push_back(MakeLabel(w, "标签2",
                          "清除此密码后将无法查看之前加密过的文件!\r\n"
                          "如需再次查看,重新设置密码时设置为此密码即可!",
                          {18, 119, 439, 65}, font));
    c.push_back(MakeDefaultButton("按钮1", "清除", {474, 135, 80, 36}, font));
    c.push_back(MakeButton("按钮2", "关闭", {569, 135, 80, 36}, font));
    return w;
}

}  // namespace

const WindowDef& ClearPasswordWindowDef() {
    static const WindowDef def = BuildClearPasswordWindowDef();
    return def;
}

void ClearPasswordWindow::Create(platform::Desktop& desktop, WindowPeer* owner) {
    Build(desktop, ClearPasswordWindowDef(), owner);
    MOXIA_BIND(标签1);
    MOXIA_BIND(标签2);
    MOXIA_BIND(编辑框1);
    MOXIA_BIND(按钮1);
    MOXIA_BIND(按钮2);
}

}  // namespace ui
