// How PosixFiles maps the program's backslash paths onto Linux.
#ifndef _WIN32
#include "platform/posix/files_posix.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <set>

#include "support/temp_folder.h"

namespace {

class PosixFilesTest : public testing::Test {
  protected:
    std::string Host() const { return text::ToUtf8(folder_.path); }

    testing_support::TempFolder folder_;
    platform::PosixFiles files_{text::ToUtf8(folder_.path)};
};

TEST_F(PosixFilesTest, ExistingComponentsResolveToTheirSpellingOnDisk) {
    ASSERT_TRUE(files_.CreateFolder(folder_.path + "\\Default"));
    ASSERT_TRUE(files_.CreateFolder(folder_.path + "\\Default\\中文"));
    EXPECT_EQ(files_.HostPath(folder_.path + "\\DEFAULT\\中文\\New.TXT"),
              Host() + "/Default/" + reinterpret_cast<const char*>(u8"中文") + "/New.TXT");
    EXPECT_EQ(files_.HostPath(folder_.path + "/default//x"), Host() + "/Default/x");
}

TEST_F(PosixFilesTest, DotComponentsAreRemovedAsWindowsDoes) {
    ASSERT_TRUE(files_.CreateFolder(folder_.path + "\\a"));
    EXPECT_EQ(files_.HostPath(folder_.path + "\\a\\.\\b"), Host() + "/a/b");
    EXPECT_EQ(files_.HostPath(folder_.path + "\\x\\..\\a\\b"), Host() + "/a/b");
    EXPECT_EQ(files_.HostPath(folder_.path + "\\a\\b..  "), Host() + "/a/b");
    EXPECT_EQ(files_.HostPath(folder_.path + "\\a\\..."), "");
    EXPECT_EQ(files_.HostPath(folder_.path + "\\a\\b|c"), "");
}

TEST_F(PosixFilesTest, RelativePathsStartAtTheCurrentDirectory) {
    platform::PosixFiles files(Host() + "/", Host() + "/cwd");
    ASSERT_TRUE(files.CreateFolder(folder_.path + "\\cwd"));
    EXPECT_EQ(files.ProgramFolder(), folder_.path);
    EXPECT_EQ(files.CurrentDirectory(), folder_.path + "/cwd");
    ASSERT_TRUE(files.WriteFile("rel.txt", "r"));
    EXPECT_EQ(files.ReadFile(folder_.path + "\\CWD\\REL.TXT"), "r");
}

TEST_F(PosixFilesTest, ReadOnlyMeansNoWriteBitsAndFolderFlagIsHarmless) {
    ASSERT_TRUE(files_.WriteFile(folder_.path + "\\f", "x"));
    ASSERT_TRUE(files_.SetReadOnly(folder_.path + "\\f", true));
    struct stat st {};
    ASSERT_EQ(stat((Host() + "/f").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0222, 0u);
    // A read-only folder still takes new files, as on Windows.
    ASSERT_TRUE(files_.CreateFolder(folder_.path + "\\d"));
    EXPECT_TRUE(files_.SetReadOnly(folder_.path + "\\d", true));
    EXPECT_TRUE(files_.WriteFile(folder_.path + "\\d\\n", "x"));
}

// A restore writes its new files through the folder's kept names; what others
// do in the folder meanwhile must still count, or a second file differing
// only in case would appear beside theirs.
TEST_F(PosixFilesTest, BatchedWritesSeeWhatOthersDidInTheFolderMeanwhile) {
    ASSERT_TRUE(files_.CreateFolder(folder_.path + "\\d"));
    const std::string dir = Host() + "/d/";
    const auto write = [&](const char* name, const char* bytes) {
        auto writer =
            files_.BeginWrite(folder_.path + "\\d\\" + name, platform::WriteMode::Batched);
        return writer && writer->Write(bytes) && writer->Commit();
    };
    ASSERT_TRUE(write("mine.txt", "1"));
    ASSERT_TRUE(write("second.txt", "1"));
    usleep(20'000);  // past the folder's time stamp granularity
    std::FILE* theirs = std::fopen((dir + "Theirs.TXT").c_str(), "w");
    ASSERT_NE(theirs, nullptr);
    std::fclose(theirs);
    ASSERT_EQ(std::rename((dir + "mine.txt").c_str(), (dir + "MINE.bak").c_str()), 0);
    ASSERT_TRUE(write("theirs.txt", "2"));
    ASSERT_TRUE(write("Mine.txt", "3"));
    ASSERT_TRUE(files_.CompleteWrites());
    std::set<std::string> names;
    DIR* d = opendir(dir.c_str());
    ASSERT_NE(d, nullptr);
    while (const dirent* entry = readdir(d)) names.insert(entry->d_name);
    closedir(d);
    EXPECT_EQ(names, (std::set<std::string>{".", "..", "MINE.bak", "Mine.txt", "Theirs.TXT",
                                            "second.txt"}));
    EXPECT_EQ(files_.ReadFile(folder_.path + "\\d\\Theirs.TXT"), "2");
}

}  // namespace
#endif
