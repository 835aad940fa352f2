// Control peers: one real child window per visual control of a definition.
#include <cwchar>

#include "platform/win32/win32_internal.h"
#include "platform/window/byte_limit.h"

namespace platform::win32 {

namespace {

// Edit boxes with a byte limit, and rich edits (right button), are
// subclassed; the control peer does the work.
LRESULT CALLBACK ControlSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR data) {
    auto* control = reinterpret_cast<Win32Control*>(data);
    switch (message) {
        case WM_CHAR:
            if (control->Definition().kind == ui::ControlKind::Edit &&
                !control->AcceptChar(static_cast<wchar_t>(wParam))) {
                return 0;
            }
            break;
        case WM_PASTE:
            if (control->Definition().kind == ui::ControlKind::Edit) {
                control->PasteWithinLimit();
                return 0;
            }
            break;
        case WM_RBUTTONDOWN:
            if (control->Definition().kind == ui::ControlKind::RichEdit) {
                control->OnRightButtonDown();
                if (!IsWindow(hwnd)) return 0;
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, &ControlSubclassProc, id);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

std::wstring ClipboardText(HWND owner) {
    std::wstring result;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner)) return result;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            result = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return result;
}

}  // namespace

Win32Control::Win32Control(Win32Window& window, int index, const ui::ControlDef& def)
    : window_(window),
      index_(index),
      def_(def),
      font_(def.font),
      textColour_(def.textColour),
      backColour_(def.backColour) {}

Win32Control::~Win32Control() = default;

