#pragma once
#include "ui/controls.h"

namespace ui {

const WindowDef& FileCipherWindowDef();

// Encrypts or decrypts any file with the current password.
struct FileCipherWindow : Window {
    Edit 编辑框1, 编辑框2;
    Button 按钮1, 按钮2, 按钮3, 按钮4, 按钮5;
    CheckBox 选择框1;
    Label 标签1;
    FileDialog 通用对话框1;

    void Create(platform::Desktop& desktop, WindowPeer* owner);
};

}  // namespace ui
