#pragma once
// Windows as data: a window definition holds everything a backend needs to
// build the live window; the program never builds controls by hand.
#include <cstdint>
#include <optional>
#include <vector>

#include "text/text.h"

namespace ui {

// r + g * 256 + b * 65536, as stored in the settings file.
using Colour = std::uint32_t;
constexpr Colour Rgb(int r, int g, int b) {
    return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}

enum class ControlKind {
    Label,
    Button,
    Edit,
    CheckBox,
    ListBox,
    GroupBox,
    ProgressBar,
    Slider,
    ColourPicker,
    FileDialog,
    Timer,
    IconList,
    RichEdit,
    ZipCompressor,
};

// Non-visual kinds have no window of their own.
constexpr bool IsVisualKind(ControlKind kind) {
    return kind != ControlKind::FileDialog && kind != ControlKind::Timer &&
           kind != ControlKind::ZipCompressor;
}

enum class Border { None, Fixed, Resizable };

struct Font {
    Text face{};       // empty: the default GUI face
    int height = 0;    // character height in pixels; 0: the default size
    int weight = 400;  // 400 normal, 700 bold
    bool italic = false;
    bool operator==(const Font&) const = default;
};

struct ControlDef {
    Text name;
    ControlKind kind = ControlKind::Label;
    Text caption;  // caption or initial text
    std::vector<Text> items;
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
    bool disabled = false;
    bool tabStop = true;
    Font font;
    std::optional<Colour> textColour;
    std::optional<Colour> backColour;
    Text parent;  // group box that left/top are relative to; empty: the client area

    // Kind-specific properties.
    int byteLimit = 0;  // edit box: 0 = unlimited
    bool password = false;
    bool multiline = false;
    bool readOnly = false;  // edit box: shown and selectable, never typed into
    bool border = true;     // edit box frame
    bool checked = false;
    bool isDefault = false;  // button: Enter in its window presses it
    bool sorted = false;     // list box keeps items in the control's own order
    int rangeMin = 0, rangeMax = 100, position = 0;    // slider
    int timerPeriod = 0;                               // timer, milliseconds
    Text dialogTitle, dialogFilter, defaultExtension;  // common file dialog
};

struct MenuItemDef {
    int level = 0;    // 0 = menu bar entry, 1 = item, 2 = item of a submenu
    Text caption{};   // "-" is a separator
    Text shortcut{};  // "Ctrl+S", "Ctrl+Shift+F4", "Ctrl+F1"
    bool disabled = false;
    bool checked = false;
};

struct WindowDef {
    Text name;
    Text caption;
    int width = 0, height = 0;  // outer size
    Border border = Border::Fixed;
    std::optional<Colour> background;  // nullopt: the system default
    std::vector<ControlDef> controls;
    std::vector<MenuItemDef> menu;

    const ControlDef* FindControl(const Text& controlName) const;
};

}  // namespace ui
