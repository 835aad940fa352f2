#pragma once
// Typed handles over control peers. Window structs declare members named as
// the controls of their definition (按钮1, 编辑框2, ...) and bind them by name.
#include <cassert>
#include <functional>
#include <memory>

#include "platform/desktop.h"
#include "platform/window/peer.h"

namespace ui {

class ControlHandle {
  public:
    void Bind(ControlPeer& peer) { peer_ = &peer; }
    ControlPeer& Peer() const {
        assert(peer_ != nullptr);
        return *peer_;
    }

    Text GetText() const { return Peer().GetText(); }
    void SetText(const Text& value) const { Peer().SetText(value); }
    bool IsVisible() const { return Peer().IsVisible(); }
    void SetVisible(bool visible) const { Peer().SetVisible(visible); }
    void Show() const { SetVisible(true); }
    void Hide() const { SetVisible(false); }
    bool IsEnabled() const { return Peer().IsEnabled(); }
    void SetEnabled(bool enabled) const { Peer().SetEnabled(enabled); }
    void Enable() const { SetEnabled(true); }
    void Disable() const { SetEnabled(false); }
    Rect GetRect() const { return Peer().GetRect(); }
    void SetRect(const Rect& rect) const { Peer().SetRect(rect); }
    int Left() const { return GetRect().left; }
    int Top() const { return GetRect().top; }
    int Width() const { return GetRect().width; }
    int Height() const { return GetRect().height; }
    void SetLeft(int left) const;
    void SetTop(int top) const;
    void SetWidth(int width) const;
    void SetHeight(int height) const;
    Font GetFont() const { return Peer().GetFont(); }
    void SetFont(const Font& font) const { Peer().SetFont(font); }
    void SetFontFace(const Text& face) const;
    void SetTextColour(Colour colour) const { Peer().SetTextColour(colour); }
    void SetBackColour(Colour colour) const { Peer().SetBackColour(colour); }
    void Focus() const { Peer().Focus(); }
    bool HasFocus() const { return Peer().HasFocus(); }

  protected:
    void On(Event event, std::function<void()> handler) const {
        Peer().SetHandler(event, [h = std::move(handler)](int) { h(); });
    }

