#pragma once
#include "ui/controls.h"

namespace ui {

const WindowDef& SetPasswordWindowDef();

// Asks for a new password twice.
struct SetPasswordWindow : Window {
    Label 标签1, 标签2, 标签3, 标签4;
    Edit 编辑框1, 编辑框2;
    Button 按钮1, 按钮2;

    void Create(platform::Desktop& desktop, WindowPeer* owner);
};

}  // namespace ui
