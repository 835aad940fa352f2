#include "ui/windows/main_window.h"

#include "ui/windows/dialog_window.h"

namespace ui {
namespace {

using dialog::MakeControl;
using dialog::MakeNonVisual;

// Created hidden: the page tables show it when its page comes.
ControlDef Hidden(ControlDef c) {
    c.visible = false;
    return c;
}

WindowDef BuildMainWindowDef() {
    const Font bold24{.face = "微软雅黑", .height = 24, .weight = 700};
    const Font bold23{.face = "微软雅黑", .height = 23, .weight = 700};
    const Font button{.face = "", .height = 23, .weight = 700};
    WindowDef w;
    w.name = "MainWindow";
    w.caption = "墨匣";
    w.width = 1234;
    w.height = 753;
    w.border = Border::Resizable;

    auto& c = w.controls;
    c.push_back(MakeControl("标签1", ControlKind::Label, "", {0, 0, 800, 48}, bold24));
    c.push_back(
        Hidden(MakeControl("标签2", ControlKind::Label, "标题:", {10, 0, 100, 48}, bold24)));
    ControlDef title = MakeControl("编辑框2", ControlKind::Edit, "", {0, 0, 800, 48}, bold24);
    title.border = false;
    c.push_back(title);
    c.push_back(MakeControl("按钮3", ControlKind::Button, "新建", {592, 52, 66, 40}, button));
    c.push_back(MakeControl("按钮2", ControlKind::Button, "搜索", {660, 52, 66, 40}, button));
    c.push_back(MakeControl("按钮1", ControlKind::Button, "返回", {728, 52, 66, 40}, button));
    c.push_back(MakeControl("超级列表框1", ControlKind::IconList, "", {0, 48, 968, 432}, bold23));
    ControlDef list = MakeControl("列表框1", ControlKind::ListBox, "", {0, 48, 872, 584}, bold23);
    list.sorted = true;
    c.push_back(list);
    c.push_back(MakeControl("超级编辑框1", ControlKind::RichEdit, "", {3, 48, 760, 464}, Font{}));
    c.push_back(
        Hidden(MakeControl("进度条1", ControlKind::ProgressBar, "", {8, 664, 1064, 21}, Font{})));
    // The title-bar filler lies behind the top strip: last of the visible
    // controls, so it is at the bottom of their stacking order.
    c.push_back(MakeControl("标签3", ControlKind::Label, "", {0, 0, 800, 48}, Font{}));
    c.push_back(MakeNonVisual("ZIP压缩1", ControlKind::ZipCompressor));
    ControlDef exportDialog = MakeNonVisual("通用对话框1", ControlKind::FileDialog);
    exportDialog.dialogTitle = "新建文档";
    exportDialog.dialogFilter = "文本文件(*.txt)|*.txt|配置文件(*.ini)|*.ini|所有文件(*.*)|*.*";
    exportDialog.defaultExtension = "txt";
    c.push_back(exportDialog);
    c.push_back(MakeNonVisual("时钟2", ControlKind::Timer));
    c.push_back(MakeNonVisual("时钟3", ControlKind::Timer));

    w.menu = {
        {.level = 0, .caption = "文档"},
        {.level = 1, .caption = "新建文档目录", .shortcut = "Ctrl+A"},
        {.level = 1, .caption = "返回文档目录", .shortcut = "Ctrl+Q"},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "新建文档文件", .shortcut = "Ctrl+R"},
        {.level = 1, .caption = "返回文档列表", .shortcut = "Ctrl+E"},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "保存当前文档", .shortcut = "Ctrl+S"},
        {.level = 1, .caption = "另存为无密文件"},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "删除当前文档", .disabled = true},
        {.level = 1, .caption = "批量删除操作"},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "退出", .shortcut = "Ctrl+Shift+F4"},
        {.level = 0, .caption = "编辑"},
        {.level = 1, .caption = "新建文档"},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "返回列表"},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "返回目录"},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "撤销", .shortcut = "Ctrl+Z", .disabled = true},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "剪切", .shortcut = "Ctrl+X", .disabled = true},
        {.level = 1, .caption = "复制", .shortcut = "Ctrl+C", .disabled = true},
        {.level = 1, .caption = "粘贴", .shortcut = "Ctrl+V", .disabled = true},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "查找替换", .shortcut = "Ctrl+F"},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "全选", .disabled = true},
        {.level = 1, .caption = "取消全选", .disabled = true},
        {.level = 0, .caption = "配置"},
        {.level = 1, .caption = "默认配色方案1", .shortcut = "Ctrl+F1"},
        {.level = 1, .caption = "默认配色方案2", .shortcut = "Ctrl+F2"},
        {.level = 1, .caption = "默认配色方案3", .shortcut = "Ctrl+F3"},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "自定义配色方案"},
        {.level = 1, .caption = "窗口透明度调节"},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "自定义字体方案"},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "自定义文档目录图标"},
        {.level = 0, .caption = "功能"},
        {.level = 1, .caption = "设置密码"},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "清除密码"},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "无密打包备份"},
        {.level = 1, .caption = "复原无密备份"},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "有密打包备份"},
        {.level = 1, .caption = "复原有密备份"},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "附加功能"},
        {.level = 2, .caption = "为其他文件加密"},
        {.level = 2, .caption = "为其他文件解密"},
        {.level = 0, .caption = "关于"},
        {.level = 1, .caption = "软件主页"},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "帮助"},
        {.level = 1, .caption = "-"},
        {.level = 1, .caption = "版本"},
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