  private:
    ControlPeer* peer_ = nullptr;
};

class Label : public ControlHandle {};
class GroupBox : public ControlHandle {};
class Edit : public ControlHandle {
  public:
    int TextIndent() const { return Peer().GetTextIndent(); }
    void SetTextIndent(int pixels) const { Peer().SetTextIndent(pixels); }
};

class Button : public ControlHandle {
  public:
    void OnClick(std::function<void()> handler) const { On(Event::Click, std::move(handler)); }
};

class CheckBox : public ControlHandle {
  public:
    bool IsChecked() const { return Peer().IsChecked(); }
    void SetChecked(bool checked) const { Peer().SetChecked(checked); }
    void OnClick(std::function<void()> handler) const { On(Event::Click, std::move(handler)); }
};

class ListBox : public ControlHandle {
  public:
    int AddItem(const Text& text) const { return Peer().AddItem(text, -1); }
    void AddItems(const std::vector<Text>& texts) const { Peer().AddItems(texts, -1); }
    int Count() const { return Peer().ItemCount(); }
    Text ItemText(int index) const { return Peer().ItemText(index); }
    void Clear() const { Peer().ClearItems(); }
    int Selected() const { return Peer().Selection(); }
    void Select(int index) const { Peer().SetSelection(index); }
    Text SelectedText() const;
    void OnSelect(std::function<void()> handler) const { On(Event::Select, std::move(handler)); }
};

class IconList : public ControlHandle {
  public:
    int AppendItem(const Text& text, int image) const { return Peer().AddItem(text, image); }
    void AppendItems(const std::vector<Text>& texts, int image) const {
        Peer().AddItems(texts, image);
    }
    int Count() const { return Peer().ItemCount(); }
    Text ItemText(int index) const { return Peer().ItemText(index); }
    int ItemImage(int index) const { return Peer().ItemImage(index); }
    void Clear() const { Peer().ClearItems(); }
    int Selected() const { return Peer().Selection(); }
    void Select(int index) const { Peer().SetSelection(index); }
    void SetImages(const ImageStrip& strip) const { Peer().SetImageList(strip); }
    int ImageCount() const { return Peer().ImageCount(); }
    void OnChoose(std::function<void()> handler) const { On(Event::Select, std::move(handler)); }
};

class RichEdit : public ControlHandle {
  public:
    int SelectionStart() const;
    int SelectionLength() const;
    void SetSelection(int start, int length) const { Peer().SetSelectionRange(start, length); }
    Text SelectedText() const { return Peer().SelectedText(); }
    void ReplaceSelection(const Text& value) const { Peer().ReplaceSelection(value); }
    int FindForward(const Text& what, int start, bool matchCase) const {
        return Peer().FindForward(what, start, matchCase);
    }
    int Length() const { return Peer().TextLength(); }
    void Undo() const { Peer().Undo(); }
    void Cut() const { Peer().Cut(); }
    void Copy() const { Peer().Copy(); }
    void Paste() const { Peer().Paste(); }
    void SetDefaultFormat(const CharFormat& format) const { Peer().SetDefaultFormat(format); }
    CharFormat GetDefaultFormat() const { return Peer().GetDefaultFormat(); }
    void SetRedraw(bool on) const { Peer().SetRedraw(on); }
    void OnRightButtonDown(std::function<void()> handler) const {
        On(Event::RightButtonDown, std::move(handler));
    }
};

class ProgressBar : public ControlHandle {
  public:
    int Position() const { return Peer().GetPosition(); }
    void SetPosition(int position) const { Peer().SetPosition(position); }
};

class Slider : public ControlHandle {
  public:
    int Position() const { return Peer().GetPosition(); }
    void SetPosition(int position) const { Peer().SetPosition(position); }
    void OnPositionChanged(std::function<void()> handler) const {
        On(Event::PositionChanged, std::move(handler));
    }
};

class ColourPicker : public ControlHandle {
  public:
    Colour GetColour() const { return Peer().GetColour(); }
    void SetColour(Colour colour) const { Peer().SetColour(colour); }
};

class Timer : public ControlHandle {
  public:
    int Period() const { return Peer().GetPeriod(); }
    void SetPeriod(int milliseconds) const { Peer().SetPeriod(milliseconds); }
    void Arm() const { SetPeriod(100); }
    void Stop() const { SetPeriod(0); }
    void OnTick(std::function<void()> handler) const { On(Event::Tick, std::move(handler)); }
};

class FileDialog : public ControlHandle {
  public:
    std::optional<Text> Show(const FileDialogRequest& request) const {
        return Peer().ShowFileDialog(request);
    }
};

class ZipCompressor : public ControlHandle {
  public:
    void OnProgress(std::function<void(int)> handler) const {
        Peer().SetHandler(Event::Progress, std::move(handler));
    }
};

class MenuItem {
  public:
    MenuItem(MenuPeer& menu, Text caption) : menu_(menu), caption_(std::move(caption)) {}
    bool IsEnabled() const { return menu_.IsEnabled(caption_); }
    void SetEnabled(bool enabled) const { menu_.SetEnabled(caption_, enabled); }
    void Enable() const { SetEnabled(true); }
    void Disable() const { SetEnabled(false); }
    bool IsChecked() const { return menu_.IsChecked(caption_); }
    void SetChecked(bool checked) const { menu_.SetChecked(caption_, checked); }
    void OnChoose(std::function<void()> handler) const {
        menu_.SetHandler(caption_, std::move(handler));
    }

  private:
    MenuPeer& menu_;
    Text caption_;
};

class Menu {
  public:
    void Bind(MenuPeer& peer) { peer_ = &peer; }
    MenuPeer& Peer() const {
        assert(peer_ != nullptr);
        return *peer_;
    }
    MenuItem operator[](const Text& caption) const {
        assert(Peer().HasItem(caption));
        return MenuItem(Peer(), caption);
    }
    void PopUpAtCursor(const Text& barCaption) const { Peer().PopUpAtCursor(barCaption); }

  private:
    MenuPeer* peer_ = nullptr;
};

// Base of the typed window structs: owns the live window.
class Window {
  public:
    virtual ~Window() = default;
    bool IsOpen() const { return peer_ != nullptr && peer_->IsOpen(); }
    WindowPeer& Peer() const {
        assert(peer_ != nullptr);
        return *peer_;
    }
    Text GetCaption() const { return Peer().GetCaption(); }
    void SetCaption(const Text& caption) const { Peer().SetCaption(caption); }
    void Close() const { Peer().Close(); }
    void Focus() const { Peer().Focus(); }

  protected:
    // Builds the window from its definition; the derived struct then binds
    // its members by name.
    void Build(platform::Desktop& desktop, const WindowDef& def, WindowPeer* owner);
    template <typename Handle>
    void BindControl(Handle& handle, const Text& name) {
        handle.Bind(Peer().Control(name));
    }

  private:
    std::unique_ptr<WindowPeer> peer_;
};

}  // namespace ui

// Binds window members to the controls of the same name.
#define MOXIA_BIND(member) BindControl(member, #member)
