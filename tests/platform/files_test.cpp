// The Files of this build (PosixFiles natively, Win32Files under Windows or
// Wine) against the Windows behaviour the program relies on.
#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace {

using platform::DirEntry;
using platform::EntryFilter;
using testing_support::MakeFiles;
using testing_support::TempFolder;

std::string U8(const char8_t* s) {
    return reinterpret_cast<const char*>(s);
}

TEST(WildcardTest, StarsAndQuestionMarksAsSearchMatchesLongNames) {
    const struct {
        std::u16string_view pattern, name;
        bool matches;
    } cases[] = {
        {u"*", u"", true},
        {u"*", u"A.TXT", true},
        {u"*.*", u"NOEXT", true},
        {u"*.TXT", u"A.TXT", true},
        {u"*.TXT", u"A.TXTX", false},
        {u"*.TXT", u".TXT", true},
        {u"A?C", u"ABC", true},
        {u"A?C", u"AC", false},
        {u"?", u"\u4E2D", true},
        {u"*A*B", u"XAYAB", true},
        {u"*A*B", u"XAYBA", false},
        {u"**", u"X", true},
        {u"A*", u"", false},
        {u"", u"", true},
        {u"", u"A", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::MatchesWildcard(c.pattern, c.name), c.matches)
            << text::ToUtf8(text::FromUtf16(c.pattern)) << " "
            << text::ToUtf8(text::FromUtf16(c.name));
    }
}

class FilesTest : public testing::Test {
  protected:
    Text At(const Text& suffix) const { return folder_.path + "\\" + suffix; }

    std::vector<Text> List(const Text& pattern, EntryFilter filter) {
        std::vector<Text> names;
        for (const DirEntry& e : files_->Search(pattern, filter)) names.push_back(e.name);
        std::sort(names.begin(), names.end());
        return names;
    }

    void Make(const Text& suffix, std::string_view bytes = "x") {
        ASSERT_TRUE(files_->WriteFile(At(suffix), bytes)) << testing::PrintToString(suffix);
    }

    TempFolder folder_;
    std::unique_ptr<platform::Files> files_ = MakeFiles(folder_);
};

using Names = std::vector<Text>;

TEST_F(FilesTest, ProgramFolderIsTheGivenFolder) {
    EXPECT_EQ(files_->ProgramFolder(), folder_.path);
    EXPECT_TRUE(files_->Exists(folder_.path));
    EXPECT_FALSE(files_->CurrentDirectory().empty());
}

TEST_F(FilesTest, SearchMatchesPatternsIgnoringCaseAndFiltersByKind) {
    Make("Notes.TXT");
    Make("a.txt");
    Make("b.rc");
    Make("c.rc1");
    Make("readme");
    Make("long.txtx");  // Windows' short name LONG~1.TXT must not make it match
    Make("e.txt2");
    ASSERT_TRUE(files_->CreateFolder(At("x.txt")));
    ASSERT_TRUE(files_->CreateFolder(At("sub")));

    EXPECT_EQ(List(At("*.txt"), EntryFilter::FilesOnly), (Names{"Notes.TXT", "a.txt"}));
    EXPECT_EQ(List(At("*.TXT"), EntryFilter::All), (Names{"Notes.TXT", "a.txt", "x.txt"}));
    EXPECT_EQ(List(At("*.rc"), EntryFilter::FilesOnly), (Names{"b.rc"}));
    EXPECT_EQ(List(At("*"), EntryFilter::DirectoriesOnly), (Names{"sub", "x.txt"}));
    EXPECT_EQ(List(At("*"), EntryFilter::All),
              (Names{"Notes.TXT", "a.txt", "b.rc", "c.rc1", "e.txt2", "long.txtx", "readme", "sub",
                     "x.txt"}));
    EXPECT_EQ(List(At("?.rc*"), EntryFilter::All), (Names{"b.rc", "c.rc1"}));
    EXPECT_EQ(List(At("NOTES.txt"), EntryFilter::All), (Names{"Notes.TXT"}));

    for (const DirEntry& e : files_->Search(At("*"), EntryFilter::All)) {
        EXPECT_EQ(e.isDirectory, e.name == "sub" || e.name == "x.txt") << e.name;
    }
}

TEST_F(FilesTest, SearchNeverReturnsDotEntries) {
    ASSERT_TRUE(files_->CreateFolder(At("d")));
    for (const Text& pattern : {At("d\\*"), At("d\\.*"), At("d\\*.*"), At("*")}) {
        for (EntryFilter f : {EntryFilter::All, EntryFilter::DirectoriesOnly}) {
            for (const Text& name : List(pattern, f)) {
                EXPECT_TRUE(name != "." && name != "..") << pattern;
            }
        }
    }
    EXPECT_TRUE(files_->Search(At("d\\*"), EntryFilter::All).empty());
}

