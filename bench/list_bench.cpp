// The directory icon list and the document list at large sizes: the whole
// program driven as a user drives it, each case against a bare control of the
// same kind filled with drawing off, in a process of its own.
//
//   dirs N    N directories on the directory page: at start-up (the timer
//             ticks and the paint) and after 返回
//             anchor: a bare large-icon list view filled with redraw off
//   titles N  a directory of N titles: opening it, "搜索", a title search
//             that keeps half of them, and deleting a note
//             anchor: a bare sorted list box filled with redraw off
#include "bench_support.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, whose macros would rename the program's own functions.
#include <commctrl.h>
#undef DeleteFile
#undef MessageBox
#endif

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "text/text.h"

#ifdef _WIN32
#include "platform/win32/win_text.h"
#endif

namespace bench {
namespace {

// Names in a scrambled order, half of them holding "甲", with Chinese and
// Latin letters and digits, so the sorted list compares them as it would a
// user's titles.
std::vector<Text> MakeNames(int count, const char* stem) {
    std::vector<Text> names;
    names.reserve(static_cast<std::size_t>(count));
    unsigned scramble = 12345;
    const char* const words[] = {"日记", "Notes", "会议", "plan", "读书", "Travel", "工作", "misc"};
    for (int i = 0; i < count; ++i) {
        scramble = scramble * 1103515245u + 12345u;
        const unsigned pick = (scramble >> 16) % 8;
        names.push_back(Text(stem) + words[pick] + (i % 2 == 0 ? "甲" : "乙") +
                        std::to_string((scramble >> 8) % 100000) + "-" + std::to_string(i));
    }
    return names;
}

std::vector<Text> Titles(int count) {
    return MakeNames(count, "");
}
std::vector<Text> Directories(int count) {
    return MakeNames(count, "目录");
}

#ifdef _WIN32
const char* const kIconListAnchor = "bare list view fill";
const char* const kListBoxAnchor = "bare list box fill";

// A top-level window holding one control of `className`, as big as the
// program's list.
class BareWindow {
  public:
    BareWindow(const wchar_t* className, DWORD style) {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&init);
        top_ = CreateWindowExW(0, L"STATIC", L"anchor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                               1000, 700, nullptr, nullptr, nullptr, nullptr);
        control_ = CreateWindowExW(WS_EX_CLIENTEDGE, className, L"",
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 48, 968, 584,
                                   top_, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(control_, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        UpdateWindow(top_);
        Pump();
    }
    ~BareWindow() { DestroyWindow(top_); }
    HWND Control() const { return control_; }
    // Drawing off, `fill`, drawing on and one paint.
    double Fill(const std::function<void()>& fill) {
        return Seconds([&] {
            SendMessageW(control_, WM_SETREDRAW, FALSE, 0);
            fill();
            SendMessageW(control_, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(control_, nullptr, TRUE);
            UpdateWindow(top_);
            Pump();
        });
    }

  private:
    HWND top_ = nullptr, control_ = nullptr;
};

double AnchorIconList(int count) {
    const std::vector<Text> names = Directories(count);
    std::vector<std::wstring> wide;
    for (const Text& name : names) wide.push_back(platform::win32::Wide(name));
    BareWindow window(WC_LISTVIEWW, LVS_ICON | LVS_SINGLESEL | LVS_AUTOARRANGE | LVS_SHOWSELALWAYS);
    HIMAGELIST images = ImageList_Create(100, 100, ILC_COLOR32 | ILC_MASK, 16, 0);
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < 16; ++i) {
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 100);
        ImageList_AddMasked(images, bitmap, RGB(255, 255, 255));
        DeleteObject(bitmap);
    }
    ReleaseDC(nullptr, screen);
    SendMessageW(window.Control(), LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(images));
    return window.Fill([&] {
        SendMessageW(window.Control(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0);
        for (std::size_t i = 0; i < wide.size(); ++i) {
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = static_cast<int>(i);
            item.pszText = wide[i].data();
            item.iImage = 3;
            SendMessageW(window.Control(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
    });
}

double AnchorListBox(int count) {
    std::vector<std::wstring> wide;
    for (const Text& title : Titles(count)) wide.push_back(platform::win32::Wide(title));
    BareWindow window(L"LISTBOX",
                      LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | LBS_SORT);
    return window.Fill([&] {
        SendMessageW(window.Control(), LB_INITSTORAGE, static_cast<WPARAM>(count), 64 * 2);
        for (const std::wstring& title : wide) {
            SendMessageW(window.Control(), LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(title.c_str()));
        }
    });
}
#else
const char* const kIconListAnchor = "copying the names";
const char* const kListBoxAnchor = "sorting the titles";

double AnchorIconList(int count) {
    const std::vector<Text> names = Directories(count);
    return Seconds([&] {
        std::vector<Text> copy = names;
        if (copy.size() != names.size()) std::abort();
    });
}

double AnchorListBox(int count) {
    const std::vector<Text> titles = Titles(count);
    return Seconds([&] {
        std::vector<Text> copy = titles;
        std::sort(copy.begin(), copy.end());
    });
}
#endif

// Case names hold the program's texts, which are GBK; the output is UTF-8.
void ReportList(const Text& what, double seconds, double anchor, const char* anchorName) {
    Report(text::ToUtf8(what).c_str(), seconds, anchor, anchorName);
}

std::string Thousands(int count) {
    return count % 1000 == 0 ? std::to_string(count / 1000) + "k" : std::to_string(count);
}

int DirectoriesCase(int count) {
    const double anchor = RunAnchor("dirs", count + 1);
    const std::string size = Thousands(count) + " directories";
    Program program({{"one", "a note"}}, false);
    for (const Text& name : Directories(count)) {
        program.Files().CreateFolder(program.Folder() + "\\Default\\" + name);
    }
    program.Launch();
    ui::MainWindow& w = program.App().main;
    const double startup = Seconds([&] { program.Ticks(); });
    if (w.超级列表框1.Count() != count + 1) return 1;
    ReportList("start-up, " + size + " shown", startup, anchor, kIconListAnchor);

    program.OpenDirectory("d");
    const double back = Seconds([&] {
        program.Click(w.按钮1);
        program.Ticks();
    });
    if (w.超级列表框1.Count() != count + 1) return 1;
    ReportList("返回, " + size + " shown", back, anchor, kIconListAnchor);
    return 0;
}

int TitlesCase(int count) {
    const double anchor = RunAnchor("titles", count);
    const std::string size = Thousands(count) + " titles";
    const std::vector<Text> titles = Titles(count);
    std::vector<std::pair<Text, Text>> notes;
    for (const Text& title : titles) notes.emplace_back(title, "x");
    Program program(notes, false);
    program.Start(false);
    ui::MainWindow& w = program.App().main;
    const double open = Seconds([&] { program.OpenDirectory("d"); });
    if (w.列表框1.Count() != count) return 1;
    ReportList("open a directory of " + size, open, anchor, kListBoxAnchor);

    // "搜索" refills the list, then its window opens; closed at once.
    program.Desktop().OnNextModal(
        [&](ui::WindowPeer& window) { program.Desktop().CloseByUser(window); });
    const double search = Seconds([&] {
        program.Click(w.按钮2);
        Pump();
    });
    if (w.列表框1.Count() != count) return 1;
    ReportList("搜索 on " + size, search, anchor, kListBoxAnchor);

    program.Desktop().OnNextModal([&](ui::WindowPeer& window) {
        program.Desktop().Type(window.Control("编辑框1"), "甲");
        program.Desktop().Click(window.Control("按钮1"));
    });
    const double titleSearch = Seconds([&] {
        program.Click(w.按钮2);
        Pump();
    });
    if (w.列表框1.Count() != (count + 1) / 2) return 1;
    ReportList("搜索 then a title search keeping half of " + size, titleSearch, anchor,
               kListBoxAnchor);

    program.Open(titles[static_cast<std::size_t>(count / 3 / 2 * 2)]);  // one the search kept
    const double remove = Seconds([&] { program.Menu("删除当前文档"); });
    if (w.列表框1.Count() != count - 1) return 1;
    ReportList("delete a note of " + size, remove, anchor, kListBoxAnchor);
    return 0;
}

}  // namespace

bool ListAnchor(const std::string& which, int count, double& seconds) {
    if (which == "dirs") {
        seconds = AnchorIconList(count);
    } else if (which == "titles") {
        seconds = AnchorListBox(count);
    } else {
        return false;
    }
    return true;
}

int ListCase(const std::string& which, int count) {
    if (which == "dirs") return DirectoriesCase(count);
    if (which == "titles") return TitlesCase(count);
    return 2;
}

}  // namespace bench
