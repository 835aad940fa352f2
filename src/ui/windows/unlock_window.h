#pragma once
#include "ui/controls.h"

namespace ui {

const WindowDef& UnlockWindowDef();

// The password prompt shown at start-up when a password is set.
struct UnlockWindow : Window {
    Label 标签1, 标签2;
    Edit 编辑框1;
    Button 按钮1, 按钮2, 按钮3;

    void Create(platform::Desktop& desktop, WindowPeer* owner);
};

}  // namespace ui
