#pragma once
#include "ui/controls.h"

namespace ui {

const WindowDef& MainWindowDef();

// The start-up window; lives for the whole run.
struct MainWindow : Window {
    Label 标签1, 标签2, 标签3;
    Edit 编辑框2;
    Button 按钮1, 按钮2, 按钮3;
    IconList 超级列表框1;
    ListBox 列表框1;
    RichEdit 超级编辑框1;
    ProgressBar 进度条1;
    ZipCompressor ZIP压缩1;
    FileDialog 通用对话框1;
    Timer 时钟2, 时钟3;
    Menu menu;

    void Create(platform::Desktop& desktop);
};

}  // namespace ui
