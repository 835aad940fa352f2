#include "ui/windows/colour_scheme_window.h"

#include "ui/windows/dialog_window.h"

namespace ui {
namespace {

using namespace dialog;

WindowDef BuildColourSchemeWindowDef() {
    const Font font = Yahei(20);
    WindowDef w = NewDialog("ColourSchemeWindow", "自定义配色方案", 707, 282, Border::Fixed);

    // Labels and pickers pair by row: left column, then right column.
    struct Row {
        const char* label;
        const char* picker;
        const char* caption;
        int labelLeft, pickerLeft, top;
    };
    const Row rows[] = {
        {"标签1", "颜色选择器1", "标题区域背景色:", 20, 193, 16},
        {"标签3", "颜色选择器3", "标题区文本颜色:", 20, 193, 59},
        {"标签2", "颜色选择器2", "内容区域背景色:", 20, 193, 102},
        {"标签5", "颜色选择器5", "内容区文本颜色:", 20, 193, 145},
        {"标签8", "颜色选择器8", "列表区背景颜色:", 376, 533, 16},
        {"标签4", "颜色选择器4", "列表区文本颜色:", 376, 533, 59},
        {"标签6", "颜色选择器6", "主页背景颜色:", 376, 533, 102},
        {"标签7", "颜色选择器7", "主页文本颜色:", 376, 533, 145},
    };
    for (const Row& row : rows) {
        w.controls.push_back(
            MakeLabel(w, row.label, row.caption, {row.labelLeft, row.top, 160, 36}, font));
        w.controls.push_back(MakeControl(row.picker, ControlKind::ColourPicker, "",
                                         {row.pickerLeft, row.top, 152, 36}, font));
    }
    w.controls.push_back(MakeLabel(w, "标签9", "试试手气:", {20, 195, 112, 36}, font));
    w.controls.push_back(MakeButton("按钮3", "随机颜色", {144, 195, 360, 36}, font));
    w.controls.push_back(MakeDefaultButton("按钮1", "确定", {531, 195, 72, 36}, font));
    w.controls.push_back(MakeButton("按钮2", "取消", {613, 195, 72, 36}, font));
    return w;
}

}  // namespace

const WindowDef& ColourSchemeWindowDef() {
    static const WindowDef def = BuildColourSchemeWindowDef();
    return def;
}

void ColourSchemeWindow::Create(platform::Desktop& desktop, WindowPeer* owner) {
    Build(desktop, ColourSchemeWindowDef(), owner);
    MOXIA_BIND(标签1);
    MOXIA_BIND(标签2);
    MOXIA_BIND(标签3);
    MOXIA_BIND(标签4);
    MOXIA_BIND(标签5);
    MOXIA_BIND(标签6);
    MOXIA_BIND(标签7);
    MOXIA_BIND(标签8);
    MOXIA_BIND(标签9);
    MOXIA_BIND(颜色选择器1);
    MOXIA_BIND(颜色选择器2);
    MOXIA_BIND(颜色选择器3);
    MOXIA_BIND(颜色选择器4);
    MOXIA_BIND(颜色选择器5);
    MOXIA_BIND(颜色选择器6);
    MOXIA_BIND(颜色选择器7);
    MOXIA_BIND(颜色选择器8);
    MOXIA_BIND(按钮1);
    MOXIA_BIND(按钮2);
    MOXIA_BIND(按钮3);
}

}  // namespace ui
