#include "ui/windows/transparency_window.h"

#include "ui/windows/dialog_window.h"

namespace ui {
namespace {

using namespace dialog;

// Below 155 the main window would be too faint to find again.
constexpr int kMinimumOpacity = 155;
constexpr int kOpaque = 255;

WindowDef BuildTransparencyWindowDef() {
    WindowDef w = NewDialog("TransparencyWindow", "窗口透明度调节", 482, 129, Border::Fixed);
    ControlDef slider = MakeControl("滑块条1", ControlKind::Slider, "", {18, 23, 336, 56}, Font{});
    slider.rangeMin = kMinimumOpacity;
    slider.rangeMax = kOpaque;
    slider.position = kMinimumOpacity;
    w.controls.push_back(slider);
    w.controls.push_back(MakeButton("按钮1", "保存", {366, 39, 96, 40}, Yahei(20)));
    return w;
}

}  // namespace

const WindowDef& TransparencyWindowDef() {
    static const WindowDef def = BuildTransparencyWindowDef();
    return def;
}

void TransparencyWindow::Create(platform::Desktop& desktop, WindowPeer* owner) {
    Build(desktop, TransparencyWindowDef(), owner);
    MOXIA_BIND(滑块条1);
    MOXIA_BIND(按钮1);
}

}  // namespace ui
