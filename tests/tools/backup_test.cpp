#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "crypto/rc4.h"
#include "store/data_folder.h"
#include "support/memory_files.h"
#include "support/program_fixture.h"
#include "tools/backup_commands.h"
#include "tools/backup_package.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's allocator statistics (GCC ships no header for them).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace testing_support {
namespace {

std::uint32_t Le(std::string_view b, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

void Put(std::string& out, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A minimal stored-only ZIP writer, independent of the packer, for archives
// the packer would never make (hostile names, other tools' layouts).
std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& entries,
                      std::uint32_t flags = 0) {
    std::string out, central;
    for (const auto& [name, data] : entries) {
        const std::uint32_t offset = static_cast<std::uint32_t>(out.size());
        const std::uint32_t crc = [&] {
            std::uint32_t c = 0xFFFFFFFF;
            for (unsigned char ch : data) {
                c ^= ch;
                for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
            }
            return ~c;
        }();
        std::string common;
        Put(common, 20, 2);
        Put(common, flags, 2);
        Put(common, 0, 2);
        Put(common, 0x5A210000, 4);  // 2025-01-01
        Put(common, crc, 4);
        Put(common, static_cast<std::uint32_t>(data.size()), 4);
        Put(common, static_cast<std::uint32_t>(data.size()), 4);
        Put(common, static_cast<std::uint32_t>(name.size()), 2);
        Put(common, 0, 2);
        out += std::string("PK\x03\x04", 4) + common + name + data;
        central += std::string("PK\x01\x02", 4);
        Put(central, 20, 2);
        central += common;
        Put(central, 0, 2);
        Put(central, 0, 2);
        Put(central, 0, 2);
        Put(central, 0, 4);
        Put(central, offset, 4);
        central += name;
    }
    const std::uint32_t centralAt = static_cast<std::uint32_t>(out.size());
    out += central + std::string("PK\x05\x06", 4);
    Put(out, 0, 4);
    Put(out, static_cast<std::uint32_t>(entries.size()), 2);
    Put(out, static_cast<std::uint32_t>(entries.size()), 2);
    Put(out, static_cast<std::uint32_t>(central.size()), 4);
    Put(out, centralAt, 4);
    Put(out, 0, 2);
    return out;
}

struct CentralRecord {
    std::uint32_t madeBy, needed, flags, method, compressed, size, external, localAt;
    std::string name, extra;
};

std::vector<CentralRecord> CentralDirectory(std::string_view zip) {
    std::vector<CentralRecord> records;
    const std::size_t end = zip.rfind(std::string_view("PK\x05\x06", 4));
    if (end == std::string_view::npos) return records;
    std::size_t at = Le(zip, end + 16, 4);
    for (std::uint32_t i = 0; i < Le(zip, end + 10, 2); ++i) {
        CentralRecord r{Le(zip, at + 4, 2),
                        Le(zip, at + 6, 2),
                        Le(zip, at + 8, 2),
                        Le(zip, at + 10, 2),
                        Le(zip, at + 20, 4),
                        Le(zip, at + 24, 4),
                        Le(zip, at + 38, 4),
                        Le(zip, at + 42, 4),
                        {},
                        {}};
        const std::size_t nameLength = Le(zip, at + 28, 2), extraLength = Le(zip, at + 30, 2);
        r.name = zip.substr(at + 46, nameLength);
        r.extra = zip.substr(at + 46 + nameLength, extraLength);
        records.push_back(r);
        at += 46 + nameLength + extraLength + Le(zip, at + 32, 2);
    }
    return records;
}

std::vector<std::string> Names(std::string_view zip) {
    std::vector<std::string> names;
    for (const CentralRecord& r : CentralDirectory(zip)) names.push_back(r.name);
    return names;
}

class BackupTest : public ProgramTest {
  protected:
    void SetUp() override {
        SetSetting("Start", "Num", "1");
        SetSetting("Alpha", "Num", "255");
        MakeFolder("Default");
        MakeFolder("Default\\日记");
        MakeFolder("Default\\空目录");
        WriteFile("Default\\日记\\第一篇.txt", "今天\r\n晴");
        WriteFile("Default\\日记\\第二篇.rc", std::string("\x00\x01\xFF\x80secret", 10));
        WriteFile("Default\\日记\\old.zip", std::string(300, 'z'));
        WriteFile("Default\\日记\\乗.txt", "trail byte");
    }
    // Unlocks PasswordMode at start-up as the user does.
    void EnterPasswordMode(const Text& password) {
        SetSetting("Start", "Num1", "1");
        WriteFile("Custom.db", crypto::EncryptData(password, password));
        automation().OnNextModal([this, password](ui::WindowPeer& window) {
            automation().Type(window.Control("编辑框1"), password);
            automation().Click(window.Control("按钮1"));
        });
        StartProgram();
        ASSERT_FALSE(app().state.SessionKey.value_or("").empty());
        ASSERT_TRUE(MenuEnabled("有密打包备份"));
    }
    // Records every target the program writes, so tests can see that no plain
    // archive of a protected package reaches the disk.
    void RecordWrites() {
        files().beforeReplace = [this](const Text& target) {
            written_.push_back(target);
            return true;
        };
    }
    std::vector<Text> written_;
};

TEST_F(BackupTest, PlainPackageRestoresDeletedAndChangedDocumentsAndKeepsOthers) {
    StartProgram();
    main().进度条1.SetPosition(37);
    bool shownWhileWriting = false;
    files().beforeReplace = [&](const Text&) {
        shownWhileWriting = main().进度条1.IsVisible();
        return true;
    };
    Choose("无密打包备份");
    EXPECT_EQ(MessageTexts(), std::vector<Text>{"无密打包完成!\r\n" + PathOf("Bak.zip")});
    EXPECT_TRUE(shownWhileWriting);
    EXPECT_FALSE(main().进度条1.IsVisible());
    EXPECT_EQ(main().进度条1.Position(), 100);
    ASSERT_TRUE(Exists("Bak.zip"));

    ASSERT_TRUE(files().DeleteFile(PathOf("Default\\日记\\第一篇.txt")));
    WriteFile("Default\\日记\\第二篇.rc", "changed");
    WriteFile("Default\\日记\\新的.txt", "kept");
    automation().ClearMessages();
    Choose("复原无密备份");
    EXPECT_EQ(MessageTexts(), std::vector<Text>{"成功复原无密备份包!"});
    EXPECT_FALSE(main().进度条1.IsVisible());
    EXPECT_EQ(ReadFile("Default\\日记\\第一篇.txt"), "今天\r\n晴");
    EXPECT_EQ(ReadFile("Default\\日记\\第二篇.rc"), std::string("\x00\x01\xFF\x80secret", 10));
    EXPECT_EQ(ReadFile("Default\\日记\\old.zip"), std::string(300, 'z'));
    EXPECT_EQ(ReadFile("Default\\日记\\新的.txt"), "kept");
    EXPECT_EQ(ReadFile("Default\\日记\\乗.txt"), "trail byte");
}

#if defined(__SANITIZE_ADDRESS__)
// The heap's high-water mark while `work` runs, above what it held before,
// sampled by a second thread from the sanitizer's allocator statistics.
std::size_t PeakHeapGrowth(const std::function<void()>& work) {
    const std::size_t before = __sanitizer_get_current_allocated_bytes();
    std::atomic<bool> done{false};
    std::atomic<std::size_t> peak{before};
    std::thread sampler([&] {
        while (!done) {
            const std::size_t now = __sanitizer_get_current_allocated_bytes();
            if (now > peak) peak = now;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    work();
    done = true;
    sampler.join();
    return peak > before ? peak - before : 0;
}

TEST_F(BackupTest, ProtectedPackAndRestoreOfALargeFolderStayWithinBoundedMemory) {
    // Eight 32 MiB files: the folder is several times the bound of 64 MiB
    // plus its largest entry. Repeated random blocks deflate quickly.
    constexpr std::size_t kFile = 32u << 20, kFiles = 8, kBound = (64u << 20) + kFile;
    std::string block(64 * 1024, '\0');
    std::uint32_t seed = 7;
    for (char& c : block) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
    std::string content;
    content.reserve(kFile);
    while (content.size() < kFile) content += block;
    MakeFolder("Default\\大");
    for (std::size_t i = 0; i < kFiles; ++i) {
        WriteFile("Default\\大\\" + std::to_string(i) + ".txt", content);
    }
    content = std::string();  // only the folder on disk holds the data now
    EnterPasswordMode("pw");

    const std::size_t packing = PeakHeapGrowth([&] { Choose("有密打包备份"); });
    ASSERT_EQ(MessageTexts(), std::vector<Text>{"有密打包完成!\r\n" + PathOf("RC.bak")});
    ASSERT_TRUE(files().DeleteFile(PathOf("Default\\大\\3.txt")));
    automation().ClearMessages();
    const std::size_t restoring = PeakHeapGrowth([&] { Choose("复原有密备份"); });
    ASSERT_EQ(MessageTexts(), std::vector<Text>{"成功复原有密备份包!"});

    EXPECT_LT(packing, kBound) << "packing held " << (packing >> 20) << " MiB";
    EXPECT_LT(restoring, kBound) << "restoring held " << (restoring >> 20) << " MiB";
    const std::optional<std::string> restored = files().ReadFile(PathOf("Default\\大\\3.txt"));
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->size(), kFile);
    EXPECT_EQ(restored->substr(kFile - block.size()), block);
}
#endif

TEST_F(BackupTest, RestoreReplacesReadOnlyFilesAndRecreatesAMissingDataFolder) {
    StartProgram();
    Choose("无密打包备份");
    WriteFile("Default\\日记\\第一篇.txt", "later");
    ASSERT_TRUE(files().SetReadOnly(PathOf("Default\\日记\\第一篇.txt"), true));
    Choose("复原无密备份");
    EXPECT_EQ(LastMessage(), "成功复原无密备份包!");
    EXPECT_EQ(ReadFile("Default\\日记\\第一篇.txt"), "今天\r\n晴");
    // Restored files are normal files again.
    EXPECT_TRUE(files().DeleteFile(PathOf("Default\\日记\\第一篇.txt")));

    // A restore into a removed data folder rebuilds it, empty folders included.
    for (const char* f :
         {"Default\\日记\\第二篇.rc", "Default\\日记\\old.zip", "Default\\日记\\乗.txt"}) {
        ASSERT_TRUE(files().DeleteFile(PathOf(f)));
    }
    ASSERT_TRUE(RemoveEmptyFolder(PathOf("Default\\日记")));
    ASSERT_TRUE(RemoveEmptyFolder(PathOf("Default\\空目录")));
    ASSERT_TRUE(RemoveEmptyFolder(PathOf("Default")));
    Choose("复原无密备份");
    EXPECT_EQ(ReadFile("Default\\日记\\第一篇.txt"), "今天\r\n晴");
    EXPECT_TRUE(Exists("Default\\空目录"));
}

TEST_F(BackupTest, RestoredFilesGetTheirModificationTimesBack) {
    const Text doc = PathOf("Default\\日记\\第一篇.txt");
    const platform::FileTime when{133000000000000000ULL};  // 2022-06-16 08:26:40 UTC
    ASSERT_TRUE(files().SetModifiedTime(doc, when));
    StartProgram();
    Choose("无密打包备份");
    WriteFile("Default\\日记\\第一篇.txt", "newer");
    Choose("复原无密备份");
    const std::optional<platform::FileTime> restored = files().GetModifiedTime(doc);
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->ticks / 10000000ULL, when.ticks / 10000000ULL);
}

TEST_F(BackupTest, MissingPackagesAreReportedAndTheBarStaysHidden) {
    EnterPasswordMode("pw");
    Choose("复原无密备份");
    Choose("复原有密备份");
    EXPECT_EQ(MessageTexts(),
              (std::vector<Text>{"未检测到无密备份数据!", "未检测到有密备份数据!"}));
    EXPECT_FALSE(main().进度条1.IsVisible());
}

TEST_F(BackupTest, ProtectedPackageIsTheEncryptedArchiveAndNeverPlainOnDisk) {
    EnterPasswordMode("k3y");
    const Text key = app().state.SessionKey.value();
    RecordWrites();
    Choose("无密打包备份");
    Choose("有密打包备份");
    EXPECT_EQ(LastMessage(), "有密打包完成!\r\n" + PathOf("RC.bak"));
    EXPECT_FALSE(main().进度条1.IsVisible());
    EXPECT_EQ(written_, (std::vector<Text>{PathOf("Bak.zip"), PathOf("RC.bak")}));
    EXPECT_FALSE(Exists("RC.rcbak"));

    ASSERT_TRUE(Exists("Bak.zip"));
    ASSERT_TRUE(Exists("RC.bak"));
    const std::string plain = *ReadFile("Bak.zip");
    const std::string sealed = *ReadFile("RC.bak");
    ASSERT_EQ(sealed.size(), plain.size());
    const std::string opened = crypto::DecryptData(sealed, key);
    EXPECT_NE(sealed.substr(0, 4), "PK\x03\x04");  // nothing of the plain archive shows
    EXPECT_EQ(Names(opened), Names(plain));
    std::vector<tools::ArchiveEntry> a, b;
    ASSERT_EQ(tools::ReadArchive(opened, a), tools::ReadStatus::Ok);
    ASSERT_EQ(tools::ReadArchive(plain, b), tools::ReadStatus::Ok);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].content, b[i].content) << i;

    ASSERT_TRUE(files().DeleteFile(PathOf("Default\\日记\\第二篇.rc")));
    Choose("复原有密备份");
    EXPECT_EQ(LastMessage(), "成功复原有密备份包!");
    EXPECT_EQ(ReadFile("Default\\日记\\第二篇.rc"), std::string("\x00\x01\xFF\x80secret", 10));
    EXPECT_FALSE(Exists("RC.rcbak"));
    EXPECT_EQ(std::count(written_.begin(), written_.end(), PathOf("RC.rcbak")), 0);
}

TEST_F(BackupTest, ProtectedPackageUnderAnotherKeyIsRefusedAndChangesNothing) {
    EnterPasswordMode("right");
    Choose("有密打包备份");
    WriteFile("Default\\日记\\第一篇.txt", "current");
    app().state.SessionKey = "wrong";
    automation().ClearMessages();
    Choose("复原有密备份");
    ASSERT_EQ(MessageTexts().size(), 1u);
    EXPECT_NE(LastMessage(), "成功复原有密备份包!");
    EXPECT_NE(LastMessage().find("无法识别"), std::string::npos);
    EXPECT_EQ(ReadFile("Default\\日记\\第一篇.txt"), "current");
    EXPECT_FALSE(main().进度条1.IsVisible());
    EXPECT_FALSE(Exists("RC.rcbak"));
}

TEST_F(BackupTest, ProtectedCommandsDoNothingUnlessNum1ReadsOne) {
    EnterPasswordMode("key");
    WriteFile("RC.bak", "old package");
    WriteFile("RC.rcbak", "stale");
    for (const char* value : {"0", "", "01", "yes"}) {
        SetSetting("Start", "Num1", value);
        tools::PackProtectedBackup(app());
        tools::RestoreProtectedBackup(app());
    }
    EXPECT_TRUE(MessageTexts().empty());
    SetSetting("Start", "Num1", "0");
    Choose("有密打包备份");
    Choose("复原有密备份");
    EXPECT_TRUE(MessageTexts().empty());
    EXPECT_EQ(ReadFile("RC.bak"), "old package");
    EXPECT_EQ(ReadFile("RC.rcbak"), "stale");
    EXPECT_FALSE(main().进度条1.IsVisible());
}

TEST_F(BackupTest, AFailedPackageWriteIsReportedAndKeepsTheOldPackage) {
    StartProgram();
    WriteFile("Bak.zip", "previous");
    files().beforeReplace = [](const Text&) { return false; };
    Choose("无密打包备份");
    ASSERT_EQ(MessageTexts().size(), 1u);
    EXPECT_EQ(LastMessage().find("无密打包完成"), std::string::npos);
    EXPECT_NE(LastMessage().find("打包失败"), std::string::npos);
    files().beforeReplace = nullptr;
    EXPECT_EQ(ReadFile("Bak.zip"), "previous");
    EXPECT_FALSE(main().进度条1.IsVisible());
}

TEST_F(BackupTest, ADataFolderThatCannotBeListedKeepsTheOldPackages) {
    EnterPasswordMode("pw");
    WriteFile("Bak.zip", "old plain");
    WriteFile("RC.bak", "old sealed");
    const auto removeDefault = [this] {
        for (const char* f : {"Default\\日记\\第一篇.txt", "Default\\日记\\第二篇.rc",
                              "Default\\日记\\old.zip", "Default\\日记\\乗.txt"}) {
            files().DeleteFile(PathOf(f));
        }
        for (const char* d : {"Default\\日记", "Default\\空目录", "Default\\DefaultLog"}) {
            for (const auto& e : files().Search(PathOf(d) + "\\*", platform::EntryFilter::All)) {
                files().DeleteFile(PathOf(d) + "\\" + e.name);
            }
            RemoveEmptyFolder(PathOf(d));
        }
        ASSERT_TRUE(RemoveEmptyFolder(PathOf("Default")));
    };
    removeDefault();
    for (bool asFile : {false, true}) {
        SCOPED_TRACE(asFile ? "Default is a file" : "Default is missing");
        if (asFile) WriteFile("Default", "not a folder");
        automation().ClearMessages();
        Choose("无密打包备份");
        Choose("有密打包备份");
        EXPECT_EQ(MessageTexts(), std::vector<Text>(2, "打包失败：无法读取 " + PathOf("Default") +
                                                           "\r\n备份包未作任何更改。"));
        EXPECT_EQ(ReadFile("Bak.zip"), "old plain");
        EXPECT_EQ(ReadFile("RC.bak"), "old sealed");
        EXPECT_FALSE(main().进度条1.IsVisible());
    }
}

TEST_F(BackupTest, DamagedPackagesAreReportedAndNothingIsRestored) {
    StartProgram();
    Choose("无密打包备份");
    std::string zip = *ReadFile("Bak.zip");
    ASSERT_TRUE(files().DeleteFile(PathOf("Default\\日记\\第一篇.txt")));
    // The first entry is a file whose data follows its local header.
    const std::size_t data = 30 + Le(zip, 26, 2) + Le(zip, 28, 2);
    zip[data + 1] = static_cast<char>(zip[data + 1] ^ 0x5A);
    WriteFile("Bak.zip", zip);
    automation().ClearMessages();
    Choose("复原无密备份");
    EXPECT_EQ(MessageTexts(), std::vector<Text>{"备份包已损坏，未复原任何文件。"});
    EXPECT_FALSE(Exists("Default\\日记\\第一篇.txt"));

    WriteFile("Bak.zip", "not an archive at all, just some text");
    automation().ClearMessages();
    Choose("复原无密备份");
    ASSERT_EQ(MessageTexts().size(), 1u);
    EXPECT_NE(LastMessage().find("无法识别"), std::string::npos);
    EXPECT_FALSE(main().进度条1.IsVisible());
}

TEST_F(BackupTest, AFileThatCannotBeRestoredIsReportedInsteadOfSuccess) {
    StartProgram();
    Choose("无密打包备份");
    ASSERT_TRUE(files().DeleteFile(PathOf("Default\\日记\\第一篇.txt")));
    MakeFolder("Default\\日记\\第一篇.txt");
    automation().ClearMessages();
    Choose("复原无密备份");
    EXPECT_EQ(MessageTexts(),
              std::vector<Text>{"复原中断：无法写入 " + PathOf("Default\\日记\\第一篇.txt") +
                                "\r\n在它之前的文件已复原，其余文件未复原。"});
    EXPECT_FALSE(main().进度条1.IsVisible());
    EXPECT_EQ(
        files().Search(PathOf("Default\\日记\\第一篇.txt\\*"), platform::EntryFilter::All).size(),
        0u);
}

// The machine stopping just before an existing document is replaced: that
// document keeps its old content whole, the others are old or new, the
// restore says it was cut short, and no temporary file shows.
TEST_F(BackupTest, ARestoreCutShortLeavesEveryExistingDocumentWhole) {
    StartProgram();
    Choose("无密打包备份");
    WriteFile("Default\\日记\\第一篇.txt", "changed since");
    WriteFile("Default\\日记\\乗.txt", "changed too");
    const Text stopsAt = PathOf("Default\\日记\\第一篇.txt");
    files().beforeReplace = [&](const Text& target) { return target != stopsAt; };
    automation().ClearMessages();
    Choose("复原无密备份");
    files().beforeReplace = nullptr;
    EXPECT_EQ(MessageTexts(), std::vector<Text>{"复原中断：无法写入 " + stopsAt +
                                                "\r\n在它之前的文件已复原，其余文件未复原。"});
    EXPECT_EQ(ReadFile("Default\\日记\\第一篇.txt"), "changed since");
    const std::optional<std::string> other = ReadFile("Default\\日记\\乗.txt");
    EXPECT_TRUE(other == "changed too" || other == "trail byte") << other.value_or("?");
    EXPECT_EQ(ReadFile("Default\\日记\\old.zip"), std::string(300, 'z'));
    EXPECT_EQ(files().Search(PathOf("Default\\日记\\*"), platform::EntryFilter::All).size(), 4u);
}

TEST_F(BackupTest, EntriesThatWouldLandOutsideTheDataFolderAreSkipped) {
    StartProgram();
    WriteFile("Bak.zip", StoredZip({{"fine/ok.txt", "ok"},
                                    {"../escape.txt", "x"},
                                    {"fine/../../up.txt", "x"},
                                    {"/absolute.txt", "x"},
                                    {"C:/drive.txt", "x"},
                                    {"C:drive2.txt", "x"},
                                    {"fine\\..\\..\\back.txt", "x"},
                                    {"..\\back2.txt", "x"},
                                    {"fine/.. /dots.txt", "x"},
                                    {"fine/NUL", "x"},
                                    {"fine/CON .txt", "x"},
                                    {"fine/prn  .log", "x"},
                                    {"fine/CONOUT$", "x"},
                                    {text::FromUtf8("fine/LPT\xC2\xB2.txt"), "x"},
                                    {"fine/last.txt", "last"}}));
    Choose("复原无密备份");
    EXPECT_EQ(LastMessage(), "成功复原无密备份包!\r\n已跳过 13 个会写到 Default 之外的条目。");
    EXPECT_EQ(ReadFile("Default\\fine\\ok.txt"), "ok");
    EXPECT_EQ(ReadFile("Default\\fine\\last.txt"), "last");
    for (const char* name : {"escape.txt", "up.txt", "absolute.txt", "back.txt", "back2.txt",
                             "drive2.txt", "Default\\escape.txt", "Default\\up.txt"}) {
        EXPECT_FALSE(Exists(name)) << name;
    }
    EXPECT_EQ(files().Search(PathOf("Default\\fine\\*"), platform::EntryFilter::All).size(), 2u);
}

// Packages that would make a restore write one entry's bytes many times,
// write more than they say, or read what is not theirs are refused whole.
TEST_F(BackupTest, InconsistentPackagesAreRefusedBeforeAnythingIsWritten) {
    StartProgram();
    Choose("无密打包备份");
    const std::string good = *ReadFile("Bak.zip");
    const std::string stored = StoredZip({{"fine/a.txt", "aaaa"}, {"fine/b.txt", "bbbb"}});
    const std::size_t central = stored.rfind(std::string_view("PK\x01\x02", 4));
    const std::size_t centralA = stored.find(std::string_view("PK\x01\x02", 4));
    const std::size_t eocd = stored.rfind(std::string_view("PK\x05\x06", 4));
    const auto patched = [](std::string zip, std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) zip[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        return zip;
    };
    // The central record of a.txt repeated many times, all pointing at one
    // local entry.
    std::string shared = stored.substr(0, central);
    const std::string recordA = stored.substr(centralA, central - centralA);
    for (int i = 0; i < 40; ++i) shared += recordA;
    const std::uint32_t sharedSize = static_cast<std::uint32_t>(shared.size() - centralA);
    shared += stored.substr(eocd);
    // End record: entries on this disk, entries, directory size.
    shared = patched(patched(patched(shared, shared.size() - 14, 40, 2), shared.size() - 12, 40, 2),
                     shared.size() - 10, sharedSize, 4);
    // The first deflated file of the real package, with a smaller size in
    // both headers than its data inflates to.
    const std::size_t firstFile = good.find(std::string_view("PK\x03\x04\x14\x00\x00\x00\x08", 9));
    ASSERT_NE(firstFile, std::string::npos);
    const std::size_t firstCentral = good.find(std::string_view("PK\x01\x02", 4));
    std::size_t fileCentral = firstCentral;
    while (Le(good, fileCentral + 42, 4) != firstFile) {
        fileCentral += 46 + Le(good, fileCentral + 28, 2) + Le(good, fileCentral + 30, 2) +
                       Le(good, fileCentral + 32, 2);
    }
    const std::uint32_t realSize = Le(good, firstFile + 22, 4);
    ASSERT_GT(realSize, 1u);
    const std::string lyingSmall =
        patched(patched(good, firstFile + 22, realSize - 1, 4), fileCentral + 24, realSize - 1, 4);
    const std::string lyingLarge =
        patched(patched(good, firstFile + 22, realSize + 1, 4), fileCentral + 24, realSize + 1, 4);

    const std::vector<std::pair<const char*, std::string>> hostile = {
        {"central entries sharing a local entry", shared},
        {"local CRC differs", patched(stored, 14, 0x12345678, 4)},
        {"local name differs",
         [&] {
             std::string z = stored;
             z[30] = 'F';
             return z;
         }()},
        {"local method differs", patched(stored, 8, 8, 2)},
        {"stored sizes differ", patched(patched(stored, 22, 5, 4), centralA + 24, 5, 4)},
        {"data runs into the central directory",
         patched(patched(patched(patched(stored, 18, 200, 4), 22, 200, 4), centralA + 20, 200, 4),
                 centralA + 24, 200, 4)},
        {"size smaller than the data", lyingSmall},
        {"size larger than the data", lyingLarge},
        {"encrypted entry", patched(patched(stored, 6, 1, 2), centralA + 8, 1, 2)},
    };
    WriteFile("Default\\日记\\第一篇.txt", "current");
    for (const auto& [what, zip] : hostile) {
        SCOPED_TRACE(what);
        std::vector<tools::ArchiveEntry> entries;
        EXPECT_EQ(tools::ReadArchive(zip, entries), tools::ReadStatus::Corrupt);
        WriteFile("Bak.zip", zip);
        automation().ClearMessages();
        Choose("复原无密备份");
        EXPECT_EQ(MessageTexts(), std::vector<Text>{"备份包已损坏，未复原任何文件。"});
        EXPECT_FALSE(Exists("Default\\fine"));
        EXPECT_EQ(ReadFile("Default\\日记\\第一篇.txt"), "current");
    }
    std::vector<tools::ArchiveEntry> entries;
    EXPECT_EQ(tools::ReadArchive(stored, entries), tools::ReadStatus::Ok);
}

// Other tools mark UTF-8 names with general-purpose bit 11; the program's own
// names stay GBK with the bit off.
TEST_F(BackupTest, Utf8FlaggedNamesRestoreAsTheProgramsText) {
    StartProgram();
    const Text folder = text::FromUtf8("\xE6\x97\xA5\xE8\xAE\xB0");            // 日记
    const Text name = text::FromUtf8("\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88");  // テスト
    WriteFile("Bak.zip", StoredZip({{"\xE6\x97\xA5\xE8\xAE\xB0/", ""},
                                    {"\xE6\x97\xA5\xE8\xAE\xB0/\xE3\x83\x86\xE3\x82\xB9"
                                     "\xE3\x83\x88.txt",
                                     "utf-8"}},
                                   0x800));
    Choose("复原无密备份");
    EXPECT_EQ(LastMessage(), "成功复原无密备份包!");
    ASSERT_EQ(folder, Text("日记"));
    EXPECT_EQ(ReadFile("Default\\日记\\" + name + ".txt"), "utf-8");
    Choose("无密打包备份");
    for (const CentralRecord& r : CentralDirectory(*ReadFile("Bak.zip"))) {
        EXPECT_EQ(r.flags, 0u) << r.name;
    }
    const std::vector<std::string> names = Names(*ReadFile("Bak.zip"));
    EXPECT_EQ(std::count(names.begin(), names.end(), std::string("日记/" + name + ".txt")), 1);
}

// ---- the archive itself -----------------------------------------------------

class BackupArchiveTest : public BackupTest {};

TEST_F(BackupArchiveTest, LayoutOrderAndHeaderValues) {
    MakeFolder("Default\\日记\\子");
    WriteFile("Default\\日记\\子\\深.TGZ", "deep");
    std::vector<int> progress;
    const auto packed = tools::BuildArchive(files(), PathOf("Default"), 1700000000,
                                            [&](int p) { progress.push_back(p); });
    ASSERT_TRUE(packed.archive);
    const std::string& zip = *packed.archive;
    const std::vector<CentralRecord> records = CentralDirectory(zip);
    ASSERT_EQ(records.size(), 8u);
    EXPECT_EQ(progress, (std::vector<int>{12, 25, 37, 50, 62, 75, 87, 100}));

    // Each folder: its files first, then each subfolder entry and its contents.
    std::vector<std::string> names = Names(zip);
    const auto at = [&](const std::string& n) {
        return std::find(names.begin(), names.end(), n) - names.begin();
    };
    const Text diary = "日记/";
    EXPECT_LT(at(diary), at(diary + "第一篇.txt"));
    EXPECT_LT(at(diary + "old.zip"), at(diary + "子/"));
    EXPECT_LT(at(diary + "第二篇.rc"), at(diary + "子/"));
    EXPECT_EQ(at(diary + "子/") + 1, at(diary + "子/深.TGZ"));
    EXPECT_LT(at("空目录/"), static_cast<std::ptrdiff_t>(names.size()));
    EXPECT_EQ(std::count(names.begin(), names.end(), std::string(diary)), 1);

    std::size_t local = 0;
    for (const CentralRecord& r : records) {
        SCOPED_TRACE(r.name);
        const bool folder = r.name.back() == '/';
        const bool stored = folder || r.name.ends_with(".zip") || r.name.ends_with(".TGZ");
        EXPECT_EQ(r.madeBy, 0x0B17u);
        EXPECT_EQ(r.needed, 20u);
        EXPECT_EQ(r.flags, 0u);
        EXPECT_EQ(r.method, stored ? 0u : 8u);
        if (folder) {
            EXPECT_EQ(r.size, 0u);
            EXPECT_EQ(r.external, 0x41C00010u);
        }
        ASSERT_EQ(r.extra.size(), 9u);
        EXPECT_EQ(r.extra.substr(0, 5), std::string("UT\x05\x00\x07", 5));
        // Local header: same values, sizes and CRC written in, the long stamp.
        ASSERT_EQ(r.localAt, local);
        EXPECT_EQ(zip.substr(local, 4), std::string("PK\x03\x04", 4));
        EXPECT_EQ(Le(zip, local + 4, 2), 20u);
        EXPECT_EQ(Le(zip, local + 6, 2), 0u);
        EXPECT_EQ(Le(zip, local + 18, 4), r.compressed);
        EXPECT_EQ(Le(zip, local + 22, 4), r.size);
        const std::size_t nameLength = Le(zip, local + 26, 2);
        ASSERT_EQ(Le(zip, local + 28, 2), 17u);
        const std::string extra = zip.substr(local + 30 + nameLength, 17);
        EXPECT_EQ(extra.substr(0, 5), std::string("UT\x0D\x00\x07", 5));
        EXPECT_EQ(extra.substr(5, 4), r.extra.substr(5, 4));
        if (folder) {
            EXPECT_EQ(Le(extra, 5, 4), 1700000000u);
            EXPECT_EQ(Le(extra, 9, 4), 1700000000u);
            EXPECT_EQ(Le(extra, 13, 4), 1700000000u);
        }
        local += 30 + nameLength + 17 + r.compressed;
    }
    EXPECT_TRUE(tools::LooksLikeArchive(zip));
}

TEST_F(BackupArchiveTest, RecognitionAndExtractionProgress) {
    std::string header = std::string("PK\x03\x04", 4) + std::string(28, '\0');
    EXPECT_FALSE(tools::LooksLikeArchive(header));  // empty first name
    header[26] = 1;                                 // name length 1
    EXPECT_TRUE(tools::LooksLikeArchive(header));
    header[27] = static_cast<char>(0x80);  // negative as a signed value
    EXPECT_FALSE(tools::LooksLikeArchive(header));
    EXPECT_FALSE(tools::LooksLikeArchive(header.substr(0, 31)));
    EXPECT_FALSE(tools::LooksLikeArchive(std::string("PK\x05\x06", 4) + std::string(40, '\0')));

    const std::string zip = StoredZip({{"a/", ""}, {"a/1", "1"}, {"a/2", "2"}, {"b", "b"}});
    std::vector<int> progress;
    const tools::UnpackResult r = tools::ExtractArchive(files(), zip, PathOf("Out\\Default"),
                                                        [&](int p) { progress.push_back(p); });
    // Out does not exist: the destination is made below an existing folder only.
    EXPECT_EQ(r.status, tools::UnpackStatus::WriteFailed);
    MakeFolder("Out");
    progress.clear();
    EXPECT_EQ(tools::ExtractArchive(files(), zip, PathOf("Out\\Default"),
                                    [&](int p) { progress.push_back(p); })
                  .status,
              tools::UnpackStatus::Ok);
    EXPECT_EQ(progress, (std::vector<int>{0, 25, 50, 75, 100}));
    EXPECT_EQ(ReadFile("Out\\Default\\a\\2"), "2");
}

// Entries deflated on several cores give the archive of one core byte for
// byte, and the protected package is exactly EncryptData of it, also where a
// large file's header is written after its data.
TEST_F(BackupArchiveTest, ParallelAndProtectedPackingGiveTheSameArchive) {
    MakeFolder("Default\\大");
    std::string big(5 * 1024 * 1024 + 3, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>('a' + (i * i / 7 + i / 4096) % 26);
    }
    WriteFile("Default\\大\\big.txt", big);
    for (int i = 0; i < 12; ++i) {
        WriteFile("Default\\大\\n" + DecimalText(i) + ".txt", std::string(997 * i, 'a' + i));
    }
    // The first reading of a new file may set its access time, which the
    // archive records; later ones leave it.
    ASSERT_TRUE(tools::BuildArchive(files(), PathOf("Default"), 1700000000, nullptr, 1).archive);
    const auto one = tools::BuildArchive(files(), PathOf("Default"), 1700000000, nullptr, 1);
    const auto many = tools::BuildArchive(files(), PathOf("Default"), 1700000000, nullptr, 4);
    ASSERT_TRUE(one.archive && many.archive);
    EXPECT_TRUE(*one.archive == *many.archive);

    std::vector<tools::ArchiveEntry> entries;
    ASSERT_EQ(tools::ReadArchive(*one.archive, entries), tools::ReadStatus::Ok);
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [](const auto& e) { return e.name == Text("大/big.txt"); });
    ASSERT_NE(found, entries.end());
    EXPECT_TRUE(found->content == big);

