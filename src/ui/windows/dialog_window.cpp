#include "ui/windows/dialog_window.h"

namespace ui::dialog {

Font Yahei(int height, int weight) {
    return Font{.face = "微软雅黑", .height = height, .weight = weight};
}

WindowDef NewDialog(const char* name, Text caption, int width, int height, Border border,
                    std::optional<Colour> background) {
    WindowDef w;
    w.name = name;
    w.caption = std::move(caption);
    w.width = width;
    w.height = height;
    w.border = border;
    w.background = background;
    return w;
}

ControlDef MakeControl(const char* name, ControlKind kind, Text caption, Rect r, Font font) {
    ControlDef c;
    c.name = name;
    c.kind = kind;
    c.caption = std::move(caption);
    c.left = r.left;
    c.top = r.top;
    c.width = r.width;
    c.height = r.height;
    c.font = std::move(font);
    return c;
}

ControlDef MakeButton(const char* name, Text caption, Rect r, Font font) {
    return MakeControl(name, ControlKind::Button, std::move(caption), r, std::move(font));
}

ControlDef MakeDefaultButton(const char* name, Text caption, Rect r, Font font) {
    ControlDef c = MakeButton(name, std::move(caption), r, std::move(font));
    c.isDefault = true;
    return c;
}

ControlDef MakeLabel(const WindowDef& window, const char* name, Text caption, Rect r, Font font) {
    ControlDef c = MakeControl(name, ControlKind::Label, std::move(caption), r, std::move(font));
    c.textColour = kBlack;
    c.backColour = window.background;
    return c;
}

ControlDef MakeCheckBox(const WindowDef& window, const char* name, Text caption, Rect r, Font font,
                        bool checked) {
    ControlDef c = MakeControl(name, ControlKind::CheckBox, std::move(caption), r, std::move(font));
    c.backColour = window.background;
    c.checked = checked;
    return c;
}

ControlDef MakeEdit(const char* name, Rect r, Font font) {
    ControlDef c = MakeControl(name, ControlKind::Edit, "", r, std::move(font));
    c.border = true;
    c.textColour = kBlack;
    c.backColour = kEditBackground;
    return c;
}

ControlDef MakePasswordEdit(const char* name, Rect r, Font font) {
    ControlDef c = MakeEdit(name, r, std::move(font));
    c.password = true;
    return c;
}

ControlDef MakeListBox(const char* name, std::vector<Text> items, Rect r, Font font) {
    ControlDef c = MakeControl(name, ControlKind::ListBox, "", r, std::move(font));
    c.items = std::move(items);
    return c;
}

ControlDef MakeNonVisual(const char* name, ControlKind kind) {
    ControlDef c;
    c.name = name;
    c.kind = kind;
    c.visible = false;
    c.tabStop = false;
    return c;
}

ControlDef Inside(ControlDef control, const char* groupBox) {
    control.parent = groupBox;
    return control;
}

}  // namespace ui::dialog
