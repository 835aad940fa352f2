#include "ui/windows/new_directory_window.h"

#include "ui/windows/dialog_window.h"

namespace ui {
namespace {

using namespace dialog;

constexpr Colour kLabelText = Rgb(0, 58, 115);
constexpr Colour kNameText = Rgb(53, 53, 53);
// A directory name becomes a folder name; 28 bytes is 14 Chinese characters.
constexpr int kNameByteLimit = 28;

WindowDef BuildNewDirectoryWindowDef() {
    const Font font = Yahei(20);
    WindowDef w = NewDialog("NewDirectoryWindow", "", 665, 164, Border::None);

    ControlDef hint =
        MakeLabel(w, "标签1", "新建记事目录,可输入长度为<=28的任意字符", {106, 15, 542, 36}, font);
    hint.textColour = kLabelText;
    w.controls.push_back(hint);

    ControlDef name = MakeEdit("编辑框1", {82, 58, 566, 36}, Yahei(19, 700));
    name.textColour = kNameText;
    name.byteLimit = kNameByteLimit;
    w.controls.push_back(name);

    ControlDef note =
        MakeLabel(w, "标签2", "新建的记事目录会在启动后的第一个界面里!", {19, 110, 429, 36}, font);
    note.textColour = kLabelText;
    w.controls.push_back(note);

    w.controls.push_back(MakeDefaultButton("按钮1", "确定", {478, 110, 80, 36}, font));
    w.controls.push_back(MakeButton("按钮2", "取消", {568, 110, 80, 36}, font));
    return w;
}

}  // namespace

const WindowDef& NewDirectoryWindowDef() {
    static const WindowDef def = BuildNewDirectoryWindowDef();
    return def;
}

void NewDirectoryWindow::Create(platform::Desktop& desktop, WindowPeer* owner) {
    Build(desktop, NewDirectoryWindowDef(), owner);
    MOXIA_BIND(标签1);
    MOXIA_BIND(标签2);
    MOXIA_BIND(编辑框1);
    MOXIA_BIND(按钮1);
    MOXIA_BIND(按钮2);
}

}  // namespace ui