TEST_F(FilesTest, DirectoriesOnlyIncludesHiddenFolders) {
    ASSERT_TRUE(files_->CreateFolder(At("visible")));
    ASSERT_TRUE(files_->CreateFolder(At("hidden")));
    ASSERT_TRUE(testing_support::MarkHidden(At("hidden")));
    EXPECT_EQ(List(At("*"), EntryFilter::DirectoriesOnly), (Names{"hidden", "visible"}));
}

TEST_F(FilesTest, SearchInAMissingFolderFindsNothing) {
    EXPECT_TRUE(files_->Search(At("missing\\*"), EntryFilter::All).empty());
    EXPECT_TRUE(files_->Search(At("missing\\*.txt"), EntryFilter::FilesOnly).empty());
    // Only TrySearch tells a folder that cannot be listed from an empty one.
    Make("file");
    ASSERT_TRUE(files_->CreateFolder(At("empty")));
    EXPECT_FALSE(files_->TrySearch(At("missing\\*"), EntryFilter::All));
    EXPECT_FALSE(files_->TrySearch(At("file\\*"), EntryFilter::All));
    const auto empty = files_->TrySearch(At("empty\\*"), EntryFilter::All);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
    const auto none = files_->TrySearch(At("*.none"), EntryFilter::All);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
}

TEST_F(FilesTest, ExistsIgnoresCaseAndCountsFoldersAndFiles) {
    ASSERT_TRUE(files_->CreateFolder(At("Default")));
    Make("Default\\Help.txt");
    EXPECT_TRUE(files_->Exists(At("Default")));
    EXPECT_TRUE(files_->Exists(At("DEFAULT")));
    EXPECT_TRUE(files_->Exists(At("default\\HELP.TXT")));
    EXPECT_FALSE(files_->Exists(At("Default\\Help.rc")));
    EXPECT_FALSE(files_->Exists(At("Other")));
    EXPECT_FALSE(files_->Exists(At("Other\\Help.txt")));
}

TEST_F(FilesTest, NonAsciiNamesIgnoreCaseToo) {
    const Text upper = text::FromUtf8(U8(u8"ПРИМЕР"));
    const Text lower = text::FromUtf8(U8(u8"пример"));
    ASSERT_TRUE(files_->CreateFolder(At(upper)));
    EXPECT_TRUE(files_->Exists(At(lower)));
    EXPECT_TRUE(files_->WriteFile(At(lower + "\\a.txt"), "1"));
    EXPECT_EQ(List(At(upper + "\\*"), EntryFilter::All), (Names{"a.txt"}));
}

TEST_F(FilesTest, WritingAnotherCaseReplacesTheSameFile) {
    Make("Notes.TXT", "old");
    ASSERT_TRUE(files_->WriteFile(At("notes.txt"), "new"));
    EXPECT_EQ(files_->Search(At("*"), EntryFilter::All).size(), 1u);
    EXPECT_EQ(files_->ReadFile(At("NOTES.TXT")), "new");
}

TEST_F(FilesTest, ReadFileGivesTheWholeFileOrNothing) {
    const std::string bytes("\0\xFF\r\n\x80z", 6);
    Make("bin.dat", bytes);
    Make("empty.txt", "");
    ASSERT_TRUE(files_->CreateFolder(At("folder")));
    EXPECT_EQ(files_->ReadFile(At("bin.dat")), bytes);
    EXPECT_EQ(files_->ReadFile(At("empty.txt")), std::string());
    EXPECT_EQ(files_->ReadFile(At("missing.txt")), std::nullopt);
    EXPECT_EQ(files_->ReadFile(At("nowhere\\missing.txt")), std::nullopt);
    EXPECT_EQ(files_->ReadFile(At("folder")), std::nullopt);

    const std::string big(3 * 1024 * 1024 + 7, 'q');
    Make("big.dat", big);
    EXPECT_EQ(files_->ReadFile(At("big.dat")), big);
}

TEST_F(FilesTest, WriteIntoAMissingFolderFails) {
    EXPECT_FALSE(files_->WriteFile(At("missing\\a.txt"), "x"));
    EXPECT_TRUE(files_->Search(At("*"), EntryFilter::All).empty());
}

