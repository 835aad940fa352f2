#pragma once
#include "ui/controls.h"

namespace ui {

const WindowDef& FontSchemeWindowDef();

// Style and size per area, one face for all, with a live preview.
struct FontSchemeWindow : Window {
    GroupBox 分组框1, 分组框2, 分组框3, 分组框4, 分组框5, 分组框6;
    ListBox 列表框1, 列表框2, 列表框3, 列表框4, 列表框5, 列表框6, 列表框7, 列表框8, 列表框9;
    Label 标签1, 标签2, 标签3, 标签4;
    Button 按钮1, 按钮2, 按钮3;
    Timer 时钟1;

    void Create(platform::Desktop& desktop, WindowPeer* owner);
};

}  // namespace ui
