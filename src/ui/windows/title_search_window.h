#pragma once
#include "ui/controls.h"

namespace ui {

const WindowDef& TitleSearchWindowDef();

// Searches the titles of the open document directory.
struct TitleSearchWindow : Window {
    Edit 编辑框1;
    Button 按钮1;
    Label 标签1;

    void Create(platform::Desktop& desktop, WindowPeer* owner);
};

}  // namespace ui