TEST_F(FilesTest, NamesWindowsRefusesCannotBeCreated) {
    for (const char* bad : {":", "*", "?", "\"", "<", ">", "|", "\x01", "\x1F"}) {
        const Text name = Text("a") + bad + "b";
        EXPECT_FALSE(files_->WriteFile(At(name + ".txt"), "x")) << testing::PrintToString(name);
        EXPECT_FALSE(files_->CreateFolder(At(name))) << testing::PrintToString(name);
    }
    EXPECT_TRUE(files_->Search(At("*"), EntryFilter::All).empty());
}

TEST(IsValidFileName, RefusesWhatWindowsRefusesAndNothingElse) {
    for (const char* good : {"a", "a.txt", "中文", "\x81\x5C", "\x81\x7C", "a b", "abc.", "~$x"}) {
        EXPECT_TRUE(platform::IsValidFileName(good)) << testing::PrintToString(Text(good));
    }
    for (const char* bad :
         {"", ".", "..", "a\\b", "a/b", "a:b", "a*", "a?", "\"a\"", "<a>", "a|b", "a\tb"}) {
        EXPECT_FALSE(platform::IsValidFileName(bad)) << testing::PrintToString(Text(bad));
    }
}

TEST_F(FilesTest, TrailingDotsAndSpacesAreDroppedFromNames) {
    ASSERT_TRUE(files_->CreateFolder(At("abc. ")));
    EXPECT_EQ(List(At("*"), EntryFilter::All), (Names{"abc"}));
    ASSERT_TRUE(files_->WriteFile(At("note.txt."), "x"));
    EXPECT_EQ(files_->ReadFile(At("note.txt")), "x");
}

TEST_F(FilesTest, AnAbandonedWriteLeavesTheOldFileWholeAndNoTemporaryFile) {
    Make("doc.txt", "old content");
    int calls = 0;
    files_->beforeReplace = [&](const Text& target) {
        ++calls;
        EXPECT_EQ(target, At("doc.txt"));
        // The new bytes are flushed elsewhere; the target is still the old file.
        EXPECT_EQ(files_->ReadFile(target), "old content");
        // The temporary file is this program's own, so no listing shows it.
        EXPECT_EQ(List(At("*"), EntryFilter::FilesOnly), (Names{"doc.txt"}));
        return false;
    };
    EXPECT_FALSE(files_->WriteFile(At("doc.txt"), "new content that is longer"));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(files_->ReadFile(At("doc.txt")), "old content");
    EXPECT_EQ(List(At("*"), EntryFilter::All), (Names{"doc.txt"}));

    // A write that is not abandoned does replace the file.
    files_->beforeReplace = [&](const Text&) { return ++calls > 0; };
    EXPECT_TRUE(files_->WriteFile(At("doc.txt"), "new"));
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(files_->ReadFile(At("doc.txt")), "new");
    EXPECT_EQ(List(At("*"), EntryFilter::All), (Names{"doc.txt"}));
}

TEST_F(FilesTest, StaleTemporariesOfThisProgramGoBeforeAWriteAndNothingElseDoes) {
    const Text stale = platform::TemporaryFileName(0x1234, 7);
    const std::vector<Text> notOurs = {"~moxia-.mxtmp", "~moxia-12-x.mxtmp", "~moxia-1-2.tmp",
                                       "moxia-1-2.mxtmp", "~mx1a2.tmp"};
    EXPECT_TRUE(platform::IsTemporaryFileName(stale));
    for (const Text& name : notOurs) EXPECT_FALSE(platform::IsTemporaryFileName(name)) << name;
    // Another copy of the program is writing in this folder.
    std::unique_ptr<platform::Files> other = MakeFiles(folder_);
    std::unique_ptr<platform::FileWriter> live = other->BeginWrite(At("live.txt"));
    ASSERT_TRUE(live);
    ASSERT_TRUE(live->Write("live"));
    // A write killed midway leaves its temporary file; listings never show it.
    Make(stale, "partial plaintext");
    for (const Text& name : notOurs) Make(name, "user data");
    EXPECT_EQ(List(At("*"), EntryFilter::All).size(), notOurs.size());

    // The next run's first write into the folder removes the stale one only.
    std::unique_ptr<platform::Files> next = MakeFiles(folder_);
    ASSERT_TRUE(next->WriteFile(At("next.txt"), "new"));
    EXPECT_FALSE(files_->OpenRead(At(stale)));
    for (const Text& name : notOurs) EXPECT_EQ(files_->ReadFile(At(name)), "user data") << name;
    EXPECT_TRUE(live->Commit());
    EXPECT_EQ(files_->ReadFile(At("live.txt")), "live");
}

