#pragma once
// What every benchmark case shares: timing, memory, temporary folders, the
// whole program in a fresh folder, anchors in a child process, one line of
// output per case.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "program/program.h"
#include "support/temp_folder.h"

#ifdef _WIN32
#include "platform/win32/win32_automated_desktop.h"
#else
#include "platform/headless/headless_desktop.h"
#endif

namespace bench {

double Now();
double Seconds(const std::function<void()>& work);

struct Memory {
    double current = 0, peak = 0;  // bytes
};
Memory ReadMemory();
constexpr double kMiB = 1024.0 * 1024.0;

// Handles whatever the program's windows have queued, paints included.
void Pump();

class NoShell : public platform::Shell {
  public:
    bool Open(const Text&) override { return true; }
};
class FixedClock : public platform::Clock {
  public:
    std::uint64_t NowMilliseconds() override { return 1; }
};
class NoInternet : public platform::Internet {
  public:
    bool Probe(const Text&, int) override { return false; }
    std::optional<std::string> HttpGet(const Text&, int, std::size_t) override {
        return std::nullopt;
    }
};

// The program in a fresh folder in PlainMode, with the directory "d" holding
// `notes`. `prepare` adds to the folder before the program starts; Start()
// runs start-up and its timers, and with `open` chooses "d".
class Program {
  public:
    explicit Program(const std::vector<std::pair<Text, Text>>& notes, bool start = true);
    ~Program();

    // Creates MainWindow and runs start-up; its timers have not ticked.
    void Launch();
    // Launch, the timer ticks, and with `open` the directory "d" chosen.
    void Start(bool open = true);
    platform::Files& Files() { return *files_; }
    const Text& Folder() const { return folder_; }
    void Write(const Text& title, const Text& content);
    void OpenDirectory(const Text& name);
    void Open(const Text& title);
    void Menu(const Text& caption);
    void Click(const ui::ControlHandle& control);
    void Ticks();
    app::App& App() { return *app_; }
#ifdef _WIN32
    platform::Win32AutomatedDesktop& Desktop() {
        return *desktop_;
    }
#else
    platform::HeadlessDesktop& Desktop() {
        return *desktop_;
    }
#endif

  private:
    template <typename List>
    void Choose(const List& list, const Text& item);

    testing_support::TempFolder temp_;  // removed with everything in it last
    Text folder_;
    std::unique_ptr<platform::Files> files_;
#ifdef _WIN32
    std::unique_ptr<platform::Win32AutomatedDesktop> desktop_;
#else
    std::unique_ptr<platform::HeadlessDesktop> desktop_;
#endif
    NoShell shell_;
    FixedClock clock_;
    platform::SeededRandom random_;
    NoInternet internet_;
    platform::Platform platform_;
    std::unique_ptr<app::App> app_;
};

// Runs "moxia_bench anchor-WHICH ARGUMENT" and reads the seconds it prints:
// neither side inherits the other's heap, which Wine reuses slowly after a
// large control is freed.
// `growth`, when given, receives the memory the anchor's work took at its
// peak, where the anchor measures it (else 0).
double RunAnchor(const std::string& which, int argument, double* growth = nullptr);

void Report(const char* what, double seconds, double anchor, const char* anchorName,
            const char* extra = "");

// The cases of each file: 2 when `which` is not one of them. An anchor
// returns false when `which` is not one of its file's, else its seconds
// (negative: failed).
int NoteCase(const std::string& which, int argument);
bool NoteAnchor(const std::string& which, int argument, double& seconds, double& growth);
int ListCase(const std::string& which, int argument);
bool ListAnchor(const std::string& which, int argument, double& seconds);
int AliveBenchCase(const std::string& which, int argument);

}  // namespace bench
