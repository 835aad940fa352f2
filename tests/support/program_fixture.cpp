#include "support/program_fixture.h"

#include "program/program.h"
#include "store/profile.h"

namespace testing_support {

ProgramTest::ProgramTest()
    : files_(MakeFiles(folder_)),
      desktop_(MakeTestDesktop()),
      internet_(MakeInternet()),
      platform_(new platform::Platform{*files_, desktop_->Desktop(), shell_, clock_, *internet_,
                                       random_}),
      app_(std::make_unique<app::App>(*platform_)) {}

ProgramTest::~ProgramTest() {
    // Live windows go before the folder they may still point into.
    app_.reset();
}

void ProgramTest::StartProgram(bool settle) {
    program::StartProgram(*app_);
    if (settle) Tick();
}

void ProgramTest::WriteFile(const Text& relative, const std::string& bytes) {
    ASSERT_TRUE(files_->WriteFile(PathOf(relative), bytes)) << PathOf(relative);
}

std::optional<std::string> ProgramTest::ReadFile(const Text& relative) {
    return files_->ReadFile(PathOf(relative));
}

bool ProgramTest::Exists(const Text& relative) {
    return files_->Exists(PathOf(relative));
}

void ProgramTest::MakeFolder(const Text& relative) {
    ASSERT_TRUE(files_->CreateFolder(PathOf(relative))) << PathOf(relative);
}

Text ProgramTest::Setting(const Text& section, const Text& key) {
    return store::ReadProfileKey(*files_, PathOf("Start.ini"), section, key);
}

void ProgramTest::SetSetting(const Text& section, const Text& key, const Text& value) {
    ASSERT_TRUE(store::WriteProfileKey(*files_, PathOf("Start.ini"), section, key, value));
}

void ProgramTest::OpenDirectoryNamed(const Text& name) {
    const std::vector<Text> names = Items(main().超级列表框1);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            SelectItem(main().超级列表框1, static_cast<int>(i));
            return;
        }
    }
    ADD_FAILURE() << "no directory item " << ::testing::PrintToString(name);
}

void ProgramTest::OpenDocumentNamed(const Text& title) {
    const std::vector<Text> titles = Items(main().列表框1);
    for (std::size_t i = 0; i < titles.size(); ++i) {
        if (titles[i] == title) {
            SelectItem(main().列表框1, static_cast<int>(i));
            return;
        }
    }
    ADD_FAILURE() << "no document item " << ::testing::PrintToString(title);
}

std::vector<Text> ProgramTest::Items(const ui::ListBox& list) {
    std::vector<Text> items;
    for (int i = 0; i < list.Count(); ++i) items.push_back(list.ItemText(i));
    return items;
}

std::vector<Text> ProgramTest::Items(const ui::IconList& list) {
    std::vector<Text> items;
    for (int i = 0; i < list.Count(); ++i) items.push_back(list.ItemText(i));
    return items;
}

std::vector<Text> ProgramTest::MessageTexts() {
    std::vector<Text> texts;
    for (const ui::MessageRecord& record : automation().Messages()) texts.push_back(record.message);
    return texts;
}

Text ProgramTest::LastMessage() {
    const auto& messages = automation().Messages();
    return messages.empty() ? Text() : messages.back().message;
}

}  // namespace testing_support
