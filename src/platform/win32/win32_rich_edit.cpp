// The rich edit (Msftedit.dll) in plain-text mode.
#include <cstring>

#include "platform/win32/win32_controls.h"

namespace platform::win32 {

namespace {

constexpr UINT kUnicode = 1200;  // the code page GETTEXTEX and friends call UTF-16

CHARRANGE CurrentSelection(HWND hwnd) {
    CHARRANGE range{0, 0};
    SendMessageW(hwnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
}

// Replaced rich edits wait, hidden, until the page that replaced them has
// been drawn: destroying one that holds megabytes takes Wine a noticeable
// time, which the user should not wait for before the page changes.
constexpr wchar_t kRetiredProperty[] = L"moxia.retired";
thread_local std::vector<HWND> retiredEditors;
thread_local UINT_PTR retireTimer = 0;

void CALLBACK DestroyRetiredEditors(HWND, UINT, UINT_PTR, DWORD) {
    KillTimer(nullptr, retireTimer);
    retireTimer = 0;
    std::vector<HWND> retired;
    retired.swap(retiredEditors);
    for (HWND hwnd : retired) {
        // Gone with its window already, or the handle now names another.
        if (IsWindow(hwnd) && GetPropW(hwnd, kRetiredProperty) != nullptr) DestroyWindow(hwnd);
    }
}

void Retire(HWND hwnd) {
    ShowWindow(hwnd, SW_HIDE);
    SetPropW(hwnd, kRetiredProperty, reinterpret_cast<HANDLE>(1));
    retiredEditors.push_back(hwnd);
    if (retireTimer == 0) retireTimer = SetTimer(nullptr, 0, 100, &DestroyRetiredEditors);
    if (retireTimer == 0) DestroyRetiredEditors(nullptr, 0, 0, 0);
}

// The control's own text form: one CR per line break.
void ToSingleBreaks(std::u16string& units) {
    std::size_t out = 0;
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (units[i] == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n') ++i;
        units[out++] = units[i] == u'\n' ? u'\r' : units[i];
    }
    units.resize(out);
}

struct StreamSource {
    const char16_t* next;
    std::size_t left;  // units
};

DWORD CALLBACK ReadStreamSource(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    const std::size_t units =
        std::min(static_cast<std::size_t>(size) / sizeof(char16_t), source->left);
    std::memcpy(buffer, source->next, units * sizeof(char16_t));
    source->next += units;
    source->left -= units;
    *done = static_cast<LONG>(units * sizeof(char16_t));
    return 0;
}

// Filling the control with a long note keeps Wine busy for seconds with no
// message handled; the hourglass says so, and the cursor is given back after.
class WaitCursorWhileLong {
  public:
    explicit WaitCursorWhileLong(std::size_t units)
        : previous_(units >= kLongUnits ? SetCursor(LoadCursorW(nullptr, IDC_WAIT)) : nullptr),
          set_(units >= kLongUnits) {}
    ~WaitCursorWhileLong() {
        if (set_) SetCursor(previous_);
    }
    WaitCursorWhileLong(const WaitCursorWhileLong&) = delete;
    WaitCursorWhileLong& operator=(const WaitCursorWhileLong&) = delete;

  private:
    static constexpr std::size_t kLongUnits = 256 * 1024;  // about a third of a second
    HCURSOR previous_;
    bool set_;
};

}  // namespace

Win32Control::WindowClass Win32RichEdit::Class() const {
    // The text goes in once the plain-text mode is on.
    return {MSFTEDIT_CLASS,
            ES_MULTILINE | WS_VSCROLL | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
            WS_EX_CLIENTEDGE, true, false};
}

void Win32RichEdit::Created() {
    Prepare();
    if (!def_.caption.empty()) SetText(def_.caption);
    SendMessageW(hwnd_, EM_EMPTYUNDOBUFFER, 0, 0);
}

void Win32RichEdit::Prepare() {
    SendMessageW(hwnd_, EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO, 0);
    SendMessageW(hwnd_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    SendMessageW(hwnd_, EM_AUTOURLDETECT, FALSE, 0);
    if (textColour_ || backColour_) ApplyColours();
    Subclass();
}

bool Win32RichEdit::Filter(HWND hwnd, UINT message, WPARAM) {
    if (message != WM_RBUTTONDOWN) return false;
    OnRightButtonDown();
    return !IsWindow(hwnd);
}

void Win32RichEdit::Rescaled() {
    // The rich edit takes a new font as the format of all its text.
    if (!format_) return;
    ui::CharFormat format = *format_;
    format.colour = textColour_;
    SetDefaultFormat(format);
}

void Win32RichEdit::ColoursChanged(bool) {
    ApplyColours();
}

Text Win32RichEdit::GetText() {
    return RichEditText(false);
}

// Wine deletes the text of a rich edit in a time that grows with the square
// of its size (a megabyte took over a minute), while a new control costs
// nothing. So new text goes into a fresh control that takes the old one's
// place: position, style, stacking, font, format, colours and focus.
bool Win32RichEdit::Renew() {
    HWND old = hwnd_;
    const auto style = static_cast<DWORD>(GetWindowLongW(old, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(old, GWL_EXSTYLE));
    RECT rect;
    GetWindowRect(old, &rect);
    MapWindowPoints(nullptr, window_.Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    HWND fresh = CreateWindowExW(exStyle, MSFTEDIT_CLASS, L"", style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, window_.Hwnd(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(old))),
                                 window_.Desktop().instance, nullptr);
    if (fresh == nullptr) return false;
    const bool focused = GetFocus() == old;
    SetWindowPos(fresh, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    hwnd_ = fresh;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
    Prepare();
    if (format_) {
        ui::CharFormat format = *format_;
        format.colour = textColour_;
        SetDefaultFormat(format);
    }
    if (focused) SetFocus(hwnd_);
    Retire(old);
    return true;
}

void Win32RichEdit::SetText(const Text& value) {
    if (hwnd_ == nullptr) return;
    if (TextLength() > 0 && !Renew()) SetWindowTextW(hwnd_, L"");
    if (value.empty()) return;
    // Streamed in: one copy of the text, and no message that must hold it all.
    std::u16string units = text::ToUtf16(value);
    ToSingleBreaks(units);
    const WaitCursorWhileLong busy(units.size());
    StreamSource source{units.data(), units.size()};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = &ReadStreamSource;
    SendMessageW(hwnd_, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
    // As WM_SETTEXT leaves it: caret at the start, nothing to undo.
    CHARRANGE start{0, 0};
    SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
    SendMessageW(hwnd_, EM_EMPTYUNDOBUFFER, 0, 0);
}

void Win32RichEdit::SetRedraw(bool on) {
    if (hwnd_ == nullptr || on != redrawOff_) return;
    // Turning drawing back on would also show a hidden window.
    if (!on && !IsWindowVisible(hwnd_)) return;
    redrawOff_ = !on;
    SendMessageW(hwnd_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on) InvalidateRect(hwnd_, nullptr, TRUE);
}

std::wstring WithSingleBreaks(const Text& value) {
    std::wstring wide = Wide(value);
    std::wstring result;
    result.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] == L'\r' && i + 1 < wide.size() && wide[i + 1] == L'\n') continue;
        result.push_back(wide[i] == L'\n' ? L'\r' : wide[i]);
    }
    return result;
}

Text Win32RichEdit::RichEditText(bool selectionOnly) {
    if (hwnd_ == nullptr) return {};
    std::size_t units = 0;
    if (selectionOnly) {
        const CHARRANGE range = CurrentSelection(hwnd_);
        if (range.cpMax <= range.cpMin) return {};
        units =
            static_cast<std::size_t>(range.cpMax - range.cpMin) * 2;  // each CR may grow to CR LF
    } else {
        GETTEXTLENGTHEX length{GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, kUnicode};
        units = static_cast<std::size_t>(std::max<LRESULT>(
            0, SendMessageW(hwnd_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0)));
    }
    std::wstring buffer(units + 1, L'\0');
    GETTEXTEX request{};
    request.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    request.flags = GT_USECRLF | (selectionOnly ? GT_SELECTION : 0);
    request.codepage = kUnicode;
    const LRESULT copied = SendMessageW(hwnd_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
                                        reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, units)));
    return FromWide(buffer);
}

void Win32RichEdit::GetSelection(int& start, int& length) {
    start = 0;
    length = 0;
    if (hwnd_ == nullptr) return;
    const CHARRANGE range = CurrentSelection(hwnd_);
    start = range.cpMin;
    length = range.cpMax - range.cpMin;
}

void Win32RichEdit::SetSelectionRange(int start, int length) {
    if (hwnd_ == nullptr) return;
    CHARRANGE range{start, start + length};
    SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

Text Win32RichEdit::SelectedText() {
    return RichEditText(true);
}

void Win32RichEdit::ReplaceSelection(const Text& value) {
    if (hwnd_ == nullptr) return;
    const std::wstring wide = WithSingleBreaks(value);
    SendMessageW(hwnd_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
}

int Win32RichEdit::FindForward(const Text& what, int start, bool matchCase) {
    if (hwnd_ == nullptr) return -1;
    const std::wstring wanted = WithSingleBreaks(what);
    if (wanted.empty() || start < 0) return -1;
    FINDTEXTEXW find{};
    find.chrg.cpMin = start;
    find.chrg.cpMax = -1;  // to the end
    find.lpstrText = wanted.c_str();
    const WPARAM flags = FR_DOWN | (matchCase ? FR_MATCHCASE : 0);
    const LRESULT found =
        SendMessageW(hwnd_, EM_FINDTEXTEXW, flags, reinterpret_cast<LPARAM>(&find));
    return found < 0 ? -1 : static_cast<int>(found);
}

int Win32RichEdit::TextLength() {
    if (hwnd_ == nullptr) return 0;
    GETTEXTLENGTHEX length{GTL_PRECISE | GTL_NUMCHARS, kUnicode};
    const LRESULT units =
        SendMessageW(hwnd_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    return units < 0 ? 0 : static_cast<int>(units);
}

void Win32RichEdit::Undo() {
    if (hwnd_ != nullptr) SendMessageW(hwnd_, EM_UNDO, 0, 0);
}

void Win32RichEdit::Cut() {
    if (hwnd_ != nullptr) SendMessageW(hwnd_, WM_CUT, 0, 0);
}

void Win32RichEdit::Copy() {
    if (hwnd_ != nullptr) SendMessageW(hwnd_, WM_COPY, 0, 0);
}

void Win32RichEdit::Paste() {
    if (hwnd_ != nullptr) SendMessageW(hwnd_, WM_PASTE, 0, 0);
}

void Win32RichEdit::SetDefaultFormat(const ui::CharFormat& format) {
    if (hwnd_ == nullptr) return;
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_FACE | CFM_SIZE | CFM_OFFSET | CFM_BOLD | CFM_ITALIC | CFM_COLOR;
    cf.yHeight = format.pointSize * 20;
    cf.yOffset = format.offset;
    cf.dwEffects = (format.bold ? CFE_BOLD : 0) | (format.italic ? CFE_ITALIC : 0) |
                   (format.colour ? 0 : CFE_AUTOCOLOR);
    cf.crTextColor = format.colour.value_or(0) & 0xFFFFFF;
    std::wstring face = Wide(format.face);
    if (face.size() >= LF_FACESIZE) face.resize(LF_FACESIZE - 1);
    std::copy(face.begin(), face.end(), cf.szFaceName);
    // In plain-text mode the default format is the format of all the text.
    SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
    textColour_ = format.colour;
    format_ = format;
}

ui::CharFormat Win32RichEdit::GetDefaultFormat() {
    ui::CharFormat format;
    if (hwnd_ == nullptr) return format;
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    SendMessageW(hwnd_, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    format.face = FromWide(cf.szFaceName);
    format.pointSize = (cf.yHeight + 10) / 20;
    format.offset = cf.yOffset;
    format.bold = (cf.dwEffects & CFE_BOLD) != 0;
    format.italic = (cf.dwEffects & CFE_ITALIC) != 0;
    if ((cf.dwEffects & CFE_AUTOCOLOR) == 0) format.colour = cf.crTextColor & 0xFFFFFF;
    return format;
}

void Win32RichEdit::ApplyColours() {
    if (backColour_) {
        SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, *backColour_ & 0xFFFFFF);
    } else {
        SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 1, 0);  // the system colour
    }
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR;
    cf.dwEffects = textColour_ ? 0 : CFE_AUTOCOLOR;
    cf.crTextColor = textColour_.value_or(0) & 0xFFFFFF;
    SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
}

}  // namespace platform::win32
