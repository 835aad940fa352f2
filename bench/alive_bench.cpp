// Whether the program stays alive to the eye while it packs or restores a
// large data folder on its one GUI thread: a second thread watches the
// screen and the main window while the command runs.
//
//   alive N   无密打包备份 then 复原无密备份 of a folder of about N MB
//             (large and small notes in a few directories)
//             printed: how many bar positions reached the screen, and the
//             longest the main window took to repaint an invalidated area
//   notes N   (Windows) 无密打包备份 of N notes of 2 KB in 50 directories, then
//             复原无密备份 into a missing Default and again over the notes
//             anchors: the same files read, written new, and replaced
//             crash-safely (temporary file, flush, move) by bare Win32 calls
#include "bench_support.h"

#ifdef _WIN32
#include <windows.h>
#undef DeleteFile
#undef MessageBox
#endif

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <set>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include "platform/win32/win_text.h"
#endif

namespace bench {
namespace {

// Text that deflates about as well as notes do.
Text Filler(std::size_t bytes, unsigned seed) {
    static const char* const words[] = {"今天", "天气", "很好", "the ",   "quick ", "brown ",
                                        "fox ", "散步", "公园", "12345 ", "\r\n"};
    Text out;
    out.reserve(bytes + 16);
    while (out.size() < bytes) {
        seed = seed * 1103515245u + 12345u;
        out += words[(seed >> 16) % 11];
    }
    return out;
}

#ifdef _WIN32
HWND MainHwnd() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM out) {
            RECT r{};
            GetWindowRect(hwnd, &r);
            HWND& best = *reinterpret_cast<HWND*>(out);
            RECT b{};
            if (best != nullptr) GetWindowRect(best, &b);
            if (IsWindowVisible(hwnd) &&
                (best == nullptr || (r.right - r.left) * (r.bottom - r.top) >
                                        (b.right - b.left) * (b.bottom - b.top))) {
                best = hwnd;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Watches from its own thread until stopped: the filled length of the bar
// as the screen shows it, and how long the window takes to repaint.
class Watcher {
  public:
    Watcher(HWND main, RECT bar) : main_(main), bar_(bar), thread_([this] { Run(); }) {}
    ~Watcher() { Stop(); }
    void Stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    std::size_t Positions() const { return filled_.size(); }
    double LongestRepaint() const { return longest_; }
    int Probes() const { return probes_; }

  private:
    void Run() {
        HDC screen = GetDC(nullptr);
        const int y = (bar_.top + bar_.bottom) / 2;
        while (!stop_) {
            // The bar's filled part: how far the colour at its start goes.
            const COLORREF start = GetPixel(screen, bar_.left + 3, y);
            int x = bar_.left + 3;
            while (x < bar_.right - 3 && GetPixel(screen, x + 4, y) == start) x += 4;
            filled_.insert(x);
            InvalidateRect(main_, nullptr, FALSE);
            const double asked = Now();
            while (!stop_ && GetUpdateRect(main_, nullptr, FALSE)) Sleep(5);
            if (stop_) break;
            longest_ = std::max(longest_, Now() - asked);
            ++probes_;
            Sleep(50);
        }
        ReleaseDC(nullptr, screen);
    }

    HWND main_;
    RECT bar_;
    std::atomic<bool> stop_{false};
    std::set<int> filled_;
    double longest_ = 0;
    int probes_ = 0;
    std::thread thread_;
};
#endif

int AliveCase(int megabytes) {
    Program program({}, false);
    const std::size_t total = static_cast<std::size_t>(megabytes) * 1'000'000;
    // Half in a few large notes, half in notes of 100 KB, in four directories.
    std::size_t written = 0;
    for (int i = 0; written < total; ++i) {
        const Text directory = "目录" + std::to_string(i % 4);
        program.Files().CreateFolder(program.Folder() + "\\Default\\" + directory);
        const std::size_t size = written < total / 2 ? total / 8 : 100'000;
        program.Files().WriteFile(
            program.Folder() + "\\Default\\" + directory + "\\笔记" + std::to_string(i) + ".txt",
            Filler(size, static_cast<unsigned>(i)));
        written += size;
    }
    program.Start(false);
    for (const char* command : {"无密打包备份", "复原无密备份"}) {
#ifdef _WIN32
        HWND main = MainHwnd();
        // Wholly on the screen, bar included, for whoever looks.
        SetWindowPos(main, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
        const ui::Rect bar = program.App().main.进度条1.GetRect();
        POINT origin{bar.left, bar.top};
        ClientToScreen(main, &origin);
        Watcher watcher(main,
                        RECT{origin.x, origin.y, origin.x + bar.width, origin.y + bar.height});
        const double seconds = Seconds([&] { program.Menu(command); });
        watcher.Stop();
        std::printf(
            "%s %d MB: %.1f s; the bar reached the screen at %zu positions; the main "
            "window repainted within %.3f s at most (%d probes)\n",
            text::ToUtf8(command).c_str(), megabytes, seconds, watcher.Positions(),
            watcher.LongestRepaint(), watcher.Probes());
#else
        const double seconds = Seconds([&] { program.Menu(command); });
        std::printf("%s %d MB: %.1f s\n", text::ToUtf8(command).c_str(), megabytes, seconds);
#endif
        std::fflush(stdout);
    }
    return 0;
}

#ifdef _WIN32
struct Note {
    Text path;
    std::wstring wide;
    Text content;
};

// The least the file system does for the same notes, one Win32 call each.
double ReadEachByHand(const std::vector<Note>& notes) {
    std::string buffer(1 << 16, '\0');
    return Seconds([&] {
        for (const Note& note : notes) {
            const HANDLE h = CreateFileW(note.wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            DWORD read = 0;
            ReadFile(h, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr);
            CloseHandle(h);
        }
    });
}

double WriteEachByHand(const std::vector<Note>& notes, bool replace) {
    return Seconds([&] {
        for (const Note& note : notes) {
            const std::wstring temp = note.wide + L".new";
            const HANDLE h = CreateFileW((replace ? temp : note.wide).c_str(), GENERIC_WRITE, 0,
                                         nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            DWORD written = 0;
            WriteFile(h, note.content.data(), static_cast<DWORD>(note.content.size()), &written,
                      nullptr);
            if (replace) FlushFileBuffers(h);
            CloseHandle(h);
            if (replace) {
                MoveFileExW(temp.c_str(), note.wide.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
            }
        }
    });
}

void MoveAside(const Text& folder, int& asides) {
    const std::wstring from = platform::win32::Wide(folder);
    MoveFileW(from.c_str(), (from + L"-" + std::to_wstring(++asides)).c_str());
}

int NotesCase(int count) {
    Program program({}, false);
    const Text data = program.Folder() + "\\Default\\";
    std::vector<Note> notes;
    for (int i = 0; i < count; ++i) {
        const Text directory = data + "目录" + std::to_string(i % 50);
        if (i < 50) program.Files().CreateFolder(directory);
        const Text path = directory + "\\笔记" + std::to_string(i) + ".txt";
        notes.push_back(
            {path, platform::win32::Wide(path), Filler(2000, static_cast<unsigned>(i))});
        program.Files().WriteFile(path, notes.back().content);
    }
    program.Start(false);
    const std::string what = "of " + std::to_string(count) + " notes";
    const double pack = Seconds([&] { program.Menu("无密打包备份"); });
    const auto label = [&](const char* command, const char* rest) {
        return text::ToUtf8(command) + " " + what + rest;
    };
    Report(label("无密打包备份", "").c_str(), pack, ReadEachByHand(notes),
           "opening and reading each");
    // Into a missing data folder, then over the notes just restored; each
    // anchor runs on a folder in the same state as the command found.
    int asides = 0;
    const Text folder = program.Folder() + "\\Default";
    MoveAside(folder, asides);
    const double fresh = Seconds([&] { program.Menu("复原无密备份"); });
    if (count > 0 && program.Files().ReadFile(notes.back().path) != notes.back().content) return 1;
    MoveAside(folder, asides);
    program.Files().CreateFolder(folder);
    for (int i = 0; i < 50 && i < count; ++i) {
        program.Files().CreateFolder(data + "目录" + std::to_string(i));
    }
    const double freshAnchor = WriteEachByHand(notes, false);
    Report(label("复原无密备份", " into a missing Default").c_str(), fresh, freshAnchor,
           "writing each new");
    const double over = Seconds([&] { program.Menu("复原无密备份"); });
    Report(label("复原无密备份", " over themselves").c_str(), over, WriteEachByHand(notes, true),
           "replacing each (temporary file, flush, move)");
    return 0;
}
#endif

}  // namespace

int AliveBenchCase(const std::string& which, int argument) {
    if (which == "alive") return AliveCase(argument);
#ifdef _WIN32
    if (which == "notes") return NotesCase(argument);
#endif
    return 2;
}

}  // namespace bench
