#pragma once
#include "ui/controls.h"

namespace ui {

const WindowDef& NewDirectoryWindowDef();

// Asks for the name of a new document directory.
struct NewDirectoryWindow : Window {
    Label 标签1, 标签2;
    Edit 编辑框1;
    Button 按钮1, 按钮2;

    void Create(platform::Desktop& desktop, WindowPeer* owner);
};

}  // namespace ui
