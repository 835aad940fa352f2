#include "ui/windows/main_window.h"

#include "ui/windows/dialog_window.h"

namespace ui {
namespace {

using dialog::MakeNonVisual;

ControlDef Control(const char* name, ControlKind kind, Text caption, Rect r, bool visible,
                   Font font) {
    ControlDef c = dialog::MakeControl(name, kind, std::move(caption), r, std::move(font));
    c.visible = visible;
    return c;
}

WindowDef BuildMainWindowDef() {
    const Font bold24{"微软雅黑", 24, 700};
    const Font bold23{"微软雅黑", 23, 700};
    const Font button{"", 23, 700};
    WindowDef w;
    w.name = "MainWindow";
    w.caption = "墨匣";
    w.width = 1234;
    w.height = 753;
    w.border = Border::Resizable;

    auto& c = w.controls;
    c.push_back(Control("标签1", ControlKind::Label, "", {0, 0, 800, 48}, true, bold24));
    c.push_back(Control("标签2", ControlKind::Label, "标题:", {10, 0, 100, 48}, false, bold24));
    ControlDef title = Control("编辑框2", ControlKind::Edit, "", {0, 0, 800, 48}, true, bold24);
    title.border = false;
    c.push_back(title);
    c.push_back(Control("按钮3", ControlKind::Button, "新建", {592, 52, 66, 40}, true, button));
    c.push_back(Control("按钮2", ControlKind::Button, "搜索", {660, 52, 66, 40}, true, button));
    c.push_back(Control("按钮1", ControlKind::Button, "返回", {728, 52, 66, 40}, true, button));
    c.push_back(Control("超级列表框1", ControlKind::IconList, "", {0, 48, 968, 432}, true, bold23));
    ControlDef list = Control("列表框1", ControlKind::ListBox, "", {0, 48, 872, 584}, true, bold23);
    list.sorted = true;
    c.push_back(list);
    c.push_back(Control("超级编辑框1", ControlKind::RichEdit, "", {3, 48, 760, 464}, true, Font{}));
    c.push_back(
        Control("进度条1", ControlKind::ProgressBar, "", {8, 664, 1064, 21}, false, Font{}));
    // The title-bar filler lies behind the top strip: last of the visible
    // controls, so it is at the bottom of their stacking order.
    c.push_back(Control("标签3", ControlKind::Label, "", {0, 0, 800, 48}, true, Font{}));
    c.push_back(MakeNonVisual("ZIP压缩1", ControlKind::ZipCompressor));
    ControlDef exportDialog = MakeNonVisual("通用对话框1", ControlKind::FileDialog);
    exportDialog.dialogTitle = "新建文档";
    exportDialog.dialogFilter = "文本文件(*.txt)|*.txt|配置文件(*.ini)|*.ini|所有文件(*.*)|*.*";
    exportDialog.defaultExtension = "txt";
    c.push_back(exportDialog);
    c.push_back(MakeNonVisual("时钟2", ControlKind::Timer));
    c.push_back(MakeNonVisual("时钟3", ControlKind::Timer));

    w.menu = {
        {0, "文档", "", false, false},
        {1, "新建文档目录", "Ctrl+A", false, false},
        {1, "返回文档目录", "Ctrl+Q", false, false},
        {1, "-", "", false, false},
        {1, "新建文档文件", "Ctrl+R", false, false},
        {1, "返回文档列表", "Ctrl+E", false, false},
        {1, "-", "", false, false},
        {1, "保存当前文档", "Ctrl+S", false, false},
        {1, "另存为无密文件", "", false, false},
        {1, "-", "", false, false},
        {1, "删除当前文档", "", true, false},
        {1, "批量删除操作", "", false, false},
        {1, "-", "", false, false},
        {1, "退出", "Ctrl+Shift+F4", false, false},
        {0, "编辑", "", false, false},
        {1, "新建文档", "", false, false},
        {1, "-", "", false, false},
        {1, "返回列表", "", false, false},
        {1, "-", "", false, false},
        {1, "返回目录", "", false, false},
        {1, "-", "", false, false},
        {1, "撤销", "Ctrl+Z", true, false},
        {1, "-", "", false, false},
        {1, "剪切", "Ctrl+X", true, false},
        {1, "复制", "Ctrl+C", true, false},
        {1, "粘贴", "Ctrl+V", true, false},
        {1, "-", "", false, false},
        {1, "查找替换", "Ctrl+F", false, false},
        {1, "-", "", false, false},
        {1, "全选", "", true, false},
        {1, "取消全选", "", true, false},
        {0, "配置", "", false, false},
        {1, "默认配色方案1", "Ctrl+F1", false, false},
        {1, "默认配色方案2", "Ctrl+F2", false, false},
        {1, "默认配色方案3", "Ctrl+F3", false, false},
        {1, "-", "", false, false},
        {1, "自定义配色方案", "", false, false},
        {1, "窗口透明度调节", "", false, false},
        {1, "-", "", false, false},
        {1, "自定义字体方案", "", false, false},
        {1, "-", "", false, false},
        {1, "自定义文档目录图标", "", false, false},
        {0, "功能", "", false, false},
        {1, "设置密码", "", false, false},
        {1, "-", "", false, false},
        {1, "清除密码", "", false, false},
        {1, "-", "", false, false},
        {1, "无密打包备份", "", false, false},
        {1, "复原无密备份", "", false, false},
        {1, "-", "", false, false},
        {1, "有密打包备份", "", false, false},
        {1, "复原有密备份", "", false, false},
        {1, "-", "", false, false},
        {1, "附加功能", "", false, false},
        {2, "为其他文件加密", "", false, false},
        {2, "为其他文件解密", "", false, false},
        {0, "关于", "", false, false},
        {1, "软件主页", "", false, false},
        {1, "-", "", false, false},
        {1, "帮助", "", false, false},
        {1, "-", "", false, false},
        {1, "版本", "", false, false},
    };
    return w;
}

}  // namespace

const WindowDef& MainWindowDef() {
    static const WindowDef def = BuildMainWindowDef();
    return def;
}

void MainWindow::Create(platform::Desktop& desktop) {
    Build(desktop, MainWindowDef(), nullptr);
    MOXIA_BIND(标签1);
    MOXIA_BIND(标签2);
    MOXIA_BIND(标签3);
    MOXIA_BIND(编辑框2);
    MOXIA_BIND(按钮1);
    MOXIA_BIND(按钮2);
    MOXIA_BIND(按钮3);
    MOXIA_BIND(超级列表框1);
    MOXIA_BIND(列表框1);
    MOXIA_BIND(超级编辑框1);
    MOXIA_BIND(进度条1);
    MOXIA_BIND(ZIP压缩1);
    MOXIA_BIND(通用对话框1);
    MOXIA_BIND(时钟2);
    MOXIA_BIND(时钟3);
    menu.Bind(Peer().Menu());
}

}  // namespace ui