void Win32Control::Create() {
    nonVisualRect_ = {def_.left, def_.top, def_.width, def_.height};
    colour_ = def_.backColour.value_or(0);
    if (!ui::IsVisualKind(def_.kind)) {
        if (Is(ui::ControlKind::Timer) && def_.timerPeriod > 0) SetPeriod(def_.timerPeriod);
        return;
    }

    DesktopState& desktop = window_.Desktop();
    const wchar_t* className = L"STATIC";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    bool focusable = true;
    std::wstring caption = Wide(def_.caption);
    switch (def_.kind) {
        case ui::ControlKind::Label:
            style |= SS_LEFT | SS_NOPREFIX;
            focusable = false;
            break;
        case ui::ControlKind::Button:
            className = L"BUTTON";
            style |= def_.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
            break;
        case ui::ControlKind::CheckBox:
            className = L"BUTTON";
            style |= BS_AUTOCHECKBOX;
            break;
        case ui::ControlKind::GroupBox:
            className = L"BUTTON";
            style |= BS_GROUPBOX;
            focusable = false;
            break;
        case ui::ControlKind::Edit:
            className = L"EDIT";
            style |= ES_LEFT;
            style |= def_.multiline ? ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL
                                    : ES_AUTOHSCROLL;
            if (def_.password) style |= ES_PASSWORD;
            if (def_.readOnly) style |= ES_READONLY;
            if (def_.border) exStyle |= WS_EX_CLIENTEDGE;
            break;
        case ui::ControlKind::ListBox:
            className = L"LISTBOX";
            style |= LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
            if (def_.sorted) style |= LBS_SORT;
            exStyle |= WS_EX_CLIENTEDGE;
            caption.clear();
            break;
        case ui::ControlKind::IconList:
            className = WC_LISTVIEWW;
            style |= LVS_ICON | LVS_SINGLESEL | LVS_AUTOARRANGE | LVS_SHOWSELALWAYS;
            exStyle |= WS_EX_CLIENTEDGE;
            caption.clear();
            break;
        case ui::ControlKind::RichEdit:
            className = MSFTEDIT_CLASS;
            style |= ES_MULTILINE | WS_VSCROLL | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL;
            exStyle |= WS_EX_CLIENTEDGE;
            caption.clear();  // set once the plain-text mode is on
            break;
        case ui::ControlKind::ProgressBar:
            className = PROGRESS_CLASSW;
            focusable = false;
            caption.clear();
            break;
        case ui::ControlKind::Slider:
            className = TRACKBAR_CLASSW;
            style |= TBS_HORZ;
            caption.clear();
            break;
        case ui::ControlKind::ColourPicker:
            className = L"BUTTON";
            style |= BS_OWNERDRAW;
            caption.clear();
            break;
        default:
            return;
    }
    if (def_.visible) style |= WS_VISIBLE;
    if (def_.disabled) style |= WS_DISABLED;
    if (def_.tabStop && focusable) style |= WS_TABSTOP;

    const POINT origin = window_.OriginOf(def_.parent);
    const ui::Rect place =
        window_.Scale().ToPixels(ui::Rect{def_.left, def_.top, def_.width, def_.height});
    hwnd_ = CreateWindowExW(exStyle, className, caption.c_str(), style, origin.x + place.left,
                            origin.y + place.top, place.width, place.height, window_.Hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index_)),
                            desktop.instance, nullptr);
    if (hwnd_ == nullptr) Fail("cannot create the control", def_.name);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
    if (Is(ui::ControlKind::Edit)) ApplyTextIndent(true);

    switch (def_.kind) {
        case ui::ControlKind::Edit:
            // The byte limit is ours; the control's own character limit is lifted.
            SendMessageW(hwnd_, EM_SETLIMITTEXT, 0, 0);
            if (def_.password) SendMessageW(hwnd_, EM_SETPASSWORDCHAR, L'*', 0);
            if (def_.byteLimit > 0) {
                SetWindowSubclass(hwnd_, &ControlSubclassProc, 1,
                                  reinterpret_cast<DWORD_PTR>(this));
            }
            break;
        case ui::ControlKind::ListBox:
            for (const Text& item : def_.items) AddItem(item, -1);
            break;
        case ui::ControlKind::IconList:
            for (const Text& item : def_.items) AddItem(item, 0);
            if (textColour_ || backColour_) ApplyListViewColours();
            break;
        case ui::ControlKind::RichEdit:
            PrepareRichEdit();
            if (!def_.caption.empty()) SetText(def_.caption);
            SendMessageW(hwnd_, EM_EMPTYUNDOBUFFER, 0, 0);
            break;
        case ui::ControlKind::ProgressBar:
            SendMessageW(hwnd_, PBM_SETRANGE32, 0, 100);
            SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(def_.position), 0);
            break;
        case ui::ControlKind::Slider:
            SendMessageW(hwnd_, TBM_SETRANGEMIN, FALSE, def_.rangeMin);
            SendMessageW(hwnd_, TBM_SETRANGEMAX, FALSE, def_.rangeMax);
            SendMessageW(hwnd_, TBM_SETPOS, TRUE, def_.position);
            sliderPosition_ = static_cast<int>(SendMessageW(hwnd_, TBM_GETPOS, 0, 0));
            break;
        case ui::ControlKind::CheckBox:
            if (def_.checked) SendMessageW(hwnd_, BM_SETCHECK, BST_CHECKED, 0);
            break;
        default:
            break;
    }
}