    tools::StringSink sealed;
    tools::CipherSink cipher(sealed, "k3y");
    ASSERT_TRUE(tools::PackFolder(files(), PathOf("Default"), 1700000000, nullptr, cipher, 2).ok);
    EXPECT_TRUE(sealed.bytes == crypto::EncryptData(*one.archive, "k3y"));
    // Read back at any offset, as a restore reads it.
    tools::MemorySource inner(sealed.bytes);
    tools::CipherSource opened(inner, "k3y");
    for (std::uint64_t at :
         {sealed.bytes.size() / 2, std::uint64_t{10}, sealed.bytes.size() - 40}) {
        std::string piece(40, '\0');
        ASSERT_TRUE(opened.Read(at, piece.data(), piece.size()));
        EXPECT_EQ(piece, one.archive->substr(at, 40)) << at;
    }
}

// The program's Files with one file that cannot be read and one folder that
// cannot be listed.
class FaultyFiles : public platform::Files {
  public:
    FaultyFiles(platform::Files& inner, Text unreadable, Text unlistable = {})
        : inner_(inner), unreadable_(std::move(unreadable)), unlistable_(std::move(unlistable)) {}
    std::optional<std::vector<platform::DirEntry>> TrySearch(const Text& p,
                                                             platform::EntryFilter f) override {
        if (!unlistable_.empty() && p.starts_with(unlistable_ + "\\")) return std::nullopt;
        return inner_.TrySearch(p, f);
    }
    bool CreateFolder(const Text& p) override { return inner_.CreateFolder(p); }
    std::unique_ptr<platform::FileReader> OpenRead(const Text& p) override {
        if (p == unreadable_) return nullptr;
        if (beforeOpen) beforeOpen(p);
        return inner_.OpenRead(p);
    }
    std::unique_ptr<platform::FileWriter> BeginWrite(
        const Text& p, platform::WriteMode m = platform::WriteMode::Flush) override {
        return inner_.BeginWrite(p, m);
    }
    bool DeleteFile(const Text& p) override { return inner_.DeleteFile(p); }
    bool ClearAttributes(const Text& p) override { return inner_.ClearAttributes(p); }
    bool SetReadOnly(const Text& p, bool r) override { return inner_.SetReadOnly(p, r); }
    std::optional<platform::FileTime> GetModifiedTime(const Text& p) override {
        return inner_.GetModifiedTime(p);
    }
    std::optional<platform::FileTimes> GetFileTimes(const Text& p) override {
        return inner_.GetFileTimes(p);
    }
    bool SetModifiedTime(const Text& p, platform::FileTime t) override {
        return inner_.SetModifiedTime(p, t);
    }
    Text CurrentDirectory() override { return inner_.CurrentDirectory(); }
    Text ProgramFolder() override { return inner_.ProgramFolder(); }

