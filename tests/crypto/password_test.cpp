#include <gtest/gtest.h>

#include <optional>

#include "commands/password_windows.h"
#include "crypto/password_store.h"
#include "crypto/rc4.h"
#include "support/program_fixture.h"
#include "tools/backup_commands.h"
#include "tools/file_cipher.h"

namespace testing_support {
namespace {

TEST(PasswordStoreTest, RecordIsThePasswordEncryptedWithItselfAndChecksCaseSensitively) {
    for (const Text& password : {Text("a"), Text("Secret123"), Text("密码abc")}) {
        const std::string record = crypto::PasswordRecord(password);
        EXPECT_EQ(record, crypto::EncryptData(password, password));
        EXPECT_EQ(record.size(), password.size());
        EXPECT_EQ(crypto::DecryptData(record, password), password);
        EXPECT_TRUE(crypto::CheckPassword(record, password));
    }
    const std::string record = crypto::PasswordRecord("Secret123");
    EXPECT_FALSE(crypto::CheckPassword(record, "secret123"));
    EXPECT_FALSE(crypto::CheckPassword(record, "Secret12"));
    EXPECT_FALSE(crypto::CheckPassword(record, "Secret1234"));
    EXPECT_FALSE(crypto::CheckPassword(record, ""));
    // A missing store reads as no bytes: nothing passes, not even "".
    EXPECT_FALSE(crypto::CheckPassword(std::string(), "x"));
    EXPECT_FALSE(crypto::CheckPassword(std::string(), ""));
    // The session key stops at the first zero byte of the record.
    EXPECT_EQ(crypto::SessionKeyFromRecord(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(crypto::SessionKeyFromRecord(std::string("\0cd", 3)), "");
}

class PasswordTest : public ProgramTest {
  protected:
    void SetUp() override {
        SetSetting("Start", "Num", "1");
        SetSetting("Start", "Num1", "0");
        SetSetting("Alpha", "Num", "255");
        MakeFolder("Default");
        MakeFolder("Default\\d");
        StartProgram();
        // Every file the program writes from now on, by target path.
        files().beforeReplace = [this](const Text& target) {
            written.push_back(target);
            return failWrite.empty() || target.find(failWrite) == Text::npos;
        };
    }
    void TearDown() override { files().beforeReplace = nullptr; }

    struct DialogResult {
        bool focusedOnShow = false;
        bool closed = false;
        Text box1, box2;  // after pressing the button
        bool focusedAfter = false;
    };

    // Types into SetPasswordWindow and presses "确定".
    DialogResult SetPasswordTo(const Text& first, const Text& second) {
        DialogResult result;
        automation().OnNextModal([&](ui::WindowPeer& window) {
            ui::ControlPeer& box1 = window.Control("编辑框1");
            result.focusedOnShow = box1.HasFocus();
            automation().Type(box1, first);
            automation().Type(window.Control("编辑框2"), second);
            automation().Click(window.Control("按钮1"));
            result.closed = !window.IsOpen();
            if (!result.closed) {
                result.box1 = box1.GetText();
                result.box2 = window.Control("编辑框2").GetText();
                result.focusedAfter = box1.HasFocus();
            }
        });
        Choose("设置密码");
        return result;
    }
    DialogResult SetPasswordTo(const Text& password) { return SetPasswordTo(password, password); }

    // Types into ClearPasswordWindow and presses "清除".
    DialogResult ClearPasswordWith(const Text& typed) {
        DialogResult result;
        automation().OnNextModal([&](ui::WindowPeer& window) {
            ui::ControlPeer& box = window.Control("编辑框1");
            result.focusedOnShow = box.HasFocus();
            automation().Type(box, typed);
            automation().Click(window.Control("按钮1"));
            result.closed = !window.IsOpen();
            if (!result.closed) {
                result.box1 = box.GetText();
                result.focusedAfter = box.HasFocus();
            }
        });
        Choose("清除密码");
        return result;
    }

    void ExpectProtectionItems(bool passwordSet) {
        EXPECT_EQ(MenuEnabled("设置密码"), !passwordSet);
        for (const char* item :
             {"清除密码", "有密打包备份", "复原有密备份", "为其他文件加密", "为其他文件解密"}) {
            EXPECT_EQ(MenuEnabled(item), passwordSet) << item;
        }
    }
    bool WroteAnything(const Text& name) {
        for (const Text& path : written) {
            if (path.size() >= name.size() &&
                path.compare(path.size() - name.size(), name.size(), name) == 0) {
                return true;
            }
        }
        return false;
    }

    std::vector<Text> written;
    Text failWrite;  // a target containing this is refused, as a crash would
};

TEST_F(PasswordTest, SettingAPasswordStoresItsRecordAndEntersPasswordMode) {
    ExpectProtectionItems(false);
    const DialogResult result = SetPasswordTo("Secret123");
    EXPECT_TRUE(result.focusedOnShow);
    EXPECT_TRUE(result.closed);
    EXPECT_EQ(MessageTexts(), std::vector<Text>{"密码设置成功!"});

    const std::optional<std::string> record = ReadFile("Custom.db");
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(*record, crypto::EncryptData("Secret123", "Secret123"));
    EXPECT_EQ(record->size(), 9u);
    EXPECT_EQ(Setting("Start", "Num1"), "1");
    EXPECT_EQ(app().state.SessionKey, text::BytesToText(*record));
    EXPECT_TRUE(app::IsPasswordMode(app()));
    ExpectProtectionItems(true);

    // The plain password never reached the disk, not even for a moment.
    EXPECT_FALSE(Exists("Custom1.db"));
    EXPECT_FALSE(WroteAnything("Custom1.db"));
    EXPECT_EQ(written, (std::vector<Text>{PathOf("Custom.db"), PathOf("Start.ini")}));
}

TEST_F(PasswordTest, EmptyOrMismatchingEntriesAreRefusedAndTheWindowStaysOpen) {
    const struct {
        const char* first;
        const char* second;
    } cases[] = {{"", ""}, {"abc", "abd"}, {"abc", ""}, {"Abc", "abc"}};
    for (const auto& c : cases) {
        automation().ClearMessages();
        const DialogResult result = SetPasswordTo(c.first, c.second);
        EXPECT_FALSE(result.closed) << c.first << "/" << c.second;
        EXPECT_EQ(result.box1, "");
        EXPECT_EQ(result.box2, "");
        EXPECT_TRUE(result.focusedAfter);
        EXPECT_EQ(MessageTexts(), std::vector<Text>{"密码为空或两次密码输入不一致!"});
    }
    EXPECT_TRUE(written.empty());
    EXPECT_FALSE(Exists("Custom.db"));
    EXPECT_EQ(Setting("Start", "Num1"), "0");
    ExpectProtectionItems(false);

    // The same window accepts a matching pair after a refusal.
    automation().ClearMessages();
    bool closed = false;
    automation().OnNextModal([&](ui::WindowPeer& window) {
        automation().Type(window.Control("编辑框1"), "one");
        automation().Type(window.Control("编辑框2"), "two");
        automation().Click(window.Control("按钮1"));
        automation().Type(window.Control("编辑框1"), "two");
        automation().Type(window.Control("编辑框2"), "two");
        automation().Click(window.Control("按钮1"));
        closed = !window.IsOpen();
    });
    Choose("设置密码");
    EXPECT_TRUE(closed);
    EXPECT_EQ(MessageTexts(),
              (std::vector<Text>{"密码为空或两次密码输入不一致!", "密码设置成功!"}));
    EXPECT_EQ(ReadFile("Custom.db"), crypto::EncryptData("two", "two"));
}

TEST_F(PasswordTest, ClearingChecksThePasswordAndSettingItAgainRestoresTheSameKey) {
    ASSERT_TRUE(SetPasswordTo("PassWord7").closed);
    const std::optional<std::string> firstRecord = ReadFile("Custom.db");
    const Text firstKey = app().state.SessionKey.value();
    ASSERT_TRUE(firstRecord.has_value());
    automation().ClearMessages();

    // Letter case counts; a wrong or empty entry keeps the window open.
    for (const char* wrong : {"password7", "PASSWORD7", "", "PassWord"}) {
        automation().ClearMessages();
        const DialogResult result = ClearPasswordWith(wrong);
        EXPECT_TRUE(result.focusedOnShow);
        EXPECT_FALSE(result.closed) << wrong;
        EXPECT_EQ(result.box1, "");
        EXPECT_TRUE(result.focusedAfter);
        EXPECT_EQ(MessageTexts(), std::vector<Text>{"密码输入错误!"});
    }
    EXPECT_EQ(Setting("Start", "Num1"), "1");
    EXPECT_EQ(ReadFile("Custom.db"), firstRecord);
    ExpectProtectionItems(true);

    automation().ClearMessages();
    EXPECT_TRUE(ClearPasswordWith("PassWord7").closed);
    EXPECT_EQ(MessageTexts(), std::vector<Text>{"密码已清除!"});
    EXPECT_EQ(Setting("Start", "Num1"), "0");
    EXPECT_FALSE(Exists("Custom.db"));
    EXPECT_FALSE(app::IsPasswordMode(app()));
    EXPECT_EQ(app().state.SessionKey, firstKey);  // kept, but no longer used
    ExpectProtectionItems(false);

    ASSERT_TRUE(SetPasswordTo("PassWord7").closed);
    EXPECT_EQ(ReadFile("Custom.db"), firstRecord);
    EXPECT_EQ(app().state.SessionKey, firstKey);
    EXPECT_TRUE(app::IsPasswordMode(app()));
    EXPECT_FALSE(WroteAnything("Custom1.db"));
}

TEST_F(PasswordTest, CancelAndCloseChangeNothing) {
    const auto snapshot = [this] {
        return std::make_pair(ReadFile("Start.ini"), ReadFile("Custom.db"));
    };
    const auto pressSecondButton = [this](const Text& menu) {
        bool closed = false;
        automation().OnNextModal([&](ui::WindowPeer& window) {
            automation().Type(window.Control("编辑框1"), "typed");
            automation().Click(window.Control("按钮2"));
            closed = !window.IsOpen();
        });
        Choose(menu);
        return closed;
    };

    const auto before = snapshot();
    EXPECT_TRUE(pressSecondButton("设置密码"));
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(written.empty());
    ExpectProtectionItems(false);

    ASSERT_TRUE(SetPasswordTo("x1").closed);
    written.clear();
    automation().ClearMessages();
    const auto withPassword = snapshot();
    EXPECT_TRUE(pressSecondButton("清除密码"));
    EXPECT_EQ(snapshot(), withPassword);
    EXPECT_TRUE(written.empty());
    EXPECT_TRUE(automation().Messages().empty());
    ExpectProtectionItems(true);
    EXPECT_TRUE(app::IsPasswordMode(app()));
}

TEST_F(PasswordTest, AStoreThatCannotBeWrittenIsReportedAndChangesNothing) {
    failWrite = "Custom.db";
    const DialogResult result = SetPasswordTo("abc");
    EXPECT_FALSE(result.closed);
    EXPECT_EQ(MessageTexts(), std::vector<Text>{commands::kStoreWriteFailedMessage});
    EXPECT_FALSE(Exists("Custom.db"));
    EXPECT_EQ(Setting("Start", "Num1"), "0");
    EXPECT_FALSE(app().state.SessionKey);
    EXPECT_FALSE(app::IsPasswordMode(app()));
    ExpectProtectionItems(false);
    EXPECT_FALSE(WroteAnything("Custom1.db"));

    // Settings that cannot be written: the new record is taken back.
    failWrite = "Start.ini";
    automation().ClearMessages();
    EXPECT_FALSE(SetPasswordTo("abc").closed);
    EXPECT_EQ(MessageTexts(), std::vector<Text>{commands::kSetSettingsFailedMessage});
    EXPECT_FALSE(Exists("Custom.db"));
    EXPECT_EQ(Setting("Start", "Num1"), "0");
    EXPECT_FALSE(app().state.SessionKey);
    ExpectProtectionItems(false);

    // Clearing: the password stays set when the flag cannot be written.
    failWrite.clear();
    ASSERT_TRUE(SetPasswordTo("abc").closed);
    const std::optional<std::string> record = ReadFile("Custom.db");
    failWrite = "Start.ini";
    automation().ClearMessages();
    EXPECT_FALSE(ClearPasswordWith("abc").closed);
    EXPECT_EQ(MessageTexts(), std::vector<Text>{commands::kClearSettingsFailedMessage});
    EXPECT_EQ(Setting("Start", "Num1"), "1");
    EXPECT_EQ(ReadFile("Custom.db"), record);
    EXPECT_TRUE(app::IsPasswordMode(app()));
    ExpectProtectionItems(true);
}

TEST_F(PasswordTest, DocumentsSavedAfterSettingAPasswordAreEncryptedWithTheSessionKey) {
    ASSERT_TRUE(SetPasswordTo("k3y!").closed);
    const Text key = app().state.SessionKey.value();
    ASSERT_FALSE(key.empty());
    OpenDirectoryNamed("d");
    Choose("新建文档文件");
    main().编辑框2.SetText("note");
    main().超级编辑框1.SetText("秘密\r\ntext");
    Choose("保存当前文档");
    EXPECT_EQ(ReadFile("Default\\d\\note.rc"), crypto::EncryptData("秘密\r\ntext", key));
    EXPECT_FALSE(Exists("Default\\d\\note.txt"));
}

// Another copy of the program sets a password while this one runs, which never
// unlocked: the mode test says PasswordMode, but no key of this run may
// encrypt or decrypt anything.
TEST_F(PasswordTest, APasswordSetBehindTheRunningProgramEncryptsAndDecryptsNothing) {
    WriteFile("Default\\d\\old.rc", crypto::EncryptData("old", "k"));
    WriteFile("RC.bak", "package");
    WriteFile("plain.bin", "p");
    WriteFile("Custom.db", crypto::PasswordRecord("k"));
    SetSetting("Start", "Num1", "1");
    written.clear();

    OpenDirectoryNamed("d");
    EXPECT_EQ(main().标签1.GetText(), "d - 目录中共计 1 份文档_已加密!");
    OpenDocumentNamed("old");
    EXPECT_FALSE(main().超级编辑框1.IsVisible());
    Choose("新建文档文件");
    main().编辑框2.SetText("new");
    main().超级编辑框1.SetText("text");
    Choose("保存当前文档");
    EXPECT_EQ(main().超级编辑框1.GetText(), "text");
    // Unreachable from the menu (disabled); the commands refuse as well.
    tools::PackProtectedBackup(app());
    tools::RestoreProtectedBackup(app());
    automation().OnNextModal([&](ui::WindowPeer& window) {
        window.Control("编辑框1").SetText(PathOf("plain.bin"));
        window.Control("编辑框2").SetText(PathOf("plain.rc"));
        automation().Click(window.Control("按钮3"));
        window.Close();
    });
    tools::OpenFileCipherWindow(app(), app::FileCipherDirection::Encrypt);

    EXPECT_EQ(MessageTexts(), std::vector<Text>(5, app::kNoSessionKeyMessage));
    EXPECT_TRUE(written.empty());
    EXPECT_EQ(ReadFile("RC.bak"), "package");
    EXPECT_EQ(ReadFile("Default\\d\\old.rc"), crypto::EncryptData("old", "k"));
}

// The first byte of the record is zero for about one password in 256: the
// session key is then empty, and documents are still encrypted with it.
TEST_F(PasswordTest, ARecordStartingWithZeroGivesTheEmptyKeyAndStillEncrypts) {
    Text password;
    const char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (char a : std::string_view(alphabet)) {
        for (char b : std::string_view(alphabet)) {
            const Text candidate{a, b};
            if (crypto::EncryptData(candidate, candidate)[0] == '\0') password = candidate;
            if (!password.empty()) break;
        }
        if (!password.empty()) break;
    }
    ASSERT_FALSE(password.empty());

    ASSERT_TRUE(SetPasswordTo(password).closed);
    EXPECT_EQ(ReadFile("Custom.db"), crypto::EncryptData(password, password));
    EXPECT_EQ(app().state.SessionKey, std::optional<Text>(""));
    EXPECT_TRUE(app::IsPasswordMode(app()));

    OpenDirectoryNamed("d");
    Choose("新建文档文件");
    main().编辑框2.SetText("z");
    main().超级编辑框1.SetText("plain\r\nwords");
    Choose("保存当前文档");
    EXPECT_EQ(ReadFile("Default\\d\\z.rc"), crypto::EncryptData("plain\r\nwords", ""));
    EXPECT_NE(ReadFile("Default\\d\\z.rc"), std::optional<std::string>("plain\r\nwords"));
    Choose("返回文档列表");
    OpenDocumentNamed("z");
    EXPECT_EQ(main().超级编辑框1.GetText(), "plain\r\nwords");

    // The password itself still unlocks and clears.
    automation().ClearMessages();
    EXPECT_TRUE(ClearPasswordWith(password).closed);
    EXPECT_EQ(MessageTexts(), std::vector<Text>{"密码已清除!"});
}

}  // namespace
}  // namespace testing_support