TEST_F(FilesTest, StreamedWritesReplaceOnlyOnCommitAndPatchWhatWasWritten) {
    Make("doc.bin", "old");
    {
        std::unique_ptr<platform::FileWriter> abandoned = files_->BeginWrite(At("doc.bin"));
        ASSERT_TRUE(abandoned);
        ASSERT_TRUE(abandoned->Write("never"));
    }
    EXPECT_EQ(files_->ReadFile(At("doc.bin")), "old");
    std::unique_ptr<platform::FileWriter> writer = files_->BeginWrite(At("doc.bin"));
    ASSERT_TRUE(writer);
    const std::string big(3 * 1024 * 1024, 'b');
    ASSERT_TRUE(writer->Write("head----"));
    ASSERT_TRUE(writer->Write(big));
    ASSERT_TRUE(writer->WriteAt(4, "HEAD"));
    ASSERT_TRUE(writer->Write("tail"));
    EXPECT_EQ(files_->ReadFile(At("doc.bin")), "old");
    ASSERT_TRUE(writer->Commit());
    EXPECT_EQ(files_->ReadFile(At("doc.bin")), "headHEAD" + big + "tail");
    EXPECT_EQ(List(At("*"), EntryFilter::All), (Names{"doc.bin"}));

    std::unique_ptr<platform::FileReader> reader = files_->OpenRead(At("doc.bin"));
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->Size(), big.size() + 12);
    char piece[8];
    EXPECT_EQ(reader->ReadAt(big.size() + 8, piece, sizeof piece), std::optional<std::size_t>(4));
    EXPECT_EQ(std::string(piece, 4), "tail");
    EXPECT_EQ(reader->ReadAt(big.size() + 100, piece, sizeof piece), std::optional<std::size_t>(0));
    EXPECT_FALSE(files_->OpenRead(At("missing")));
    EXPECT_FALSE(files_->BeginWrite(At("missing\\x")));
}

TEST_F(FilesTest, ReadOnlyFilesCannotBeReplacedOrDeletedUntilCleared) {
    Make("ro.txt", "kept");
    ASSERT_TRUE(files_->SetReadOnly(At("ro.txt"), true));
    EXPECT_FALSE(files_->WriteFile(At("ro.txt"), "lost"));
    EXPECT_FALSE(files_->DeleteFile(At("ro.txt")));
    EXPECT_EQ(files_->ReadFile(At("ro.txt")), "kept");
    EXPECT_EQ(List(At("*"), EntryFilter::All), (Names{"ro.txt"}));

    ASSERT_TRUE(files_->ClearAttributes(At("ro.txt")));
    EXPECT_TRUE(files_->WriteFile(At("ro.txt"), "replaced"));
    EXPECT_EQ(files_->ReadFile(At("ro.txt")), "replaced");
    ASSERT_TRUE(files_->SetReadOnly(At("ro.txt"), true));
    ASSERT_TRUE(files_->SetReadOnly(At("ro.txt"), false));
    EXPECT_TRUE(files_->DeleteFile(At("ro.txt")));
    EXPECT_FALSE(files_->SetReadOnly(At("ro.txt"), true));
    EXPECT_FALSE(files_->ClearAttributes(At("ro.txt")));
}

TEST_F(FilesTest, DeleteRemovesFilesOnly) {
    Make("a.txt");
    ASSERT_TRUE(files_->CreateFolder(At("dir")));
    EXPECT_TRUE(files_->DeleteFile(At("A.TXT")));
    EXPECT_FALSE(files_->Exists(At("a.txt")));
    EXPECT_FALSE(files_->DeleteFile(At("a.txt")));
    EXPECT_FALSE(files_->DeleteFile(At("dir")));
    EXPECT_TRUE(files_->Exists(At("dir")));
}

TEST_F(FilesTest, CreateFolderMakesOneLevel) {
    EXPECT_TRUE(files_->CreateFolder(At("Default")));
    EXPECT_TRUE(files_->CreateFolder(At("Default")));  // already there
    EXPECT_TRUE(files_->CreateFolder(At("DEFAULT")));
    EXPECT_FALSE(files_->CreateFolder(At("a\\b")));
    EXPECT_FALSE(files_->Exists(At("a")));
    Make("file");
    EXPECT_FALSE(files_->CreateFolder(At("file")));
    EXPECT_EQ(List(At("*"), EntryFilter::DirectoriesOnly), (Names{"Default"}));
}

