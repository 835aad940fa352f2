#pragma once
#include "ui/controls.h"

namespace ui {

const WindowDef& ColourSchemeWindowDef();

// Eight colour pickers, one per colour of the custom scheme.
struct ColourSchemeWindow : Window {
    Label 标签1, 标签2, 标签3, 标签4, 标签5, 标签6, 标签7, 标签8, 标签9;
    ColourPicker 颜色选择器1, 颜色选择器2, 颜色选择器3, 颜色选择器4, 颜色选择器5, 颜色选择器6,
        颜色选择器7, 颜色选择器8;
    Button 按钮1, 按钮2, 按钮3;

    void Create(platform::Desktop& desktop, WindowPeer* owner);
};

}  // namespace ui
