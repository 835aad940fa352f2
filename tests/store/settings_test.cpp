// Start.ini: first-run initialisation, typed reads and the window-size rule.
#include "store/settings.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"

namespace {

const char kFirstRunFile[] =
    "[Start]\r\nNum=0\r\nNum1=0\r\n"
    "[WH]\r\nWhith=900\r\nHeight=600\r\n"
    "[Color]\r\nLog=6311999\r\nContent=15526636\r\nText1=15526636\r\nText2=6381404\r\n"
    "Text3=6381404\r\nHome=15526636\r\nText4=6381404\r\nText5=15526636\r\nNum=3\r\n"
    "[Text]\r\nT1=0\r\nT2=8\r\nT3=4\r\nT4=6\r\nT5=6\r\nT6=1\r\nT7=0\r\nT8=1\r\nT9=1\r\n"
    "[Icon]\r\nNum=2\r\n"
    "[Up]\r\nLoad=0\r\n"
    "[Alpha]\r\nNum=255\r\n";

// The sections after Start, as a first run leaves them.
std::string AfterStartSection() {
    const std::string all = kFirstRunFile;
    return all.substr(all.find("[WH]"));
}

class SettingsTest : public ::testing::Test {
  protected:
    Text IniPath() { return files->ProgramFolder() + "\\Start.ini"; }
    void PutIni(const std::string& bytes) { ASSERT_TRUE(files->WriteFile(IniPath(), bytes)); }
    std::string GetIni() { return files->ReadFile(IniPath()).value_or("<none>"); }

    testing_support::TempFolder folder;
    std::unique_ptr<platform::Files> files = testing_support::MakeFiles(folder);
};

TEST_F(SettingsTest, FirstRunWritesEveryDefaultInOrder) {
    int writes = 0;
    files->beforeReplace = [&writes](const Text&) {
        ++writes;
        return true;
    };
    EXPECT_EQ(store::SettingsPath(*files), IniPath());
    EXPECT_TRUE(store::InitialiseSettingsIfNew(*files));
    EXPECT_EQ(writes, 25);  // each default with its own write
    EXPECT_EQ(GetIni(), kFirstRunFile);
    EXPECT_EQ(store::ReadSetting(*files, store::kWindowWidth), "900");
    EXPECT_EQ(store::ReadSetting(*files, "Color", "Num"), "3");
    EXPECT_EQ(store::ReadSettingInteger(*files, store::kAlphaNum), 255);
    // Initialised once: a second start finds Start/Num and writes nothing.
    writes = 0;
    EXPECT_FALSE(store::InitialiseSettingsIfNew(*files));
    EXPECT_EQ(writes, 0);
}

TEST_F(SettingsTest, AFileWithoutStartNumIsInitialisedAgain) {
    // The password flag of such a file is lost: Num1 goes back to "0".
    PutIni("[Start]\r\nNum1=1\r\n");
    EXPECT_TRUE(store::InitialiseSettingsIfNew(*files));
    EXPECT_EQ(store::ReadSetting(*files, store::kStartNum1), "0");
    EXPECT_EQ(store::ReadSetting(*files, store::kStartNum), "0");
    EXPECT_EQ(GetIni(), "[Start]\r\nNum1=0\r\nNum=0\r\n" + AfterStartSection());

    // An empty Start/Num counts as missing too; the other values are reset.
    PutIni("[Start]\r\nNum=\r\nNum1=1\r\n[WH]\r\nWhith=1200\r\nHeight=800\r\n");
    EXPECT_TRUE(store::InitialiseSettingsIfNew(*files));
    EXPECT_EQ(GetIni(), kFirstRunFile);
}

TEST_F(SettingsTest, AnInitialisedFileIsLeftAlone) {
    for (const std::string num : {"1", "0", "abc"}) {
        const std::string ini = "[Start]\r\nNum=" + num + "\r\nNum1=1\r\n[WH]\r\nWhith=1200\r\n";
        PutIni(ini);
        EXPECT_FALSE(store::InitialiseSettingsIfNew(*files)) << num;
        EXPECT_EQ(GetIni(), ini) << num;
    }
}

TEST_F(SettingsTest, IntegersConvertWithTheProgramsRules) {
    PutIni("[WH]\r\nWhith=1024\r\nHeight=abc\r\n[Alpha]\r\nNum= 200 \r\n");
    EXPECT_EQ(store::ReadSettingInteger(*files, store::kWindowWidth), 1024);
    EXPECT_EQ(store::ReadSettingInteger(*files, store::kWindowHeight), 0);
    EXPECT_EQ(store::ReadSettingInteger(*files, store::kAlphaNum), 200);
    EXPECT_EQ(store::ReadSettingInteger(*files, store::kIconNum), 0);  // missing section
}

TEST(WindowSizeRule, BelowTheMinimumBecomesTheDefault) {
    struct Case {
        long long width, height;
        store::WindowSize expected;
    };
    const Case cases[] = {
        {800, 400, {900, 600, true}},  {640, 480, {640, 480, false}},
        {500, 700, {900, 600, true}},  {700, 479, {900, 600, true}},
        {639, 1000, {900, 600, true}}, {0, 0, {900, 600, true}},
        {-5, 600, {900, 600, true}},   {1920, 1080, {1920, 1080, false}},
        {900, 600, {900, 600, false}},
    };
    for (const Case& c : cases) {
        const store::WindowSize got = store::ApplyMinimumWindowSize(c.width, c.height);
        EXPECT_EQ(got.width, c.expected.width) << c.width << "x" << c.height;
        EXPECT_EQ(got.height, c.expected.height) << c.width << "x" << c.height;
        EXPECT_EQ(got.rewrite, c.expected.rewrite) << c.width << "x" << c.height;
    }
}

TEST_F(SettingsTest, MissingWindowSizeIsResetAndRewritten) {
    PutIni("[Start]\r\nNum=1\r\n");
    const store::WindowSize size =
        store::ApplyMinimumWindowSize(store::ReadSettingInteger(*files, store::kWindowWidth),
                                      store::ReadSettingInteger(*files, store::kWindowHeight));
    ASSERT_TRUE(size.rewrite);
    store::WriteWindowSize(*files, size.width, size.height);
    EXPECT_EQ(GetIni(), "[Start]\r\nNum=1\r\n[WH]\r\nWhith=900\r\nHeight=600\r\n");
}

TEST_F(SettingsTest, ChineseValuesRoundTrip) {
    ASSERT_TRUE(store::InitialiseSettingsIfNew(*files));
    EXPECT_TRUE(store::WriteSetting(*files, store::kConfigNumber, "版本：二〇二〇"));
    EXPECT_EQ(store::ReadSetting(*files, store::kConfigNumber), "版本：二〇二〇");
    EXPECT_TRUE(store::WriteSetting(*files, "字体", "名称", "微软雅黑"));
    EXPECT_EQ(store::ReadSetting(*files, "字体", "名称"), "微软雅黑");
    // Appended after the first-run sections, which are untouched.
    EXPECT_EQ(GetIni(), std::string(kFirstRunFile) + Text("[Config]\r\nNumber=版本：二〇二〇\r\n") +
                            Text("[字体]\r\n名称=微软雅黑\r\n"));
}

}  // namespace