TEST_F(FilesTest, ChineseAndOtherNamesRoundTrip) {
    const Text folder = "中文目录";
    const Text title = Text("笔记") + text::FromUtf8(U8(u8"😀กé")) + "·—";
    ASSERT_TRUE(files_->CreateFolder(At(folder)));
    ASSERT_TRUE(files_->WriteFile(At(folder + "\\" + title + ".txt"), "内容"));
    EXPECT_EQ(List(At("*"), EntryFilter::DirectoriesOnly), (Names{folder}));
    EXPECT_EQ(List(At(folder + "\\*.txt"), EntryFilter::FilesOnly), (Names{title + ".txt"}));
    EXPECT_EQ(files_->ReadFile(At(folder + "\\" + title + ".txt")), "内容");
    // Double-byte characters whose second byte is a backslash or a bar are
    // characters of the name, not separators or forbidden characters.
    const Text backslash = "\x81\x5C";  // U+4E57
    const Text bar = "\x81\x7C";        // U+4E85
    ASSERT_TRUE(files_->WriteFile(At(backslash + ".txt"), "t"));
    ASSERT_TRUE(files_->CreateFolder(At(bar)));
    ASSERT_TRUE(files_->WriteFile(At(bar + "\\" + bar + ".txt"), "u"));
    EXPECT_EQ(List(At("*.txt"), EntryFilter::FilesOnly), (Names{backslash + ".txt"}));
    EXPECT_EQ(files_->ReadFile(At(bar + "\\" + bar + ".txt")), "u");
}

TEST_F(FilesTest, ModifiedTimeIsSetAndReadBack) {
    Make("t.txt");
    // 2001-02-03 04:05:06 UTC.
    const platform::FileTime when{126256467060000000ull};
    ASSERT_TRUE(files_->SetModifiedTime(At("t.txt"), when));
    ASSERT_TRUE(files_->GetModifiedTime(At("t.txt")).has_value());
    EXPECT_EQ(files_->GetModifiedTime(At("t.txt"))->ticks, when.ticks);
    const auto times = files_->GetFileTimes(At("T.TXT"));
    ASSERT_TRUE(times.has_value());
    EXPECT_EQ(times->modified.ticks, when.ticks);
    EXPECT_NE(times->created.ticks, 0u);
    EXPECT_NE(times->accessed.ticks, 0u);
    EXPECT_FALSE(files_->GetModifiedTime(At("missing")).has_value());
    EXPECT_FALSE(files_->SetModifiedTime(At("missing"), when));
}

// A restore's writes: new files and replaced ones get the time given; an
// abandoned new file is gone; all are in place once the writes are complete.
TEST_F(FilesTest, BatchedWritesCarryTheirTimeAndAreInPlaceWhenComplete) {
    Make("old.txt", "old content");
    const platform::FileTime when{126256467060000000ull};
    for (const char* name : {"old.txt", "new.txt"}) {
        auto writer = files_->BeginWrite(At(name), platform::WriteMode::Batched);
        ASSERT_TRUE(writer);
        writer->SetModifiedTime(when);
        ASSERT_TRUE(writer->Write(name) && writer->Commit());
    }
    {
        auto abandoned = files_->BeginWrite(At("gone.txt"), platform::WriteMode::Batched);
        ASSERT_TRUE(abandoned && abandoned->Write("part"));
    }
    Text failed;
    EXPECT_TRUE(files_->CompleteWrites(&failed));
    EXPECT_EQ(List(At("*"), EntryFilter::All), (Names{"new.txt", "old.txt"}));
    for (const char* name : {"old.txt", "new.txt"}) {
        EXPECT_EQ(files_->ReadFile(At(name)), name);
        EXPECT_EQ(files_->GetModifiedTime(At(name))->ticks, when.ticks);
    }
}

// The file cipher tool's writes: a new file still appears only at Commit, an
// existing one is replaced whole, and an abandoned write leaves both as they
// were; nothing is left to complete.
TEST_F(FilesTest, FlushExistingWritesAppearWholeAtCommit) {
    Make("old.txt", "old content");
    Names listed{"old.txt"};
    for (const char* name : {"new.txt", "old.txt"}) {
        {
            auto abandoned = files_->BeginWrite(At(name), platform::WriteMode::FlushExisting);
            ASSERT_TRUE(abandoned && abandoned->Write("part"));
        }
        auto writer = files_->BeginWrite(At(name), platform::WriteMode::FlushExisting);
        ASSERT_TRUE(writer && writer->Write(name));
        EXPECT_EQ(List(At("*"), EntryFilter::All), listed) << name;
        EXPECT_EQ(files_->ReadFile(At("old.txt")), "old content");
        ASSERT_TRUE(writer->Commit());
        EXPECT_EQ(files_->ReadFile(At(name)), name);
        listed = Names{"new.txt", "old.txt"};
    }
    EXPECT_EQ(List(At("*"), EntryFilter::All), listed);
}

}  // namespace
