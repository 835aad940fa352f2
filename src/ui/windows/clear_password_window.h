#pragma once
#include "ui/controls.h"

namespace ui {

const WindowDef& ClearPasswordWindowDef();

// Asks for the current password before clearing it.
struct ClearPasswordWindow : Window {
    Label 标签1, 标签2;
    Edit 编辑框1;
    Button 按钮1, 按钮2;

    void Create(platform::Desktop& desktop, WindowPeer* owner);
};

}  // namespace ui
