#pragma once
// Building blocks of the dialog window definitions. The dialogs share one
// background, one edit-box look and one label look, so the definitions only
// state what differs.
#include <optional>
#include <vector>

#include "ui/controls.h"

namespace ui::dialog {

inline constexpr Colour kBackground = Rgb(226, 227, 231);      // 15197154
inline constexpr Colour kEditBackground = Rgb(237, 241, 237);  // 15593965
inline constexpr Colour kBlack = Rgb(0, 0, 0);

// "微软雅黑" at a pixel height, normal or bold.
Font Yahei(int height, int weight = 400);

// A dialog on the common background, or on the system default when
// `background` is nullopt.
WindowDef NewDialog(const char* name, Text caption, int width, int height, Border border,
                    std::optional<Colour> background = kBackground);

ControlDef MakeControl(const char* name, ControlKind kind, Text caption, Rect r, Font font);
ControlDef MakeButton(const char* name, Text caption, Rect r, Font font);
// The button Enter presses (the dialog's confirm button).
ControlDef MakeDefaultButton(const char* name, Text caption, Rect r, Font font);
// Black text on the window's own background.
ControlDef MakeLabel(const WindowDef& window, const char* name, Text caption, Rect r, Font font);
ControlDef MakeCheckBox(const WindowDef& window, const char* name, Text caption, Rect r, Font font,
                        bool checked);
// Framed box on the dialogs' edit background, black text.
ControlDef MakeEdit(const char* name, Rect r, Font font);
// As MakeEdit, masked with "*".
ControlDef MakePasswordEdit(const char* name, Rect r, Font font);
ControlDef MakeListBox(const char* name, std::vector<Text> items, Rect r, Font font);
ControlDef MakeNonVisual(const char* name, ControlKind kind);
// Makes r relative to the group box `groupBox`.
ControlDef Inside(ControlDef control, const char* groupBox);

}  // namespace ui::dialog
