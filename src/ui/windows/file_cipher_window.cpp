#include "ui/windows/file_cipher_window.h"

#include "ui/windows/dialog_window.h"

namespace ui {
namespace {

using namespace dialog;

constexpr Colour kCheckText = Rgb(0, 58, 115);

// Filled by the file dialog, never typed into: a long path wraps. Read-only
// rather than disabled, so the path stays readable (not greyed) and can be
// selected and copied.
ControlDef PathBox(const char* name, Rect r) {
    ControlDef c = MakeEdit(name, r, Yahei(12));
    c.multiline = true;
    c.readOnly = true;
    return c;
}

WindowDef BuildFileCipherWindowDef() {
    const Font font = Yahei(20);
    WindowDef w = NewDialog("FileCipherWindow", "", 666, 297, Border::None);
    auto& c = w.controls;
    c.push_back(PathBox("编辑框1", {16, 16, 496, 80}));
    c.push_back(PathBox("编辑框2", {16, 111, 496, 80}));
    c.push_back(MakeButton("按钮3", "开始加密", {529, 16, 120, 36}, font));
    c.push_back(MakeButton("按钮4", "开始解密", {529, 60, 120, 36}, font));
    c.push_back(MakeButton("按钮1", "打开文件", {529, 111, 120, 36}, font));
    c.push_back(MakeButton("按钮2", "另存到", {529, 155, 120, 36}, font));
    ControlDef deleteSource =
        MakeCheckBox(w, "选择框1", "删除源文件", {376, 200, 136, 43}, font, false);
    deleteSource.textColour = kCheckText;
    c.push_back(deleteSource);
    c.push_back(MakeLabel(w, "标签1", "加解密前必须声明目录,可为任意程序或文件加解密\r\n",
                          {16, 243, 481, 32}, font));
    c.push_back(MakeButton("按钮5", "关闭", {529, 243, 120, 36}, font));
    ControlDef fileDialog = MakeNonVisual("通用对话框1", ControlKind::FileDialog);
    fileDialog.defaultExtension = "rc";
    c.push_back(fileDialog);
    return w;
}

}  // namespace

const WindowDef& FileCipherWindowDef() {
    static const WindowDef def = BuildFileCipherWindowDef();
    return def;
}

void FileCipherWindow::Create(platform::Desktop& desktop, WindowPeer* owner) {
    Build(desktop, FileCipherWindowDef(), owner);
    MOXIA_BIND(编辑框1);
    MOXIA_BIND(编辑框2);
    MOXIA_BIND(按钮1);
    MOXIA_BIND(按钮2);
    MOXIA_BIND(按钮3);
    MOXIA_BIND(按钮4);
    MOXIA_BIND(按钮5);
    MOXIA_BIND(选择框1);
    MOXIA_BIND(标签1);
    MOXIA_BIND(通用对话框1);
}

}  // namespace ui
