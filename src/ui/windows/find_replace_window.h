#pragma once
#include "ui/controls.h"

namespace ui {

const WindowDef& FindReplaceWindowDef();

// Find and replace in the editor; shown without blocking MainWindow.
struct FindReplaceWindow : Window {
    Label 标签1, 标签2;
    Edit 编辑框1, 编辑框2;
    Button 按钮1, 按钮2, 按钮3, 按钮4, 按钮5;
    CheckBox 选择框1;

    void Create(platform::Desktop& desktop, WindowPeer* owner);
};

}  // namespace ui
