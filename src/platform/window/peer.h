#pragma once
// The contract between the program and a desktop backend. A backend turns a
// WindowDef into a live window and hands out one ControlPeer per control;
// the typed handles of ui/controls.h are thin wrappers over these.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/window/definition.h"

namespace ui {

// Positions, sizes and font heights are in the units of a 96-DPI screen; a
// backend draws them in the pixels of the screen a window is on.
struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

struct Size {
    int width = 0, height = 0;
    bool operator==(const Size&) const = default;
};

// A strip of equally sized RGBA cells; the colour of the top-left pixel is
// the transparent colour of the image list built from it.
struct ImageStrip {
    int width = 0, height = 0;          // whole strip
    int cellWidth = 0, cellHeight = 0;  // one image
    std::vector<std::uint32_t> rgba;    // row-major, r | g << 8 | b << 16 | a << 24
    // The same cells drawn larger, for screens of more than 96 DPI.
    std::vector<std::shared_ptr<const ImageStrip>> larger;
    int CellCount() const { return cellWidth > 0 ? width / cellWidth : 0; }
    Colour KeyColour() const { return rgba.empty() ? 0 : (rgba[0] & 0xFFFFFF); }
};

// The rich edit's default character format.
struct CharFormat {
    Text face;
    int pointSize = 9;
    int offset = 0;
    bool bold = false, italic = false;
    std::optional<Colour> colour;  // nullopt: automatic
};

struct FileDialogRequest {
    bool save = true;
    Text title, filter, defaultExtension;  // filter: "描述|*.txt|描述|*.*"
    Text initialFolder;
    Text initialPath;  // last chosen path, if any
};

enum class Event {
    Click,   // button or check box clicked
    Select,  // list box item selected; icon list item chosen
    RightButtonDown,
    Tick,             // timer
    PositionChanged,  // slider
    Progress,         // ZIP compressor progress (value in the argument)
};

using EventHandler = std::function<void(int argument)>;

class ControlPeer {
  public:
    virtual ~ControlPeer() = default;
    virtual const ControlDef& Definition() const = 0;

    // Every visual kind.
    virtual Text GetText() = 0;
    virtual void SetText(const Text& value) = 0;
    virtual bool IsVisible() = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool IsEnabled() = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual Rect GetRect() = 0;  // relative to the client area of the window
    virtual void SetRect(const Rect& rect) = 0;
    virtual Font GetFont() = 0;
    virtual void SetFont(const Font& font) = 0;
    virtual void SetTextColour(Colour colour) = 0;
    virtual void SetBackColour(Colour colour) = 0;
    virtual void Focus() = 0;
    virtual bool HasFocus() = 0;

    // Edit box: extra room before its text, in pixels (0: none), kept
    // across font changes.
    virtual int GetTextIndent() = 0;
    virtual void SetTextIndent(int pixels) = 0;

    // List box and icon list. AddItem returns the index the item landed at.
    virtual int AddItem(const Text& text, int image) = 0;
    // The same as AddItem for each text in turn, drawn once at the end.
    virtual void AddItems(const std::vector<Text>& texts, int image) = 0;
    virtual int ItemCount() = 0;
    virtual Text ItemText(int index) = 0;
    virtual int ItemImage(int index) = 0;
    virtual void ClearItems() = 0;
    virtual int Selection() = 0;  // -1: none
    virtual void SetSelection(int index) = 0;
    virtual void SetImageList(const ImageStrip& strip) = 0;
    virtual int ImageCount() = 0;

    // Rich edit: positions in characters, a line break counts one.
    virtual void GetSelection(int& start, int& length) = 0;
    virtual void SetSelectionRange(int start, int length) = 0;
    virtual Text SelectedText() = 0;
    virtual void ReplaceSelection(const Text& value) = 0;
    virtual int FindForward(const Text& what, int start, bool matchCase) = 0;  // -1: none
    virtual int TextLength() = 0;                                              // positions
    virtual void Undo() = 0;
    virtual void Cut() = 0;
    virtual void Copy() = 0;
    virtual void Paste() = 0;
    virtual void SetDefaultFormat(const CharFormat& format) = 0;
    virtual CharFormat GetDefaultFormat() = 0;
    // While off, changes are not drawn (many of them at once stay quick);
    // turning it on draws the control once.
    virtual void SetRedraw(bool on) = 0;

    // Check box, slider, progress bar, colour picker, timer.
    virtual bool IsChecked() = 0;
    virtual void SetChecked(bool checked) = 0;
    virtual int GetPosition() = 0;
    virtual void SetPosition(int position) = 0;
    virtual Colour GetColour() = 0;
    virtual void SetColour(Colour colour) = 0;
    virtual int GetPeriod() = 0;
    virtual void SetPeriod(int milliseconds) = 0;  // 0 stops the timer

    // Common file dialog: shows the dialog; nullopt when cancelled.
    virtual std::optional<Text> ShowFileDialog(const FileDialogRequest& request) = 0;

    // Events are bound by the program after the window is built.
    virtual void SetHandler(Event event, EventHandler handler) = 0;
};

class MenuPeer {
  public:
    virtual ~MenuPeer() = default;
    // Items are addressed by caption (captions are unique within a menu).
    virtual bool HasItem(const Text& caption) = 0;
    virtual bool IsEnabled(const Text& caption) = 0;
    virtual void SetEnabled(const Text& caption, bool enabled) = 0;
    virtual bool IsChecked(const Text& caption) = 0;
    virtual void SetChecked(const Text& caption, bool checked) = 0;
    virtual void SetHandler(const Text& caption, std::function<void()> handler) = 0;
    // Pops up the submenu of a menu-bar entry at the mouse cursor.
    virtual void PopUpAtCursor(const Text& barCaption) = 0;
};

class WindowPeer {
  public:
    virtual ~WindowPeer() = default;
    virtual const WindowDef& Definition() const = 0;
    virtual ControlPeer& Control(const Text& name) = 0;
    virtual MenuPeer& Menu() = 0;

    virtual Text GetCaption() = 0;
    virtual void SetCaption(const Text& caption) = 0;
    virtual Rect GetOuterRect() = 0;  // screen coordinates
    virtual void SetOuterSize(int width, int height) = 0;
    virtual void SetOuterPosition(int left, int top) = 0;
    virtual Size GetClientSize() = 0;
    virtual void SetBackColour(Colour colour) = 0;
    virtual void Show() = 0;
    virtual bool IsShown() = 0;
    virtual void Focus() = 0;
    virtual void Close() = 0;  // destroys the live window
    virtual bool IsOpen() = 0;

    // Layered window: extended style and attributes as the program sets them.
    virtual std::uint32_t GetExStyle() = 0;
    virtual void SetExStyle(std::uint32_t style) = 0;
    virtual void SetLayeredAttributes(Colour key, int alpha, std::uint32_t flags) = 0;

    virtual void SetSizeHandler(std::function<void()> handler) = 0;
    // Runs when the user closes the window by its close box or the system
    // close keystroke; the window is closed afterwards unless it returns false.
    virtual void SetCloseHandler(std::function<bool()> handler) = 0;
};

constexpr std::uint32_t kExStyleLayered = 0x80000;      // WS_EX_LAYERED
constexpr std::uint32_t kLayeredColourKeyAndAlpha = 3;  // LWA_COLORKEY | LWA_ALPHA

}  // namespace ui
