#pragma once
#include "ui/controls.h"

namespace ui {

const WindowDef& IconPickerWindowDef();

// Offers the sixteen directory icons.
struct IconPickerWindow : Window {
    IconList 超级列表框1;
    Button 按钮1, 按钮2;

    void Create(platform::Desktop& desktop, WindowPeer* owner);
};

}  // namespace ui
