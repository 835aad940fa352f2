#include "bench_support.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, whose macros would rename the program's own functions.
#include <psapi.h>
#undef DeleteFile
#undef MessageBox
#else
#include <time.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "store/profile.h"

#ifdef _WIN32
#include "platform/win32/files_win32.h"
#include "platform/win32/win_text.h"
#else
#include "platform/posix/files_posix.h"
#endif

namespace bench {

// <chrono> cannot be compiled with the GBK execution character set.
double Now() {
#ifdef _WIN32
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
#else
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
#endif
}

double Seconds(const std::function<void()>& work) {
    const double start = Now();
    work();
    return Now() - start;
}

#ifdef _WIN32
Memory ReadMemory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return {static_cast<double>(counters.PagefileUsage),
            static_cast<double>(counters.PeakPagefileUsage)};
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

#else
Memory ReadMemory() {
    Memory memory;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        const double kib = std::atof(line.c_str() + std::min<std::size_t>(line.size(), 6));
        if (line.rfind("VmRSS:", 0) == 0) memory.current = kib * 1024;
        if (line.rfind("VmHWM:", 0) == 0) memory.peak = kib * 1024;
    }
    return memory;
}

void Pump() {}
#endif

// ------------------------------------------------------------ the program ---

Program::Program(const std::vector<std::pair<Text, Text>>& notes, bool start)
    : folder_(temp_.path),
#ifdef _WIN32
      files_(std::make_unique<platform::Win32Files>(folder_)),
      desktop_(std::make_unique<platform::Win32AutomatedDesktop>()),
#else
      files_(std::make_unique<platform::PosixFiles>(text::ToUtf8(folder_))),
      desktop_(std::make_unique<platform::HeadlessDesktop>()),
#endif
      platform_{*files_, *desktop_, shell_, clock_, internet_, random_} {
    const Text settings = folder_ + "\\Start.ini";
    store::WriteProfileKey(*files_, settings, "Start", "Num", "1");
    store::WriteProfileKey(*files_, settings, "Start", "Num1", "0");
    store::WriteProfileKey(*files_, settings, "Alpha", "Num", "255");
#ifdef _WIN32
    // As the program's entry wires them.
    static_cast<platform::Win32Files&>(*files_).duringLongWork = [this] {
        desktop_->PaintWhileBusy();
    };
#endif
    files_->CreateFolder(folder_ + "\\Default");
    files_->CreateFolder(folder_ + "\\Default\\d");
    for (const auto& [title, content] : notes) Write(title, content);
    if (start) Start();
}

Program::~Program() {
    app_.reset();
}

void Program::Launch() {
    app_ = std::make_unique<app::App>(platform_);
    program::StartProgram(*app_);
}

void Program::Start(bool open) {
    Launch();
    Ticks();
    if (open) OpenDirectory("d");
}

void Program::Write(const Text& title, const Text& content) {
    const Text path = folder_ + "\\Default\\d\\" + title + ".txt";
#ifdef _WIN32
    // Plainly, not as the program replaces a file: ten thousand crash-safe
    // writes take minutes under Wine.
    const HANDLE file = CreateFileW(platform::win32::Wide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
        written != content.size()) {
        std::fprintf(stderr, "cannot write %s\n", text::ToUtf8(path).c_str());
        std::exit(2);
    }
    CloseHandle(file);
#else
    files_->WriteFile(path, content);
#endif
}

void Program::OpenDirectory(const Text& name) {
    Choose(app_->main.超级列表框1, name);
    Pump();
}

void Program::Open(const Text& title) {
    Choose(app_->main.列表框1, title);
    Pump();
}

void Program::Menu(const Text& caption) {
    desktop_->ChooseMenu(app_->main.Peer(), caption);
    Pump();
}

void Program::Click(const ui::ControlHandle& control) {
    desktop_->Click(control.Peer());
}

void Program::Ticks() {
    desktop_->FirePendingTimers();
    Pump();
}

template <typename List>
void Program::Choose(const List& list, const Text& item) {
    for (int i = 0; i < list.Count(); ++i) {
        if (list.ItemText(i) == item) return desktop_->Select(list.Peer(), i);
    }
    std::fprintf(stderr, "no item %s\n", text::ToUtf8(item).c_str());
    std::exit(2);
}

// ------------------------------------------------------------ the anchors ---

namespace {
std::string SelfPath() {
#ifdef _WIN32
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
#else
    char path[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string("moxia_bench");
#endif
}
}  // namespace

double RunAnchor(const std::string& which, int argument, double* growth) {
    const std::string command = SelfPath() + " anchor-" + which + " " + std::to_string(argument);
#ifdef _WIN32
    FILE* pipe = _popen(command.c_str(), "r");
#else
    FILE* pipe = popen(command.c_str(), "r");
#endif
    double seconds = -1, taken = 0;
    if (pipe == nullptr || std::fscanf(pipe, "%lf %lf", &seconds, &taken) != 2) seconds = -1;
    if (growth != nullptr) *growth = taken;
#ifdef _WIN32
    if (pipe != nullptr) _pclose(pipe);
#else
    if (pipe != nullptr) pclose(pipe);
#endif
    return seconds;
}

void Report(const char* what, double seconds, double anchor, const char* anchorName,
            const char* extra) {
    std::printf("%s: %.3f s, %.2fx %s (%.3f s)%s\n", what, seconds, seconds / anchor, anchorName,
                anchor, extra);
    std::fflush(stdout);
}

}  // namespace bench

int main(int argc, char** argv) {
    const std::string which = argc > 1 ? argv[1] : "";
    const int argument = argc > 2 ? std::atoi(argv[2]) : 1;
    if (which.rfind("anchor-", 0) == 0) {
        double seconds = -1, growth = 0;
        const std::string anchor = which.substr(7);
        if (!bench::NoteAnchor(anchor, argument, seconds, growth) &&
            !bench::ListAnchor(anchor, argument, seconds)) {
            return 2;
        }
        std::printf("%.6f %.0f\n", seconds, growth);
        return seconds < 0 ? 1 : 0;
    }
    int result = bench::NoteCase(which, argument);
    if (result == 2) result = bench::ListCase(which, argument);
    if (result == 2) result = bench::AliveBenchCase(which, argument);
    if (result == 2) {
        std::fprintf(stderr,
                     "usage: moxia_bench open|leave|find|replace MEGABYTES\n"
                     "       moxia_bench dirs COUNT | titles COUNT | alive MEGABYTES\n");
    }
    return result;
}