void Win32Control::PrepareRichEdit() {
    SendMessageW(hwnd_, EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO, 0);
    SendMessageW(hwnd_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    SendMessageW(hwnd_, EM_AUTOURLDETECT, FALSE, 0);
    if (textColour_ || backColour_) ApplyRichEditColours();
    SetWindowSubclass(hwnd_, &ControlSubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

void Win32Control::Detach() {
    hwnd_ = nullptr;
    windowAlive_ = false;
    period_ = 0;
}

void Win32Control::Fire(ui::Event event, int argument) {
    auto it = handlers_.find(event);
    if (it == handlers_.end() || !it->second) return;
    // A copy: the handler may replace itself or close the window.
    ui::EventHandler handler = it->second;
    handler(argument);
}

void Win32Control::SetHandler(ui::Event event, ui::EventHandler handler) {
    handlers_[event] = std::move(handler);
}

// ---------------------------------------------------------- notifications ---

void Win32Control::OnCommand(WORD code) {
    switch (def_.kind) {
        case ui::ControlKind::Button:
        case ui::ControlKind::CheckBox:
            if (code == BN_CLICKED) Fire(ui::Event::Click, 0);
            break;
        case ui::ControlKind::ColourPicker:
            if (code != BN_CLICKED) break;
            if (const auto chosen =
                    window_.Desktop().person->ChooseColour(window_.Hwnd(), colour_)) {
                SetColour(*chosen);
            }
            break;
        case ui::ControlKind::ListBox:
            if (code == LBN_SELCHANGE && !keyboardSelects) Fire(ui::Event::Select, Selection());
            break;
        default:
            break;
    }
}

void Win32Control::OnNotify(const NMHDR& header) {
    if (!Is(ui::ControlKind::IconList) || header.code != LVN_ITEMCHANGED) return;
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    const bool nowSelected = (change.uNewState & LVIS_SELECTED) != 0;
    const bool wasSelected = (change.uOldState & LVIS_SELECTED) != 0;
    if ((change.uChanged & LVIF_STATE) == 0 || !nowSelected || wasSelected || change.iItem < 0) {
        return;
    }
    // The handler runs later, from the window's queue: it may delete every
    // item, which the list view must not see while it is still notifying.
    if (!programSelects_ && !keyboardSelects) {
        PostMessageW(window_.Hwnd(), kMsgIconChosen, static_cast<WPARAM>(index_), 0);
    }
}

void Win32Control::OnIconChosen() {
    Fire(ui::Event::Select, Selection());
}

void Win32Control::OnScroll() {
    if (!Is(ui::ControlKind::Slider) || hwnd_ == nullptr) return;
    const int position = static_cast<int>(SendMessageW(hwnd_, TBM_GETPOS, 0, 0));
    if (position == sliderPosition_) return;
    sliderPosition_ = position;
    Fire(ui::Event::PositionChanged, position);
}

void Win32Control::OnTimer() {
    if (period_ > 0) Fire(ui::Event::Tick, 0);
}

void Win32Control::OnRightButtonDown() {
    Fire(ui::Event::RightButtonDown, 0);
}

void Win32Control::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (!Is(ui::ControlKind::ColourPicker)) return;
    RECT rect = item.rcItem;
    HDC dc = item.hDC;
    DrawEdge(dc, &rect, (item.itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED,
             BF_RECT | BF_ADJUST);
    FillRect(dc, &rect, window_.Desktop().BrushFor(colour_));
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&rect, -2, -2);
        DrawFocusRect(dc, &rect);
    }
}

HBRUSH Win32Control::OnCtlColour(HDC dc) {
    if (!textColour_ && !backColour_) return nullptr;
    COLORREF back = 0;
    if (backColour_) {
        back = *backColour_;
    } else {
        const bool editable =
            (Is(ui::ControlKind::Edit) && IsWindowEnabled(hwnd_)) || Is(ui::ControlKind::ListBox);
        back = editable ? GetSysColor(COLOR_WINDOW) : window_.BackgroundColour();
    }
    if (textColour_) SetTextColor(dc, *textColour_ & 0xFFFFFF);
    SetBkColor(dc, back);
    return window_.Desktop().BrushFor(back);
}

// ------------------------------------------------------------ byte limit ---

namespace {

std::u16string_view Utf16(std::wstring_view wide) {
    return {reinterpret_cast<const char16_t*>(wide.data()), wide.size()};
}

}  // namespace

std::size_t Win32Control::BytesOutsideSelection() const {
    DWORD start = 0, end = 0;
    SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return ui::BytesOutsideSelection(Utf16(WindowText(hwnd_)), start, end);
}

bool Win32Control::AcceptChar(wchar_t unit) {
    if (def_.byteLimit <= 0 || hwnd_ == nullptr) return true;
    std::wstring inserted;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        // Wait for the second half: the pair is one character.
        pendingHigh_ = unit;
        return false;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF && pendingHigh_ != 0) {
        inserted = {pendingHigh_, unit};
        pendingHigh_ = 0;
    } else {
        pendingHigh_ = 0;
        if (unit == L'\r') {
            if (!def_.multiline) return true;  // not inserted
            inserted = L"\r\n";
        } else if (unit < 0x20 && unit != L'\t') {
            return true;  // editing keys (backspace, Ctrl+letter) insert nothing
        } else {
            inserted.assign(1, unit);
        }
    }
    if (ui::WithinByteLimit(Utf16(inserted), BytesOutsideSelection(), def_.byteLimit).empty()) {
        MessageBeep(MB_OK);
        return false;
    }
    if (inserted.size() == 2 && inserted != L"\r\n") {
        SendMessageW(hwnd_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(inserted.c_str()));
        return false;  // inserted here, as one character
    }
    return true;
}

