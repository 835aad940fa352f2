#pragma once
// Starts the whole program in a fresh program folder on the test desktop
// (headless natively, real Win32 controls on Windows) and gives tests the
// user's hands: menus, buttons, timers, message boxes, the bytes on disk.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "app/app.h"
#include "support/http_server.h"
#include "support/temp_folder.h"
#include "support/test_desktop.h"

namespace testing_support {

class RecordingShell : public platform::Shell {
  public:
    bool Open(const Text& target) override {
        opened.push_back(target);
        return true;
    }
    std::vector<Text> opened;
};

class FixedClock : public platform::Clock {
  public:
    std::uint64_t NowMilliseconds() override { return 20261208; }
};

class ProgramTest : public ::testing::Test {
  protected:
    ProgramTest();
    ~ProgramTest() override;

    // Runs start-up; with settle, also the ticks of the two one-shot timers.
    void StartProgram(bool settle = true);
    int Tick() { return automation().FirePendingTimers(); }

    app::App& app() { return *app_; }
    ui::MainWindow& main() { return app_->main; }
    platform::Files& files() { return *files_; }
    ui::Automation& automation() { return desktop_->Automation(); }

    // Paths below the program folder ("Start.ini", "Default\\a\\b.txt").
    Text PathOf(const Text& relative) const { return folder_.path + "\\" + relative; }
    void WriteFile(const Text& relative, const std::string& bytes);
    std::optional<std::string> ReadFile(const Text& relative);
    bool Exists(const Text& relative);
    void MakeFolder(const Text& relative);
    Text Setting(const Text& section, const Text& key);
    void SetSetting(const Text& section, const Text& key, const Text& value);

    // The user's actions.
    void Choose(const Text& menuCaption) { automation().ChooseMenu(main().Peer(), menuCaption); }
    void Click(const ui::ControlHandle& control) { automation().Click(control.Peer()); }
    void SelectItem(const ui::ControlHandle& control, int index) {
        automation().Select(control.Peer(), index);
    }
    // Chooses the directory or document whose text is `name`.
    void OpenDirectoryNamed(const Text& name);
    void OpenDocumentNamed(const Text& title);
    void TypeInto(const ui::ControlHandle& control, const Text& text) {
        automation().Type(control.Peer(), text);
    }

    std::vector<Text> Items(const ui::ListBox& list);
    std::vector<Text> Items(const ui::IconList& list);
    std::vector<Text> MessageTexts();
    Text LastMessage();
    bool MenuEnabled(const Text& caption) { return main().menu[caption].IsEnabled(); }

    TempFolder folder_;
    std::unique_ptr<platform::Files> files_;
    std::unique_ptr<TestDesktop> desktop_;
    RecordingShell shell_;
    FixedClock clock_;
    platform::SeededRandom random_;
    std::unique_ptr<platform::Internet> internet_;
    std::unique_ptr<platform::Platform> platform_;
    std::unique_ptr<app::App> app_;
};

}  // namespace testing_support
