// Large notes in the editor: the whole program driven as a user drives it,
// each case against an anchor measured in the same run.
//
//   open N     open an N MB note                 anchor: a bare rich edit filled by EM_STREAMIN
//   leave N    leave an N MB note (返回文档列表, 新建文档文件, 返回文档目录 then
//              opening another note, 删除当前文档)  anchor: the same with a one-line note
//   find N     Find next in an N MB note with 10,000 matches: the first 200
//              presses, and the one after the last match (back to the start)
//              anchor: EM_FINDTEXTEX + EM_EXSETSEL on a bare rich edit
//   replace N  Replace all of the 10,000 matches
//              anchor: a bare rich edit filled with the replaced text
//
// The Windows build drives the real controls (run it under Wine); the native
// build the headless desktop, whose anchors are plain string work. One case
// per process, so the peak memory reported belongs to that case; anchors run
// in a child process of their own.
#include "bench_support.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, whose macros would rename the program's own functions.
#include <commdlg.h>
#include <richedit.h>
#undef DeleteFile
#undef MessageBox
#endif

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "commands/find_replace.h"

#ifdef _WIN32
#include "platform/win32/win_text.h"
#endif

namespace bench {
namespace {

// ------------------------------------------------------------- the notes ---

constexpr int kMatches = 10'000;
const Text kNeedle = "钥匙";

// Lines of Chinese and Latin text with CR LF breaks, about `bytes` long;
// with `matches`, that many of the lines, evenly spread, name kNeedle, which
// occurs nowhere else.
Text MakeNote(std::size_t bytes, int matches) {
    const Text line = "今天天气很好，我们去公园散步。The quick brown fox jumps over 12345.\r\n";
    const Text marked = "今天天气很好，我们去钥匙散步。The quick brown fox jumps over 12345.\r\n";
    const std::size_t lines = bytes / line.size();
    const std::size_t every = matches > 0 ? lines / static_cast<std::size_t>(matches) : 0;
    Text note;
    note.reserve(lines * line.size());
    int placed = 0;
    for (std::size_t i = 0; i < lines; ++i) {
        const bool mark = every > 0 && i % every == every - 1 && placed < matches;
        note += mark ? marked : line;
        if (mark) ++placed;
    }
    return note;
}

#ifdef _WIN32
// A replaced editor is destroyed 100 ms after it was replaced, from the
// message loop: how long that takes.
double FreeReplacedEditors() {
    Sleep(150);
    return Seconds(Pump);
}
#else
double FreeReplacedEditors() {
    return 0;
}
#endif

// ------------------------------------------------------------ the anchors ---

#ifdef _WIN32
// A rich edit as the program's editor is made, alone in a window of its own,
// filled from UTF-16 prepared beforehand.
class BareRichEdit {
  public:
    explicit BareRichEdit(const std::wstring& text) {
        LoadLibraryW(L"Msftedit.dll");
        top_ = CreateWindowExW(0, L"STATIC", L"anchor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900,
                               600, nullptr, nullptr, nullptr, nullptr);
        edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"",
                                WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL | ES_AUTOVSCROLL |
                                    ES_WANTRETURN | ES_NOHIDESEL,
                                0, 48, 880, 500, top_, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(edit_, EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO, 0);
        SendMessageW(edit_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        format.dwMask = CFM_FACE | CFM_SIZE;
        format.yHeight = 9 * 20;
        std::wcscpy(format.szFaceName, L"\u5FAE\u8F6F\u96C5\u9ED1");  // 微软雅黑
        SendMessageW(edit_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
        const Memory before = ReadMemory();
        fill_ = Seconds([&] {
            struct Source {
                const wchar_t* next;
                std::size_t left;
            } source{text.data(), text.size()};
            EDITSTREAM stream{};
            stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
            stream.pfnCallback = [](DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
                auto* s = reinterpret_cast<Source*>(cookie);
                const std::size_t units = std::min<std::size_t>(size / 2, s->left);
                std::memcpy(buffer, s->next, units * 2);
                s->next += units;
                s->left -= units;
                *done = static_cast<LONG>(units * 2);
                return DWORD(0);
            };
            SendMessageW(edit_, EM_STREAMIN, SF_TEXT | SF_UNICODE,
                         reinterpret_cast<LPARAM>(&stream));
            UpdateWindow(top_);
            Pump();
        });
        growth_ = std::max(ReadMemory().peak - before.current, 0.0);
    }
    ~BareRichEdit() { DestroyWindow(top_); }
    double FillSeconds() const { return fill_; }
    double FillGrowth() const { return growth_; }

    // The first `presses` occurrences from the start, each selected: what
    // Find next costs the control itself.
    int FindFirst(const std::wstring& what, int presses) {
        int count = 0;
        LONG start = 0;
        FINDTEXTEXW find{};
        find.lpstrText = what.c_str();
        for (; count < presses; ++count) {
            find.chrg.cpMin = start;
            find.chrg.cpMax = -1;
            const LRESULT at = SendMessageW(edit_, EM_FINDTEXTEXW, FR_DOWN | FR_MATCHCASE,
                                            reinterpret_cast<LPARAM>(&find));
            if (at < 0) break;
            CHARRANGE range{static_cast<LONG>(at), static_cast<LONG>(at + what.size())};
            SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
            Pump();
            start = static_cast<LONG>(at + 1);
        }
        return count;
    }

  private:
    HWND top_ = nullptr, edit_ = nullptr;
    double fill_ = 0, growth_ = 0;
};

const char* const kOpenAnchor = "a bare rich edit filled by EM_STREAMIN";
const char* const kFindAnchor = "EM_FINDTEXTEX + EM_EXSETSEL on a bare rich edit";
const char* const kReplaceAnchor = "a bare rich edit filled with the replaced text";

double AnchorOpen(const Text& note, double& growth) {
    const BareRichEdit edit(platform::win32::Wide(note));
    growth = edit.FillGrowth();
    return edit.FillSeconds();
}

double AnchorFind(const Text& note, int presses) {
    BareRichEdit edit(platform::win32::Wide(note));
    return Seconds([&] { edit.FindFirst(platform::win32::Wide(kNeedle), presses); });
}
#else
const char* const kOpenAnchor = "decoding the note to UTF-16";
const char* const kFindAnchor = "std::u16string::find over the note";
const char* const kReplaceAnchor = "decoding the replaced note to UTF-16";

double AnchorOpen(const Text& note, double& growth) {
    growth = 0;
    return Seconds([&] {
        const std::u16string wide = text::ToUtf16(note);
        if (wide.empty()) std::abort();
    });
}

double AnchorFind(const Text& note, int presses) {
    const std::u16string wide = text::ToUtf16(note), what = text::ToUtf16(kNeedle);
    return Seconds([&] {
        std::size_t from = 0;
        for (int i = 0; i < presses; ++i) from = wide.find(what, from) + 1;
        if (from == 0) std::abort();
    });
}
#endif

constexpr int kPresses = 200;

// ------------------------------------------------------------- the cases ---

int OpenCase(int megabytes) {
    const Text note = MakeNote(static_cast<std::size_t>(megabytes) * 1'000'000, 0);
    Program program({{"big", note}});
    const Memory before = ReadMemory();
    const double seconds = Seconds([&] { program.Open("big"); });
    const Memory after = ReadMemory();
    if (program.App().main.超级编辑框1.Length() == 0) return 1;
    const double growth = std::max(after.peak - before.current, 0.0);
    double anchorGrowth = 0;
    const double anchor = RunAnchor("open", megabytes, &anchorGrowth);
    char extra[200];
    std::snprintf(extra, sizeof extra,
                  "; memory +%.0f MiB at peak (%.1fx the note; the bare rich edit +%.0f MiB)",
                  growth / kMiB, growth / static_cast<double>(note.size()), anchorGrowth / kMiB);
    const std::string what = "open " + std::to_string(megabytes) + " MB note";
    Report(what.c_str(), seconds, anchor, kOpenAnchor, extra);
    return 0;
}

int LeaveCase(int megabytes) {
    const Text note = MakeNote(static_cast<std::size_t>(megabytes) * 1'000'000, 0);
    Program program({{"big", note}, {"small", "one line"}});
    // Each way out, timed from the note named; 返回文档目录 leaves the text in
    // the hidden editor, so the next opening replaces it.
    struct Way {
        const char* name;
        std::function<double(const Text&)> leave;
    };
    const Way ways[] = {
        {"返回文档列表",
         [&](const Text& title) {
             program.Open(title);
             return Seconds([&] { program.Menu("返回文档列表"); });
         }},
        {"新建文档文件",
         [&](const Text& title) {
             program.Open(title);
             const double s = Seconds([&] { program.Menu("新建文档文件"); });
             program.Menu("返回文档列表");
             return s;
         }},
        {"返回文档目录, then opening a one-line note",
         [&](const Text& title) {
             program.Open(title);
             program.Menu("返回文档目录");
             program.Ticks();
             program.OpenDirectory("d");
             const double s = Seconds([&] { program.Open("small"); });
             program.Menu("返回文档列表");
             return s;
         }},
        {"删除当前文档",
         [&](const Text& title) {
             program.Write(title + "2", title == "big" ? note : Text("one line"));
             program.Open(title);  // the list is read again on the way back
             program.Menu("返回文档列表");
             program.Open(title + "2");
             return Seconds([&] { program.Menu("删除当前文档"); });
         }},
    };
    for (const Way& way : ways) {
        const double big = way.leave("big");
        const double freed = FreeReplacedEditors();
        const double small = way.leave("small");
        FreeReplacedEditors();
        const std::string what =
            "leave " + std::to_string(megabytes) + " MB note by " + text::ToUtf8(way.name);
        char extra[96];
        std::snprintf(extra, sizeof extra, "; the replaced editor freed afterwards in %.3f s",
                      freed);
        Report(what.c_str(), big, small, "the same from a one-line note", extra);
    }
    return 0;
}

int FindCase(int megabytes, bool replace) {
    const Text note = MakeNote(static_cast<std::size_t>(megabytes) * 1'000'000, kMatches);
    Program program({{"big", note}});
    program.Open("big");
    program.Menu("查找替换");
    ui::FindReplaceWindow& window = *program.App().findReplace;
    window.编辑框1.SetText(kNeedle);
    window.编辑框2.SetText("锁");
    const std::string size =
        std::to_string(megabytes) + " MB note with " + std::to_string(kMatches) + " matches";
    if (replace) {
        const double seconds = Seconds([&] {
            program.Click(window.按钮3);
            Pump();
        });
        int count = 0;
        const Text expected = commands::ReplaceEvery(note, kNeedle, "锁", count);
        if (program.App().main.超级编辑框1.GetText() != expected || count != kMatches) return 1;
        Report(("replace all in a " + size).c_str(), seconds, RunAnchor("replace", megabytes),
               kReplaceAnchor);
        return 0;
    }
    const auto press = [&] {
        return Seconds([&] {
            program.Click(window.按钮1);
            Pump();
        });
    };
    double first = 0;
    for (int i = 0; i < kPresses; ++i) {
        first += press();
        if (window.GetCaption() != "匹配成功!") return 1;
    }
    // From the last match, the press that finds none and goes back to the start.
    const ui::RichEdit& editor = program.App().main.超级编辑框1;
    int lastMatch = editor.FindForward(kNeedle, editor.Length() - 10'000, true);
    for (int next; (next = editor.FindForward(kNeedle, lastMatch + 1, true)) >= 0;) {
        lastMatch = next;
    }
    editor.SetSelection(lastMatch, 2);
    Pump();
    const double last = press();
    if (window.GetCaption() != "无匹配项!" || editor.SelectionStart() != 0) return 1;
    char extra[96];
    std::snprintf(extra, sizeof extra, "; the press after the last match %.3f s", last);
    Report(("find next, mean of " + std::to_string(kPresses) + " presses in a " + size).c_str(),
           first / kPresses, RunAnchor("find", megabytes), kFindAnchor, extra);
    return 0;
}

}  // namespace

bool NoteAnchor(const std::string& which, int megabytes, double& seconds, double& growth) {
    const std::size_t bytes = static_cast<std::size_t>(megabytes) * 1'000'000;
    if (which == "open") {
        seconds = AnchorOpen(MakeNote(bytes, 0), growth);
    } else if (which == "find") {
        seconds = AnchorFind(MakeNote(bytes, kMatches), kPresses) / kPresses;
    } else if (which == "replace") {
        int count = 0;
        seconds = AnchorOpen(
            commands::ReplaceEvery(MakeNote(bytes, kMatches), kNeedle, "锁", count), growth);
    } else {
        return false;
    }
    return true;
}

int NoteCase(const std::string& which, int megabytes) {
    if (which == "open") return OpenCase(megabytes);
    if (which == "leave") return LeaveCase(megabytes);
    if (which == "find") return FindCase(megabytes, false);
    if (which == "replace") return FindCase(megabytes, true);
    return 2;
}

}  // namespace bench