    std::function<void(const Text&)> beforeOpen;

  private:
    platform::Files& inner_;
    Text unreadable_, unlistable_;
};

// While the packing waits for a file another core is still on, it keeps the
// windows painted: the long-work hook runs on the packing thread.
TEST_F(BackupArchiveTest, WaitingForAnotherCoreCallsTheLongWorkHook) {
    FaultyFiles files(this->files(), {});
    const std::thread::id packing = std::this_thread::get_id();
    std::atomic<int> calls{0};
    files.duringLongWork = [&] { calls += std::this_thread::get_id() == packing; };
    // One file is slow to open until the hook has run a few times (or 10 s).
    files.beforeOpen = [&](const Text& path) {
        if (path != PathOf("Default\\日记\\第一篇.txt")) return;
        for (int i = 0; i < 1000 && calls < 3; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    };
    const auto packed = tools::BuildArchive(files, PathOf("Default"), 0, nullptr, 2);
    ASSERT_TRUE(packed.archive);
    EXPECT_GE(calls, 3);
}

TEST_F(BackupArchiveTest, AnUnreadableFileStopsThePackingAndIsNamed) {
    FaultyFiles files(this->files(), PathOf("Default\\日记\\old.zip"));
    const auto packed = tools::BuildArchive(files, PathOf("Default"), 0, nullptr);
    EXPECT_FALSE(packed.archive);
    EXPECT_EQ(packed.unreadable, PathOf("Default\\日记\\old.zip"));
    // A subfolder that cannot be listed is not an empty folder either.
    FaultyFiles unlistable(this->files(), {}, PathOf("Default\\空目录"));
    const auto stopped = tools::BuildArchive(unlistable, PathOf("Default"), 0, nullptr);
    EXPECT_FALSE(stopped.archive);
    EXPECT_EQ(stopped.unreadable, PathOf("Default\\空目录"));
}

// The reader and extractor need no disk: the same package restores into
// files held in memory, and nothing lands outside the destination there
// either.
TEST_F(BackupArchiveTest, ExtractsIntoFilesHeldInMemory) {
    const auto packed = tools::BuildArchive(files(), PathOf("Default"), 0, nullptr);
    ASSERT_TRUE(packed.archive);
    MemoryFiles memory;
    const tools::UnpackResult done =
        tools::ExtractArchive(memory, *packed.archive, "M:\\Default", nullptr);
    ASSERT_EQ(done.status, tools::UnpackStatus::Ok) << done.failedPath;
    const std::map<Text, std::string> restored = memory.Contents();
    EXPECT_EQ(restored.at("M:\\Default\\日记\\第一篇.txt"), "今天\r\n晴");
    EXPECT_EQ(restored.at("M:\\Default\\日记\\old.zip"), std::string(300, 'z'));
    EXPECT_EQ(restored.size(), 4u);
    EXPECT_TRUE(memory.Exists("M:\\Default\\空目录"));

    const std::string hostile = StoredZip({{"../up.txt", "x"}, {"a/../../b", "x"}, {"ok", "ok"}});
    const tools::UnpackResult r = tools::ExtractArchive(memory, hostile, "M:\\Default", nullptr);
    EXPECT_EQ(r.skipped, 2);
    for (const auto& [path, content] : memory.Contents()) {
        EXPECT_TRUE(path.starts_with("M:\\Default\\")) << path;
    }
}

TEST(BackupEntryTarget, OnlyPlainRelativeNamesLandBelowTheFolder) {
    EXPECT_EQ(tools::EntryTarget("D", "a/b.txt"), Text("D\\a\\b.txt"));
    EXPECT_EQ(tools::EntryTarget("D", "a/"), Text("D\\a"));
    // 0x5C occurs as the second byte of 乗: not a separator.
    EXPECT_EQ(tools::EntryTarget("D", "乗/乗.txt"), Text("D\\乗\\乗.txt"));
    for (const char* bad : {"", "/", "../a", "a/../../b", "./a", "a//b", "/a", "C:/a", "C:a",
                            "a\\b", "..\\a", "a/..", "a./b", "a /b", "con", "aux.txt", "lpt1"}) {
        EXPECT_EQ(tools::EntryTarget("D", bad), std::nullopt) << bad;
    }
}

// Typed titles and directory names, and every component of a package entry,
// follow one name rule.
TEST(FileNameRule, TypedNamesAndPackageEntriesAgree) {
    const auto superscript = [](const char* utf8) { return text::FromUtf8(utf8); };
    const std::vector<std::pair<Text, bool>> names = {
        {"a", true},
        {"a.txt", true},
        {"中文.rc", true},
        {"乗", true},
        {"CONSOLE", true},
        {"CON1", true},
        {"COM10", true},
        {"LPT", true},
        {"xnul.txt", true},
        {"abc .txt", true},
        {"~$x", true},
        {"CON", false},
        {"con", false},
        {"Aux.txt", false},
        {"CON .txt", false},
        {"nul .txt", false},
        {"prn  .log", false},
        {"CONIN$", false},
        {"conout$.txt", false},
        {"COM0", false},
        {"lpt9.log", false},
        {superscript("COM\xC2\xB9"), false},
        {superscript("LPT\xC2\xB2.txt"), false},
        {superscript("com\xC2\xB3 .a.b"), false},
        {"a.", false},
        {"a ", false},
        {"..", false},
        {"", false},
        {"a:b", false},
        {"a*", false},
        {"a\\b", false},
        {"a\tb", false},
    };
    for (const auto& [name, ok] : names) {
        SCOPED_TRACE(testing::PrintToString(name));
        EXPECT_EQ(store::IsSingleFileName(name), ok);
        EXPECT_EQ(tools::EntryTarget("D", name).has_value(), ok);
        if (name.empty()) continue;  // "d/" is the folder entry of d
        EXPECT_EQ(tools::EntryTarget("D", "d/" + name).has_value(), ok);
        EXPECT_EQ(tools::EntryTarget("D", name + "/x.txt").has_value(), ok);
    }
}

}  // namespace
}  // namespace testing_support
