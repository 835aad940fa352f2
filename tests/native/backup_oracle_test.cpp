// Backup packages read back by ZIP tools nobody here wrote: Info-ZIP's
// zipinfo/unzip and Python's zipfile.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "platform/posix/files_posix.h"
#include "support/program_fixture.h"
#include "tools/backup_package.h"

namespace testing_support {
namespace {

std::string Hex(std::string_view bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

// Runs a shell command and gives its standard output and exit status.
std::pair<std::string, int> RunShell(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return {"", -1};
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int status = ::pclose(pipe);
    return {out, status};
}

std::string Quoted(const std::string& path) {
    std::string out = "'";
    for (char c : path) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// One line per entry in central-directory order: the stored name's bytes,
// method, version made by, version needed, flags, external attributes,
// central extra field and content, all in hex; Python checks every CRC.
constexpr const char* kPythonLister = R"PY(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    for i in z.infolist():
        raw = i.filename.encode('utf-8' if i.flag_bits & 0x800 else 'cp437')
        data = b'' if i.is_dir() else z.read(i)
        made = (i.create_system << 8) | i.create_version
        print('|'.join([raw.hex(), str(i.compress_type), '%04x' % made, str(i.extract_version),
                        str(i.flag_bits), '%08x' % i.external_attr, i.extra.hex(), data.hex()]))
    print('testzip', z.testzip())
)PY";

class BackupOracleTest : public ProgramTest {
  protected:
    void SetUp() override {
        SetSetting("Start", "Num", "1");
        SetSetting("Alpha", "Num", "255");
        MakeFolder("Default");
        MakeFolder("Default\\日记");
        MakeFolder("Default\\日记\\旧");
        MakeFolder("Default\\Work");
        WriteFile("Default\\日记\\第一篇.txt", std::string(2000, 'a') + "今天晴");
        WriteFile("Default\\日记\\乗.rc", std::string("\x00\xFF\x10\x80", 4));
        WriteFile("Default\\日记\\旧\\archive.GZ", "not really gzip");
        WriteFile("Default\\Work\\plan.txt", "");
        StartProgram();
        Choose("无密打包备份");
        ASSERT_EQ(LastMessage(), "无密打包完成!\r\n" + PathOf("Bak.zip"));
        zip_ = dynamic_cast<platform::PosixFiles&>(files()).HostPath(PathOf("Bak.zip"));
        ASSERT_FALSE(zip_.empty());
    }
    std::string zip_;
};

TEST_F(BackupOracleTest, PythonZipfileSeesTheLayoutAndEveryFileIntact) {
    const std::string scriptPath = "/tmp/moxia-backup-lister-" + std::to_string(::getpid()) + ".py";
    FILE* f = std::fopen(scriptPath.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs(kPythonLister, f);
    std::fclose(f);
    const auto [out, status] = RunShell("python3 " + scriptPath + " " + Quoted(zip_));
    std::remove(scriptPath.c_str());
    ASSERT_EQ(status, 0) << out;

    struct Expected {
        Text name;
        int method;
        std::string content;
    };
    // Files of a folder before its subfolders, each folder entry right before
    // its contents; within a folder the file system's order, so compare the
    // order only where the layout fixes it.
    const std::vector<Expected> expected = {
        {"日记/", 0, ""},
        {"日记/第一篇.txt", 8, std::string(2000, 'a') + "今天晴"},
        {"日记/乗.rc", 8, std::string("\x00\xFF\x10\x80", 4)},
        {"日记/旧/", 0, ""},
        {"日记/旧/archive.GZ", 0, "not really gzip"},
        {"Work/", 0, ""},
        {"Work/plan.txt", 8, ""},
    };
    std::vector<std::string> lines = Lines(out);
    ASSERT_EQ(lines.size(), expected.size() + 1) << out;
    EXPECT_EQ(lines.back(), "testzip None");
    lines.pop_back();

    std::vector<std::string> names;
    for (const std::string& line : lines) {
        std::vector<std::string> fields;
        std::istringstream in(line);
        for (std::string field; std::getline(in, field, '|');) fields.push_back(field);
        fields.resize(8);
        names.push_back(fields[0]);
        const auto match = std::find_if(expected.begin(), expected.end(), [&](const Expected& e) {
            return Hex(e.name) == fields[0];
        });
        ASSERT_NE(match, expected.end()) << line;
        SCOPED_TRACE(match->name);
        EXPECT_EQ(fields[1], std::to_string(match->method));
        EXPECT_EQ(fields[2], "0b17");
        EXPECT_EQ(fields[3], "20");
        EXPECT_EQ(fields[4], "0");
        if (match->name.back() == '/') {
            EXPECT_EQ(fields[5], "41c00010");
        }
        EXPECT_EQ(fields[6].substr(0, 10), "5554050007");
        EXPECT_EQ(fields[6].size(), 18u);
        EXPECT_EQ(fields[7], Hex(match->content));
    }
    const auto at = [&](const Text& name) {
        return std::find(names.begin(), names.end(), Hex(name)) - names.begin();
    };
    EXPECT_EQ(at("日记/旧/") + 1, at("日记/旧/archive.GZ"));
    EXPECT_EQ(at("Work/") + 1, at("Work/plan.txt"));
    EXPECT_LT(at("日记/"), at("日记/第一篇.txt"));
    EXPECT_LT(at("日记/第一篇.txt"), at("日记/旧/"));
    EXPECT_LT(at("日记/乗.rc"), at("日记/旧/"));
}

TEST_F(BackupOracleTest, InfoZipTestsListsAndExtractsThePackage) {
    const auto [tested, testStatus] = RunShell("unzip -tqq " + Quoted(zip_) + " 2>&1");
    EXPECT_EQ(testStatus, 0) << tested;

    const auto [info, infoStatus] = RunShell("zipinfo " + Quoted(zip_) + " 2>&1");
    ASSERT_EQ(infoStatus, 0) << info;
    // Two header lines, one line per entry, the totals line.
    const std::vector<std::string> lines = Lines(info);
    ASSERT_EQ(lines.size(), 2u + 7u + 1u) << info;
    int folders = 0, deflated = 0;
    for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
        if (lines[i].starts_with("drwx") && lines[i].back() == '/') ++folders;
        if (lines[i].find(" defX ") != std::string::npos ||
            lines[i].find(" defN ") != std::string::npos) {
            ++deflated;
        }
    }
    EXPECT_EQ(folders, 3) << info;
    EXPECT_EQ(deflated, 3) << info;

    // Extracted by unzip, the ASCII-named files come out byte for byte.
    const std::string out = platform::PosixFiles("/").HostPath(folder_.path) + "/unzipped";
    const auto [extracted, status] =
        RunShell("unzip -qq -o " + Quoted(zip_) + " -d " + Quoted(out) + " 2>&1");
    EXPECT_EQ(status, 0) << extracted;
    const auto [plan, planStatus] = RunShell("cat " + Quoted(out + "/Work/plan.txt"));
    EXPECT_EQ(planStatus, 0);
    EXPECT_EQ(plan, "");
    const auto [count, countStatus] = RunShell("find " + Quoted(out) + " -type f | wc -l");
    EXPECT_EQ(count, "4\n");
}

// Writes the archive to a host file, leaving runs of zero bytes as holes, so
// a package of more than 4 GiB costs no disk space.
class SparseFileSink : public tools::ArchiveSink {
  public:
    explicit SparseFileSink(const std::string& path)
        : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)) {}
    ~SparseFileSink() override {
        if (fd_ >= 0) ::close(fd_);
    }
    bool Append(std::string_view bytes, bool) override {
        static const std::string zero(1 << 20, '\0');
        bool zeros = true;
        for (std::size_t at = 0; zeros && at < bytes.size(); at += zero.size()) {
            const std::size_t n = std::min(zero.size(), bytes.size() - at);
            zeros = std::memcmp(bytes.data() + at, zero.data(), n) == 0;
        }
        const bool ok = zeros ? true : Patch(size_, bytes);
        size_ += bytes.size();
        return ok && ::ftruncate(fd_, static_cast<off_t>(size_)) == 0;
    }
    bool Patch(std::uint64_t offset, std::string_view bytes) override {
        return fd_ >= 0 && ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset)) ==
                               static_cast<ssize_t>(bytes.size());
    }

  private:
    int fd_;
    std::uint64_t size_ = 0;
};

