#include "ui/windows/find_replace_window.h"

#include "ui/windows/dialog_window.h"

namespace ui {
namespace {

using namespace dialog;

constexpr Colour kBoxText = Rgb(31, 32, 33);

ControlDef TextBox(const char* name, Rect r, Font font) {
    ControlDef c = MakeEdit(name, r, std::move(font));
    c.textColour = kBoxText;
    return c;
}

WindowDef BuildFindReplaceWindowDef() {
    const Font font = Yahei(20);
    WindowDef w = NewDialog("FindReplaceWindow", "查找替换", 681, 184, Border::Fixed);
    auto& c = w.controls;
    c.push_back(MakeLabel(w, "标签1", "查找内容:", {15, 15, 97, 36}, font));
    c.push_back(TextBox("编辑框1", {120, 15, 329, 36}, font));
    c.push_back(MakeButton("按钮5", "查找", {457, 15, 100, 36}, font));
    c.push_back(MakeDefaultButton("按钮1", "查找下个", {564, 15, 100, 36}, font));
    c.push_back(MakeLabel(w, "标签2", "替换为:", {15, 60, 89, 36}, font));
    c.push_back(TextBox("编辑框2", {120, 60, 329, 36}, font));
    c.push_back(MakeButton("按钮2", "替换", {457, 60, 100, 36}, font));
    c.push_back(MakeButton("按钮3", "全部替换", {564, 60, 100, 36}, font));
    c.push_back(MakeCheckBox(w, "选择框1", "区分大小写", {15, 105, 145, 36}, font, true));
    c.push_back(MakeButton("按钮4", "取消", {564, 105, 100, 36}, font));
    return w;
}

}  // namespace

const WindowDef& FindReplaceWindowDef() {
    static const WindowDef def = BuildFindReplaceWindowDef();
    return def;
}

void FindReplaceWindow::Create(platform::Desktop& desktop, WindowPeer* owner) {
    Build(desktop, FindReplaceWindowDef(), owner);
    MOXIA_BIND(标签1);
    MOXIA_BIND(标签2);
    MOXIA_BIND(编辑框1);
    MOXIA_BIND(编辑框2);
    MOXIA_BIND(按钮1);
    MOXIA_BIND(按钮2);
    MOXIA_BIND(按钮3);
    MOXIA_BIND(按钮4);
    MOXIA_BIND(按钮5);
    MOXIA_BIND(选择框1);
}

}  // namespace ui
