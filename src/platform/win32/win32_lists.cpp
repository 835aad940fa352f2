// The list box and the list view of icons.
#include "platform/win32/win32_controls.h"

namespace platform::win32 {

namespace {

// Filled item by item, a list redraws itself (or, hidden, its scroll bar)
// each time, and under Wine that costs up to tens of milliseconds per item;
// so drawing is off while all go in.
template <typename Fill>
void FillWithoutDrawing(Win32Control& list, Fill fill) {
    HWND hwnd = list.Hwnd();
    const bool shown = list.IsVisible();
    SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
    fill();
    SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
    // On Windows drawing turned on marks a hidden window visible.
    if (!shown && list.IsVisible()) ShowWindow(hwnd, SW_HIDE);
    if (shown) InvalidateRect(hwnd, nullptr, TRUE);
}

std::vector<std::wstring> WideItems(const std::vector<Text>& texts, std::size_t& units) {
    std::vector<std::wstring> wide;
    wide.reserve(texts.size());
    units = 0;
    for (const Text& text : texts) {
        wide.push_back(Wide(text));
        units += wide.back().size() + 1;
    }
    return wide;
}

}  // namespace

// ------------------------------------------------------------- list box ---

Win32Control::WindowClass Win32ListBox::Class() const {
    WindowClass list{L"LISTBOX", LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL,
                     WS_EX_CLIENTEDGE, true, false};
    if (def_.sorted) list.style |= LBS_SORT;
    return list;
}

void Win32ListBox::Created() {
    for (const Text& item : def_.items) AddItem(item, -1);
}

void Win32ListBox::OnCommand(WORD code) {
    if (code == LBN_SELCHANGE && !keyboardSelects) Fire(ui::Event::Select, Selection());
}

int Win32ListBox::AddItem(const Text& text, int) {
    if (hwnd_ == nullptr) return -1;
    const std::wstring wide = Wide(text);
    const LRESULT index =
        SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    return index < 0 ? -1 : static_cast<int>(index);
}

void Win32ListBox::AddItems(const std::vector<Text>& texts, int) {
    if (hwnd_ == nullptr || texts.empty()) return;
    FillWithoutDrawing(*this, [&] {
        std::size_t units = 0;
        std::vector<std::wstring> wide = WideItems(texts, units);
        const std::size_t total = static_cast<std::size_t>(ItemCount()) + texts.size();
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
    });
}

int Win32ListBox::ItemCount() {
    if (hwnd_ == nullptr) return 0;
    return static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0));
}

Text Win32ListBox::ItemText(int index) {
    if (hwnd_ == nullptr || index < 0 || index >= ItemCount()) return {};
    const LRESULT length = SendMessageW(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(copied < 0 ? 0 : static_cast<std::size_t>(copied));
    return FromWide(buffer);
}

void Win32ListBox::ClearItems() {
    if (hwnd_ != nullptr) SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
}

int Win32ListBox::Selection() {
    if (hwnd_ == nullptr) return -1;
    const LRESULT index = SendMessageW(hwnd_, LB_GETCURSEL, 0, 0);
    return index < 0 ? -1 : static_cast<int>(index);
}

void Win32ListBox::SetSelection(int index) {
    if (hwnd_ != nullptr) SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// ------------------------------------------------------------ icon list ---

Win32Control::WindowClass Win32IconList::Class() const {
    return {WC_LISTVIEWW, LVS_ICON | LVS_SINGLESEL | LVS_AUTOARRANGE | LVS_SHOWSELALWAYS,
            WS_EX_CLIENTEDGE, true, false};
}

void Win32IconList::Created() {
    for (const Text& item : def_.items) AddItem(item, 0);
    if (textColour_ || backColour_) ApplyColours();
}

void Win32IconList::Rescaled() {
    if (images_ != nullptr) SetImageList(*images_);
}

void Win32IconList::ColoursChanged(bool) {
    ApplyColours();
}

void Win32IconList::ApplyColours() {
    if (backColour_) {
        SendMessageW(hwnd_, LVM_SETBKCOLOR, 0, *backColour_);
        SendMessageW(hwnd_, LVM_SETTEXTBKCOLOR, 0, *backColour_);
    }
    if (textColour_) SendMessageW(hwnd_, LVM_SETTEXTCOLOR, 0, *textColour_);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32IconList::OnNotify(const NMHDR& header) {
    if (header.code != LVN_ITEMCHANGED) return;
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

int Win32IconList::AddItem(const Text& text, int image) {
    if (hwnd_ == nullptr) return -1;
    const std::wstring wide = Wide(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<wchar_t*>(wide.c_str());
    item.iImage = image;
    programSelects_ = true;
    const LRESULT index = SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    programSelects_ = false;
    return index < 0 ? -1 : static_cast<int>(index);
}

void Win32IconList::AddItems(const std::vector<Text>& texts, int image) {
    if (hwnd_ == nullptr || texts.empty()) return;
    FillWithoutDrawing(*this, [&] {
        std::size_t units = 0;
        std::vector<std::wstring> wide = WideItems(texts, units);
        const std::size_t total = static_cast<std::size_t>(ItemCount()) + texts.size();
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
    });
}

int Win32IconList::ItemCount() {
    if (hwnd_ == nullptr) return 0;
    return static_cast<int>(SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0));
}

Text Win32IconList::ItemText(int index) {
    if (hwnd_ == nullptr || index < 0 || index >= ItemCount()) return {};
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

int Win32IconList::ItemImage(int index) {
    if (hwnd_ == nullptr) return -1;
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    if (!SendMessageW(hwnd_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return -1;
    return item.iImage;
}

void Win32IconList::ClearItems() {
    if (hwnd_ == nullptr) return;
    programSelects_ = true;
    SendMessageW(hwnd_, LVM_DELETEALLITEMS, 0, 0);
    programSelects_ = false;
}

int Win32IconList::Selection() {
    if (hwnd_ == nullptr) return -1;
    const LRESULT index =
        SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    return index < 0 ? -1 : static_cast<int>(index);
}

void Win32IconList::SetSelection(int index) {
    if (hwnd_ == nullptr) return;
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

void Win32IconList::SetUserSelection(int index) {
    if (hwnd_ == nullptr) return;
    if (index < 0 || index >= ItemCount()) return;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
}

void Win32IconList::SetImageList(const ui::ImageStrip& given) {
    if (hwnd_ == nullptr) return;
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

int Win32IconList::ImageCount() {
    if (hwnd_ == nullptr) return 0;
    auto list =
        reinterpret_cast<HIMAGELIST>(SendMessageW(hwnd_, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    return list != nullptr ? ImageList_GetImageCount(list) : 0;
}

}  // namespace platform::win32
