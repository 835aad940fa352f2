#include "ui/windows/set_password_window.h"

#include "ui/windows/dialog_window.h"

namespace ui {
namespace {

using namespace dialog;

WindowDef BuildSetPasswordWindowDef() {
    const Font font = Yahei(20);
    WindowDef w = NewDialog("SetPasswordWindow", "", 647, 237, Border::None);
    auto& c = w.controls;
    c.push_back(MakeLabel(w, "标签1", "输入任意字符来完成设置密码以保护数据安全!",
                          {18, 14, 566, 36}, font));
    c.push_back(MakeLabel(w, "标签3", "输入密码:", {18, 74, 112, 36}, font));
    c.push_back(MakePasswordEdit("编辑框1", {144, 74, 480, 36}, font));
    c.push_back(MakeLabel(w, "标签4", "再次输入:", {18, 122, 112, 36}, font));
    c.push_back(MakePasswordEdit("编辑框2", {144, 122, 480, 36}, font));
    // The note wraps to two lines in its width; designed one line high, the
    // second was cut off.
    c.push_back(MakeLabel(w, "标签2", "此密码用于启动软件,以及为新保存的记事内容加密!",
                          {18, 183, 366, 52}, font));
    c.push_back(MakeDefaultButton("按钮1", "确定", {456, 183, 80, 36}, font));
    c.push_back(MakeButton("按钮2", "取消", {544, 183, 80, 36}, font));
    return w;
}

}  // namespace

const WindowDef& SetPasswordWindowDef() {
    static const WindowDef def = BuildSetPasswordWindowDef();
    return def;
}

void SetPasswordWindow::Create(platform::Desktop& desktop, WindowPeer* owner) {
    Build(desktop, SetPasswordWindowDef(), owner);
    MOXIA_BIND(标签1);
    MOXIA_BIND(标签2);
    MOXIA_BIND(标签3);
    MOXIA_BIND(标签4);
    MOXIA_BIND(编辑框1);
    MOXIA_BIND(编辑框2);
    MOXIA_BIND(按钮1);
    MOXIA_BIND(按钮2);
}

}  // namespace ui
