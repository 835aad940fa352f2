#pragma once
#include "ui/controls.h"

namespace ui {

const WindowDef& UpdateWindowDef();

// Points to the home page when a newer version is published.
struct UpdateWindow : Window {
    Label 标签1;
    Button 按钮1;

    void Create(platform::Desktop& desktop, WindowPeer* owner);
};

}  // namespace ui