void Win32Control::PasteWithinLimit() {
    if (hwnd_ == nullptr || (GetWindowLongW(hwnd_, GWL_STYLE) & ES_READONLY) != 0) return;
    const std::wstring clip = ClipboardText(hwnd_);
    const std::u16string_view offered = def_.multiline ? Utf16(clip) : ui::FirstLine(Utf16(clip));
    const std::u16string_view fits =
        ui::WithinByteLimit(offered, BytesOutsideSelection(), def_.byteLimit);
    if (fits.empty()) {
        if (!clip.empty()) MessageBeep(MB_OK);
        return;
    }
    const std::wstring pasted(fits.begin(), fits.end());
    SendMessageW(hwnd_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted.c_str()));
}

// ---------------------------------------------------------- every visual ---

Text Win32Control::GetText() {
    if (hwnd_ == nullptr) return {};
    if (Is(ui::ControlKind::RichEdit)) return RichEditText(false);
    return FromWide(WindowText(hwnd_));
}

void Win32Control::SetText(const Text& value) {
    if (hwnd_ == nullptr) return;
    if (Is(ui::ControlKind::RichEdit)) return SetRichEditText(value);
    SetWindowTextW(hwnd_, Wide(value).c_str());
}

bool Win32Control::IsVisible() {
    return hwnd_ != nullptr && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Control::SetVisible(bool visible) {
    if (hwnd_ == nullptr) return;
    ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
    // The bar is shown for work that keeps the message loop waiting: it is
    // painted now, not when the work is done.
    if (visible && Is(ui::ControlKind::ProgressBar)) UpdateWindow(hwnd_);
}

bool Win32Control::IsEnabled() {
    return hwnd_ != nullptr && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_DISABLED) == 0;
}

