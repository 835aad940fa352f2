#pragma once
#include "ui/controls.h"

namespace ui {

const WindowDef& TransparencyWindowDef();

// Sets MainWindow's opacity with a slider.
struct TransparencyWindow : Window {
    Slider 滑块条1;
    Button 按钮1;

    void Create(platform::Desktop& desktop, WindowPeer* owner);
};

}  // namespace ui