// An entry of 4 GiB and more, and an entry that starts beyond 4 GiB, get the
// ZIP64 fields; Python and Info-ZIP read both, and so does the restore.
TEST_F(BackupOracleTest, EntriesOfFourGibibytesAndMoreAreWrittenAsZip64) {
    constexpr std::uint64_t kHuge = (4ULL << 30) + 5;
    MakeFolder("Default\\大");
    MakeFolder("Default\\大\\z");
    WriteFile("Default\\大\\z\\after.txt", "after the huge one");
    WriteFile("Default\\大\\huge.zip", "");
    platform::PosixFiles& posix = dynamic_cast<platform::PosixFiles&>(files());
    const std::string huge = posix.HostPath(PathOf("Default\\大\\huge.zip"));
    {
        const int fd = ::open(huge.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, "tail!", 5, static_cast<off_t>(kHuge - 5)), 5);
        ::close(fd);
    }
    const std::string zip = posix.HostPath(PathOf("big.zip"));
    {
        SparseFileSink sink(zip);
        ASSERT_TRUE(tools::PackFolder(files(), PathOf("Default"), 1700000000, nullptr, sink).ok);
    }
    std::remove(huge.c_str());

    // Listing and the small entry behind the huge one; reading 4 GiB again
    // would only test the tools.
    const auto [out, status] = RunShell(
        "python3 -c \"import sys, zipfile\n"
        "with zipfile.ZipFile(sys.argv[1]) as z:\n"
        "    for i in z.infolist(): print(i.file_size, i.header_offset > 0xFFFFFFFF)\n"
        "    print(z.read([n for n in z.namelist() if n.endswith('after.txt')][0]).decode())\" " +
        Quoted(zip) + " 2>&1");
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find(std::to_string(kHuge) + " False\n"), std::string::npos) << out;
    EXPECT_NE(out.find("18 True\n"), std::string::npos) << out;
    EXPECT_NE(out.find("after the huge one\n"), std::string::npos) << out;
    const auto [listed, listStatus] = RunShell("unzip -Z1 " + Quoted(zip) + " 2>&1 | wc -l");
    EXPECT_EQ(listStatus, 0) << listed;
    const auto [after, afterStatus] = RunShell("unzip -p " + Quoted(zip) + " '*/after.txt' 2>&1");
    EXPECT_EQ(afterStatus, 0) << after;
    EXPECT_EQ(after, "after the huge one");

    std::unique_ptr<platform::FileReader> reader = files().OpenRead(PathOf("big.zip"));
    ASSERT_TRUE(reader);
    tools::ReaderSource source(*reader);
    std::vector<tools::EntryInfo> entries;
    ASSERT_EQ(tools::ReadDirectory(source, entries), tools::ReadStatus::Ok);
    const auto at = [&](std::string_view suffix) {
        return std::find_if(entries.begin(), entries.end(),
                            [&](const tools::EntryInfo& e) { return e.name.ends_with(suffix); });
    };
    ASSERT_NE(at("huge.zip"), entries.end());
    EXPECT_EQ(at("huge.zip")->size, kHuge);
    EXPECT_EQ(at("huge.zip")->compressedSize, kHuge);
    ASSERT_NE(at("after.txt"), entries.end());
    EXPECT_GT(at("after.txt")->dataOffset, kHuge);
    std::string content;
    EXPECT_EQ(tools::StreamEntry(source, *at("after.txt"),
                                 [&](std::string_view piece) {
                                     content += piece;
                                     return true;
                                 }),
              tools::StreamStatus::Ok);
    EXPECT_EQ(content, "after the huge one");
    reader.reset();
    std::remove(zip.c_str());
}

}  // namespace
}  // namespace testing_support
