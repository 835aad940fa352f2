#include "ui/windows/unlock_window.h"

#include "ui/windows/dialog_window.h"

namespace ui {
namespace {

using namespace dialog;

WindowDef BuildUnlockWindowDef() {
    const Font font = Yahei(20);
    // Designed as a fixed frame: a captioned frame would clip "结束程序" at the
    // bottom, so it gets the thin caption-less frame of the other password
    // windows. The five hint lines take 130 pixels at this font (26 a line on
    // Windows), not the 112 designed, which cut off the last one: the label is
    // 18 pixels taller and the window (designed 239) 4.
    WindowDef w = NewDialog("UnlockWindow", "", 612, 243, Border::None);
    auto& c = w.controls;
    c.push_back(MakeLabel(w, "标签1", "系统检测到此程序现为\"有密模式\",程序要求输入正确的密码!",
                          {18, 15, 534, 36}, font));
    c.push_back(MakePasswordEdit("编辑框1", {18, 52, 570, 36}, Yahei(19, 700)));
    c.push_back(MakeDefaultButton("按钮1", "确定", {492, 100, 100, 36}, font));
    c.push_back(MakeLabel(w, "标签2",
                          "[无密模式]不会列出有密文件!\r\n"
                          "[有密模式]不会列出无密文件!\r\n"
                          "窗口菜单的[功能]-[清除密码]可去除此密码!\r\n"
                          "点击[无密模式]按钮可查看与新建无密记事内容!\r\n"
                          "输入正确的密码后,点击\"[确定]按钮进入[有密模式]!\r\n",
                          {18, 111, 450, 130}, font));
    c.push_back(MakeButton("按钮2", "无密模式", {492, 142, 100, 36}, font));
    c.push_back(MakeButton("按钮3", "结束程序", {492, 184, 100, 36}, font));
    return w;
}

}  // namespace

const WindowDef& UnlockWindowDef() {
    static const WindowDef def = BuildUnlockWindowDef();
    return def;
}

void UnlockWindow::Create(platform::Desktop& desktop, WindowPeer* owner) {
    Build(desktop, UnlockWindowDef(), owner);
    MOXIA_BIND(标签1);
    MOXIA_BIND(标签2);
    MOXIA_BIND(编辑框1);
    MOXIA_BIND(按钮1);
    MOXIA_BIND(按钮2);
    MOXIA_BIND(按钮3);
}

}  // namespace ui
