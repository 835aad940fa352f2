#include "ui/windows/font_scheme_window.h"

#include "ui/windows/dialog_window.h"

namespace ui {
namespace {

using namespace dialog;

constexpr Colour kPreviewText = Rgb(0, 128, 128);
constexpr int kPreviewPeriod = 100;  // ms

// The size lists offer the first n of these, in this order.
const std::vector<Text>& Sizes() {
    static const std::vector<Text> sizes = {"8",  "9",  "10", "11", "12", "13", "14", "16", "18",
                                            "20", "22", "24", "26", "28", "32", "36", "48", "72"};
    return sizes;
}

std::vector<Text> FirstSizes(std::size_t count) {
    return std::vector<Text>(Sizes().begin(), Sizes().begin() + count);
}

WindowDef BuildFontSchemeWindowDef() {
    const Font font = Yahei(20);
    const std::vector<Text> styles = {"常规", "粗体", "斜体", "粗斜体"};
    WindowDef w =
        NewDialog("FontSchemeWindow", "自定义字体方案", 561, 665, Border::Fixed, std::nullopt);
    auto& c = w.controls;
    const auto group = [&](const char* name, const char* caption, Rect r) {
        c.push_back(MakeControl(name, ControlKind::GroupBox, caption, r, font));
    };
    const auto preview = [&](const char* name, const char* caption, Rect r) {
        ControlDef label = Inside(MakeLabel(w, name, caption, r, font), "分组框6");
        label.textColour = kPreviewText;
        c.push_back(label);
    };

    group("分组框2", "标题栏", {15, 16, 120, 328});
    c.push_back(MakeListBox("列表框2", styles, {30, 56, 88, 128}, font));
    c.push_back(MakeListBox("列表框6", FirstSizes(10), {30, 200, 88, 128}, font));

    group("分组框3", "内容区", {151, 16, 120, 328});
    c.push_back(MakeListBox("列表框3", styles, {166, 56, 88, 128}, font));
    c.push_back(Inside(MakeListBox("列表框7", Sizes(), {16, 185, 88, 128}, font), "分组框3"));

    group("分组框4", "列表区", {287, 16, 120, 328});
    c.push_back(MakeListBox("列表框4", styles, {303, 56, 88, 128}, font));
    c.push_back(Inside(MakeListBox("列表框8", Sizes(), {16, 185, 88, 128}, font), "分组框4"));

    group("分组框5", "主页区", {423, 16, 120, 328});
    c.push_back(MakeListBox("列表框5", styles, {439, 56, 88, 128}, font));
    c.push_back(
        Inside(MakeListBox("列表框9", FirstSizes(14), {16, 185, 88, 128}, font), "分组框5"));

    group("分组框6", "示例文本", {16, 352, 368, 264});
    preview("标签1", "标题", {11, 25, 168, 114});
    preview("标签2", "内容", {187, 25, 168, 114});
    preview("标签3", "列表", {11, 141, 168, 114});
    preview("标签4", "主页", {187, 141, 168, 114});

    group("分组框1", "全局字体", {399, 352, 144, 200});
    c.push_back(MakeListBox("列表框1", {"微软雅黑", "新宋体", "宋体", "仿宋", "楷体"},
                            {414, 385, 113, 151}, font));

    c.push_back(MakeButton("按钮3", "默认", {399, 558, 70, 30}, font));
    c.push_back(MakeDefaultButton("按钮2", "确定", {471, 558, 70, 30}, font));
    c.push_back(MakeButton("按钮1", "取消", {471, 590, 70, 30}, font));

    // Armed by the code that opens the window; runs while it is open.
    ControlDef timer = MakeNonVisual("时钟1", ControlKind::Timer);
    timer.timerPeriod = kPreviewPeriod;
    c.push_back(timer);
    return w;
}

}  // namespace

const WindowDef& FontSchemeWindowDef() {
    static const WindowDef def = BuildFontSchemeWindowDef();
    return def;
}

void FontSchemeWindow::Create(platform::Desktop& desktop, WindowPeer* owner) {
    Build(desktop, FontSchemeWindowDef(), owner);
    MOXIA_BIND(分组框1);
    MOXIA_BIND(分组框2);
    MOXIA_BIND(分组框3);
    MOXIA_BIND(分组框4);
    MOXIA_BIND(分组框5);
    MOXIA_BIND(分组框6);
    MOXIA_BIND(列表框1);
    MOXIA_BIND(列表框2);
    MOXIA_BIND(列表框3);
    MOXIA_BIND(列表框4);
    MOXIA_BIND(列表框5);
    MOXIA_BIND(列表框6);
    MOXIA_BIND(列表框7);
    MOXIA_BIND(列表框8);
    MOXIA_BIND(列表框9);
    MOXIA_BIND(标签1);
    MOXIA_BIND(标签2);
    MOXIA_BIND(标签3);
    MOXIA_BIND(标签4);
    MOXIA_BIND(按钮1);
    MOXIA_BIND(按钮2);
    MOXIA_BIND(按钮3);
    MOXIA_BIND(时钟1);
}

}  // namespace ui
