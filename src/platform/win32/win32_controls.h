#pragma once
// One class per control kind, over what every control shares (Win32Control).
// Only the files of this folder include it.
#include "platform/win32/win32_internal.h"

namespace platform::win32 {

class Win32Label final : public Win32Control {
  public:
    using Win32Control::Win32Control;

  protected:
    WindowClass Class() const override;
};

class Win32Button final : public Win32Control {
  public:
    using Win32Control::Win32Control;
    void OnCommand(WORD code) override;

  protected:
    WindowClass Class() const override;
};

class Win32CheckBox final : public Win32Control {
  public:
    using Win32Control::Win32Control;
    void OnCommand(WORD code) override;
    bool IsChecked() override;
    void SetChecked(bool checked) override;

  protected:
    WindowClass Class() const override;
    void Created() override;
};

class Win32GroupBox final : public Win32Control {
  public:
    using Win32Control::Win32Control;

  protected:
    WindowClass Class() const override;
};

// An owner-drawn button filled with its colour; clicked, the person picks another.
class Win32ColourPicker final : public Win32Control {
  public:
    using Win32Control::Win32Control;
    void OnCommand(WORD code) override;
    void OnDrawItem(const DRAWITEMSTRUCT& item) override;
    ui::Colour GetColour() override { return colour_; }
    void SetColour(ui::Colour colour) override;

  protected:
    WindowClass Class() const override;

  private:
    ui::Colour colour_ = def_.backColour.value_or(0);
};

// The edit box. Its byte limit is the program's, counted in GBK bytes: the
// subclass refuses what does not fit.
class Win32Edit final : public Win32Control {
  public:
    using Win32Control::Win32Control;
    bool Filter(HWND hwnd, UINT message, WPARAM wParam) override;
    int GetTextIndent() override;
    void SetTextIndent(int pixels) override;

  protected:
    WindowClass Class() const override;
    void Created() override;
    void FontSet() override { ApplyTextIndent(true); }
    bool PaintsAsWindow() const override { return IsWindowEnabled(hwnd_) != FALSE; }

  private:
    bool AcceptChar(wchar_t unit);
    void PasteWithinLimit();
    std::size_t BytesOutsideSelection() const;
    void ApplyTextIndent(bool fontChanged);

    wchar_t pendingHigh_ = 0;  // first half of a surrogate pair
    // The left margin the control chose for its font (pixels), and the
    // indent the program asked for on top of it (units).
    int fontMargin_ = 0;
    int textIndent_ = 0;
};

// The rich edit (Msftedit.dll) in plain-text mode: positions are UTF-16
// units with one position per line break.
class Win32RichEdit final : public Win32Control {
  public:
    using Win32Control::Win32Control;
    bool Filter(HWND hwnd, UINT message, WPARAM wParam) override;
    Text GetText() override;
    void SetText(const Text& value) override;
    void GetSelection(int& start, int& length) override;
    void SetSelectionRange(int start, int length) override;
    Text SelectedText() override;
    void ReplaceSelection(const Text& value) override;
    int FindForward(const Text& what, int start, bool matchCase) override;
    int TextLength() override;
    void Undo() override;
    void Cut() override;
    void Copy() override;
    void Paste() override;
    void SetDefaultFormat(const ui::CharFormat& format) override;
    ui::CharFormat GetDefaultFormat() override;
    void SetRedraw(bool on) override;

  protected:
    WindowClass Class() const override;
    void Created() override;
    void Rescaled() override;
    void ColoursChanged(bool text) override;

  private:
    // The text (or its selection) with CR LF line breaks.
    Text RichEditText(bool selectionOnly);
    // Modes, limit, colours and subclass of a newly created control.
    void Prepare();
    // Puts a new, empty rich edit in the place of the current one.
    bool Renew();
    void ApplyColours();

    std::optional<ui::CharFormat> format_;  // the last default format set
    bool redrawOff_ = false;
};

class Win32ListBox final : public Win32Control {
  public:
    using Win32Control::Win32Control;
    void OnCommand(WORD code) override;
    int AddItem(const Text& text, int image) override;
    void AddItems(const std::vector<Text>& texts, int image) override;
    int ItemCount() override;
    Text ItemText(int index) override;
    void ClearItems() override;
    int Selection() override;
    void SetSelection(int index) override;

  protected:
    WindowClass Class() const override;
    void Created() override;
    bool PaintsAsWindow() const override { return true; }
};

// The list view of icons.
class Win32IconList final : public Win32Control {
  public:
    using Win32Control::Win32Control;
    void OnNotify(const NMHDR& header) override;
    void SetUserSelection(int index) override;
    int AddItem(const Text& text, int image) override;
    void AddItems(const std::vector<Text>& texts, int image) override;
    int ItemCount() override;
    Text ItemText(int index) override;
    int ItemImage(int index) override;
    void ClearItems() override;
    int Selection() override;
    void SetSelection(int index) override;
    void SetImageList(const ui::ImageStrip& strip) override;
    int ImageCount() override;

  protected:
    WindowClass Class() const override;
    void Created() override;
    void Rescaled() override;
    void ColoursChanged(bool text) override;

  private:
    void ApplyColours();

    bool programSelects_ = false;                   // the program, not the user, selects
    std::shared_ptr<const ui::ImageStrip> images_;  // drawn again at a new DPI
};

class Win32ProgressBar final : public Win32Control {
  public:
    using Win32Control::Win32Control;
    void SetVisible(bool visible) override;
    int GetPosition() override;
    void SetPosition(int position) override;

  protected:
    WindowClass Class() const override;
    void Created() override;
    void ColoursChanged(bool text) override;
};

class Win32Slider final : public Win32Control {
  public:
    using Win32Control::Win32Control;
    void OnScroll() override;
    int GetPosition() override;
    void SetPosition(int position) override;

  protected:
    WindowClass Class() const override;
    void Created() override;

  private:
    int reported_ = 0;  // the last position reported
};

// The kinds without a window of their own keep the place the program gives them.
class Win32NonVisual : public Win32Control {
  public:
    using Win32Control::Win32Control;
    void Create() override { place_ = {def_.left, def_.top, def_.width, def_.height}; }
    ui::Rect GetRect() override { return place_; }
    void SetRect(const ui::Rect& rect) override { place_ = rect; }

  protected:
    WindowClass Class() const override { return {}; }

  private:
    ui::Rect place_;
};

// Ticks from the person's side: the system's timer of the owning window.
class Win32Timer final : public Win32NonVisual {
  public:
    using Win32NonVisual::Win32NonVisual;
    void Create() override;
    void Detach() override;
    void OnTimer() override;
    bool TimerArmed() const override { return period_ > 0 && alive_; }
    int GetPeriod() override { return period_; }
    void SetPeriod(int milliseconds) override;

  private:
    UINT_PTR Id() const { return kFirstTimerId + static_cast<UINT_PTR>(index_); }

    int period_ = 0;
    bool alive_ = true;
};

class Win32FileDialog final : public Win32NonVisual {
  public:
    using Win32NonVisual::Win32NonVisual;
    std::optional<Text> ShowFileDialog(const ui::FileDialogRequest& request) override;
};

}  // namespace platform::win32