void Win32Control::SetEnabled(bool enabled) {
    if (hwnd_ != nullptr) EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

ui::Rect Win32Control::GetRect() {
    if (!ui::IsVisualKind(def_.kind)) return nonVisualRect_;
    if (hwnd_ == nullptr) return {};
    RECT rect;
    GetWindowRect(hwnd_, &rect);
    MapWindowPoints(nullptr, window_.Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    const POINT origin = window_.OriginOf(def_.parent);
    return window_.Scale().ToUnits(ui::Rect{rect.left - origin.x, rect.top - origin.y,
                                            rect.right - rect.left, rect.bottom - rect.top});
}

void Win32Control::SetRect(const ui::Rect& rect) {
    if (!ui::IsVisualKind(def_.kind)) {
        nonVisualRect_ = rect;
        return;
    }
    if (hwnd_ == nullptr) return;
    const POINT origin = window_.OriginOf(def_.parent);
    const ui::Rect place = window_.Scale().ToPixels(rect);
    MoveWindow(hwnd_, origin.x + place.left, origin.y + place.top, place.width, place.height, TRUE);
}

void Win32Control::Rescale(const ui::Rect& units) {
    if (hwnd_ == nullptr) return;
    SetRect(units);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
    if (Is(ui::ControlKind::Edit)) ApplyTextIndent(true);
    if (Is(ui::ControlKind::IconList) && images_ != nullptr) SetImageList(*images_);
    // The rich edit takes a new font as the format of all its text.
    if (Is(ui::ControlKind::RichEdit) && richFormat_) {
        ui::CharFormat format = *richFormat_;
        format.colour = textColour_;
        SetDefaultFormat(format);
    }
}

HFONT Win32Control::Font() const {
    return window_.Desktop().FontFor(font_, window_.Scale().Dpi());
}

ui::Font Win32Control::GetFont() {
    return font_;
}

void Win32Control::SetFont(const ui::Font& font) {
    font_ = font;
    if (hwnd_ == nullptr) return;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
    // A new font resets the edit box's margins to the font's own.
    if (Is(ui::ControlKind::Edit)) ApplyTextIndent(true);
}

void Win32Control::ApplyTextIndent(bool fontChanged) {
    if (fontChanged) {
        fontMargin_ = LOWORD(SendMessageW(hwnd_, EM_GETMARGINS, 0, 0));
        if (textIndent_ == 0) return;
    }
    const int indent = window_.Scale().ToPixels(textIndent_);
    SendMessageW(hwnd_, EM_SETMARGINS, EC_LEFTMARGIN,
                 MAKELPARAM(static_cast<WORD>(fontMargin_ + indent), 0));
    InvalidateRect(hwnd_, nullptr, TRUE);
}

int Win32Control::GetTextIndent() {
    if (hwnd_ == nullptr || !Is(ui::ControlKind::Edit)) return 0;
    return window_.Scale().ToUnits(LOWORD(SendMessageW(hwnd_, EM_GETMARGINS, 0, 0)) - fontMargin_);
}

void Win32Control::SetTextIndent(int pixels) {
    if (hwnd_ == nullptr || !Is(ui::ControlKind::Edit)) return;
    textIndent_ = std::max(pixels, 0);
    ApplyTextIndent(false);
}

void Win32Control::SetTextColour(ui::Colour colour) {
    textColour_ = colour;
    if (hwnd_ == nullptr) return;
    if (Is(ui::ControlKind::RichEdit)) return ApplyRichEditColours();
    if (Is(ui::ControlKind::IconList)) return ApplyListViewColours();
    if (Is(ui::ControlKind::ProgressBar)) SendMessageW(hwnd_, PBM_SETBARCOLOR, 0, colour);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32Control::SetBackColour(ui::Colour colour) {
    backColour_ = colour;
    if (hwnd_ == nullptr) return;
    if (Is(ui::ControlKind::RichEdit)) return ApplyRichEditColours();
    if (Is(ui::ControlKind::IconList)) return ApplyListViewColours();
    if (Is(ui::ControlKind::ProgressBar)) SendMessageW(hwnd_, PBM_SETBKCOLOR, 0, colour);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32Control::ApplyListViewColours() {
    if (backColour_) {
        SendMessageW(hwnd_, LVM_SETBKCOLOR, 0, *backColour_);
        SendMessageW(hwnd_, LVM_SETTEXTBKCOLOR, 0, *backColour_);
    }
    if (textColour_) SendMessageW(hwnd_, LVM_SETTEXTCOLOR, 0, *textColour_);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32Control::Focus() {
    if (hwnd_ != nullptr) SetFocus(hwnd_);
}

bool Win32Control::HasFocus() {
    if (hwnd_ == nullptr) return false;
    HWND focus = GetFocus();
    return focus != nullptr && (focus == hwnd_ || IsChild(hwnd_, focus));
}

// ------------------------------------------------------------ list kinds ---

int Win32Control::AddItem(const Text& text, int image) {
    if (hwnd_ == nullptr) return -1;
    const std::wstring wide = Wide(text);
    if (Is(ui::ControlKind::ListBox)) {
        const LRESULT index =
            SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        return index < 0 ? -1 : static_cast<int>(index);
    }
    if (Is(ui::ControlKind::IconList)) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = static_cast<int>(SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0));
        item.pszText = const_cast<wchar_t*>(wide.c_str());
        item.iImage = image;
        programSelects_ = true;
        const LRESULT index =
            SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        programSelects_ = false;
        return index < 0 ? -1 : static_cast<int>(index);
    }
    return -1;
}

// Filled item by item, a list redraws itself (or, hidden, its scroll bar)
// each time, and under Wine that costs up to tens of milliseconds per item;
// so drawing is off while all go in.
void Win32Control::AddItems(const std::vector<Text>& texts, int image) {
    if (hwnd_ == nullptr || texts.empty() ||
        !(Is(ui::ControlKind::ListBox) || Is(ui::ControlKind::IconList))) {
        return;
    }
    const bool shown = IsVisible();
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    std::vector<std::wstring> wide;
    wide.reserve(texts.size());
    std::size_t units = 0;
    for (const Text& text : texts) {
        wide.push_back(Wide(text));
        units += wide.back().size() + 1;
    }
    const std::size_t total = static_cast<std::size_t>(ItemCount()) + texts.size();
    if (Is(ui::ControlKind::ListBox)) {
        if (def_.sorted) {
            // The list still places every item itself; given them in its own
            // order, each lands at the end and none of the others move. Items
            // it holds equal land by the path of its search, so with any of
            // those they go in as given.
            // Sort keys order strings as CompareStringW does; made once each.
            const LCID locale = static_cast<LCID>(SendMessageW(hwnd_, LB_GETLOCALE, 0, 0));
            const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
            std::vector<std::pair<std::string, std::size_t>> keys;
            keys.reserve(wide.size());
            for (const std::wstring& item : wide) {
                const int size = LCMapStringW(locale, flags, item.c_str(), -1, nullptr, 0);
                std::string key(static_cast<std::size_t>(std::max(size, 0)), '\0');
                LCMapStringW(locale, flags, item.c_str(), -1, reinterpret_cast<LPWSTR>(key.data()),
                             size);
                keys.emplace_back(std::move(key), keys.size());
            }
            std::sort(keys.begin(), keys.end());
            const auto same = [](const auto& a, const auto& b) { return a.first == b.first; };
            if (std::adjacent_find(keys.begin(), keys.end(), same) == keys.end()) {
                std::vector<std::wstring> ordered;
                ordered.reserve(wide.size());
                for (const auto& key : keys) ordered.push_back(std::move(wide[key.second]));
                wide = std::move(ordered);
            }
        }
        SendMessageW(hwnd_, LB_INITSTORAGE, total, units * sizeof(wchar_t));
        for (const std::wstring& item : wide) {
            SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
    } else {
        SendMessageW(hwnd_, LVM_SETITEMCOUNT, total, 0);
        programSelects_ = true;
        for (std::wstring& text : wide) {
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = static_cast<int>(SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0));
            item.pszText = text.data();
            item.iImage = image;
            SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        programSelects_ = false;
    }
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    // On Windows drawing turned on marks a hidden window visible.
    if (!shown && IsVisible()) ShowWindow(hwnd_, SW_HIDE);
    if (shown) InvalidateRect(hwnd_, nullptr, TRUE);
}

int Win32Control::ItemCount() {
    if (hwnd_ == nullptr) return 0;
    if (Is(ui::ControlKind::ListBox))
        return static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0));
    if (Is(ui::ControlKind::IconList)) {
        return static_cast<int>(SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0));
    }
    return 0;
}

Text Win32Control::ItemText(int index) {
    if (hwnd_ == nullptr || index < 0 || index >= ItemCount()) return {};
    if (Is(ui::ControlKind::ListBox)) {
        const LRESULT length = SendMessageW(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length < 0) return {};
        std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
        const LRESULT copied = SendMessageW(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index),
                                            reinterpret_cast<LPARAM>(buffer.data()));
        buffer.resize(copied < 0 ? 0 : static_cast<std::size_t>(copied));
        return FromWide(buffer);
    }
    if (Is(ui::ControlKind::IconList)) {
        // The list view gives no length: grow until the text fits.
        for (std::size_t size = 256;; size *= 2) {
            std::wstring buffer(size, L'\0');
            LVITEMW item{};
            item.iSubItem = 0;
            item.pszText = buffer.data();
            item.cchTextMax = static_cast<int>(size);
            const LRESULT copied = SendMessageW(hwnd_, LVM_GETITEMTEXTW, static_cast<WPARAM>(index),
                                                reinterpret_cast<LPARAM>(&item));
            if (copied < static_cast<LRESULT>(size) - 1 || size >= (1u << 20)) {
                buffer.resize(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
                return FromWide(buffer);
            }
        }
    }
    return {};
}

int Win32Control::ItemImage(int index) {
    if (hwnd_ == nullptr || !Is(ui::ControlKind::IconList)) return -1;
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    if (!SendMessageW(hwnd_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return -1;
    return item.iImage;
}

void Win32Control::ClearItems() {
    if (hwnd_ == nullptr) return;
    if (Is(ui::ControlKind::ListBox)) SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
    if (Is(ui::ControlKind::IconList)) {
        programSelects_ = true;
        SendMessageW(hwnd_, LVM_DELETEALLITEMS, 0, 0);
        programSelects_ = false;
    }
}

int Win32Control::Selection() {
    if (hwnd_ == nullptr) return -1;
    if (Is(ui::ControlKind::ListBox)) {
        const LRESULT index = SendMessageW(hwnd_, LB_GETCURSEL, 0, 0);
        return index < 0 ? -1 : static_cast<int>(index);
    }
    if (Is(ui::ControlKind::IconList)) {
        const LRESULT index =
            SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
        return index < 0 ? -1 : static_cast<int>(index);
    }
    return -1;
}

void Win32Control::SetSelection(int index) {
    if (hwnd_ == nullptr) return;
    if (Is(ui::ControlKind::ListBox)) {
        SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        return;
    }
    if (!Is(ui::ControlKind::IconList)) return;
    programSelects_ = true;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (index < 0 || index >= ItemCount()) {
        item.state = 0;
        SendMessageW(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&item));
    } else {
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        SendMessageW(hwnd_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
    }
    programSelects_ = false;
}

void Win32Control::SetUserSelection(int index) {
    if (hwnd_ == nullptr || !Is(ui::ControlKind::IconList)) return;
    if (index < 0 || index >= ItemCount()) return;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
}

void Win32Control::SetImageList(const ui::ImageStrip& given) {
    if (hwnd_ == nullptr || !Is(ui::ControlKind::IconList)) return;
    if (images_ == nullptr || images_.get() != &given) {
        images_ = std::make_shared<const ui::ImageStrip>(given);
    }
    // The cells are as large in units as the strip's; on a screen of more
    // than 96 DPI they come from a larger rendering.
    const int cell = window_.Scale().ToPixels(given.cellWidth);
    const bool asGiven = cell == given.cellWidth && cell == given.cellHeight;
    const ui::ImageStrip scaled = asGiven ? ui::ImageStrip{} : StripForCell(given, cell);
    const ui::ImageStrip& strip = asGiven ? given : scaled;
    const int width = strip.width, height = strip.height;
    if (strip.cellWidth <= 0 || strip.cellHeight <= 0 || width <= 0 || height <= 0 ||
        strip.rgba.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, as the strip's rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (bitmap == nullptr || bits == nullptr) return;
    // RGBA to the DIB's BGRA, straight alpha. Pixels of the key colour are the
    // background: transparent whether drawn with alpha or through the mask.
    const ui::Colour key = strip.KeyColour();
    auto* out = static_cast<std::uint32_t*>(bits);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
        const std::uint32_t px = strip.rgba[i];
        const std::uint32_t r = px & 0xFF, g = (px >> 8) & 0xFF, b = (px >> 16) & 0xFF;
        const std::uint32_t a = (px & 0xFFFFFF) == key ? 0 : px >> 24;
        out[i] = b | (g << 8) | (r << 16) | (a << 24);
    }
    GdiFlush();
    HIMAGELIST list = ImageList_Create(strip.cellWidth, strip.cellHeight, ILC_COLOR32 | ILC_MASK,
                                       strip.CellCount(), 0);
    if (list != nullptr) ImageList_AddMasked(list, bitmap, key);
    DeleteObject(bitmap);
    if (list == nullptr) return;
    auto old = reinterpret_cast<HIMAGELIST>(
        SendMessageW(hwnd_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(list)));
    if (old != nullptr && old != list) ImageList_Destroy(old);
}

int Win32Control::ImageCount() {
    if (hwnd_ == nullptr || !Is(ui::ControlKind::IconList)) return 0;
    auto list =
        reinterpret_cast<HIMAGELIST>(SendMessageW(hwnd_, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    return list != nullptr ? ImageList_GetImageCount(list) : 0;
}

// ------------------------------------------------ check, slider, colours ---

bool Win32Control::IsChecked() {
    if (hwnd_ == nullptr || !Is(ui::ControlKind::CheckBox)) return false;
    return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Control::SetChecked(bool checked) {
    if (hwnd_ == nullptr || !Is(ui::ControlKind::CheckBox)) return;
    SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int Win32Control::GetPosition() {
    if (hwnd_ == nullptr) return 0;
    if (Is(ui::ControlKind::Slider)) return static_cast<int>(SendMessageW(hwnd_, TBM_GETPOS, 0, 0));
    if (Is(ui::ControlKind::ProgressBar)) {
        return static_cast<int>(SendMessageW(hwnd_, PBM_GETPOS, 0, 0));
    }
    return 0;
}

void Win32Control::SetPosition(int position) {
    if (hwnd_ == nullptr) return;
    if (Is(ui::ControlKind::Slider)) {
        SendMessageW(hwnd_, TBM_SETPOS, TRUE, position);
        sliderPosition_ = static_cast<int>(SendMessageW(hwnd_, TBM_GETPOS, 0, 0));
    } else if (Is(ui::ControlKind::ProgressBar)) {
        SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(std::clamp(position, 0, 100)), 0);
        UpdateWindow(hwnd_);  // moves while the work goes on
        window_.Desktop().PaintWhileBusy();
    }
}

ui::Colour Win32Control::GetColour() {
    return colour_;
}

void Win32Control::SetColour(ui::Colour colour) {
    colour_ = colour & 0xFFFFFF;
    if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, TRUE);
}

// ----------------------------------------------------------------- timer ---

int Win32Control::GetPeriod() {
    return Is(ui::ControlKind::Timer) ? period_ : 0;
}

void Win32Control::SetPeriod(int milliseconds) {
    if (!Is(ui::ControlKind::Timer) || !windowAlive_) return;
    HWND owner = window_.Hwnd();
    period_ = std::max(milliseconds, 0);
    if (owner != nullptr) window_.Desktop().person->ArmTimer(owner, TimerId(), period_);
}

// ----------------------------------------------------------- file dialog ---

std::optional<Text> Win32Control::ShowFileDialog(const ui::FileDialogRequest& request) {
    return window_.Desktop().person->ChooseFile(window_.Hwnd(), request);
}

}  // namespace platform::win32
