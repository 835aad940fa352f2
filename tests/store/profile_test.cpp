// The private-profile reader and writer against real files in a fresh folder.
#include "store/profile.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"

namespace {

class ProfileTest : public ::testing::Test {
  protected:
    Text Path(const Text& name) { return files->ProgramFolder() + "\\" + name; }
    void Put(const Text& name, const std::string& bytes) {
        ASSERT_TRUE(files->WriteFile(Path(name), bytes));
    }
    std::string Get(const Text& name) { return files->ReadFile(Path(name)).value_or("<none>"); }
    Text Read(const Text& section, const Text& key, const Text& name = "t.ini") {
        return store::ReadProfileKey(*files, Path(name), section, key);
    }
    bool Write(const Text& section, const Text& key, const Text& value,
               const Text& name = "t.ini") {
        return store::WriteProfileKey(*files, Path(name), section, key, value);
    }

    testing_support::TempFolder folder;
    std::unique_ptr<platform::Files> files = testing_support::MakeFiles(folder);
};

TEST_F(ProfileTest, MissingFileSectionOrKeyReadsEmpty) {
    EXPECT_EQ(Read("A", "a"), "");
    EXPECT_FALSE(files->Exists(Path("t.ini")));  // reading never creates the file
    Put("t.ini", "[A]\r\na=1\r\nb=\r\n");
    EXPECT_EQ(Read("A", "a"), "1");
    EXPECT_EQ(Read("B", "a"), "");
    EXPECT_EQ(Read("A", "c"), "");
    EXPECT_EQ(Read("A", "b"), "");
}

TEST_F(ProfileTest, WritesCreateFileSectionsAndKeysInOrder) {
    EXPECT_TRUE(Write("App1", "key1", "string1"));
    EXPECT_EQ(Get("t.ini"), "[App1]\r\nkey1=string1\r\n");
    EXPECT_TRUE(Write("App1", "key2", "string2"));
    EXPECT_TRUE(Write("App2", "key3", "string3"));
    EXPECT_TRUE(Write("App1", "key4", "string4"));  // into the middle section
    EXPECT_TRUE(Write("App3", "empty", ""));
    EXPECT_EQ(Get("t.ini"),
              "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey4=string4\r\n"
              "[App2]\r\nkey3=string3\r\n[App3]\r\nempty=\r\n");
    EXPECT_EQ(Read("App1", "key4"), "string4");
    EXPECT_EQ(Read("App2", "key3"), "string3");
}

TEST_F(ProfileTest, ReplaceInPlaceKeepsEveryOtherByte) {
    const std::string before =
        "; settings\r\n"
        "\r\n"
        "[One]\r\n"
        "; about a\r\n"
        "  a = 1  \r\n"
        "loose line\r\n"
        "b=2\r\n"
        "\r\n"
        "[Two]\n"  // a line ending in LF alone
        "c=3\n";
    Put("t.ini", before);
    EXPECT_TRUE(Write("One", "a", "10"));
    EXPECT_TRUE(Write("Two", "c", "30"));
    EXPECT_EQ(Get("t.ini"),
              "; settings\r\n\r\n[One]\r\n; about a\r\na=10\r\nloose line\r\nb=2\r\n\r\n"
              "[Two]\nc=30\n");
}

TEST_F(ProfileTest, NewKeyFollowsTheLastKeyLineOfItsSection) {
    Put("t.ini", "[One]\r\n; first\r\na=1\r\n\r\n; about Two\r\n[Two]\r\n[Three]\r\nz=9");
    EXPECT_TRUE(Write("one", "b", "2"));
    EXPECT_TRUE(Write("Two", "c", "3"));    // a section with no keys: right after its header
    EXPECT_TRUE(Write("Three", "d", "4"));  // the last line has no line end
    EXPECT_EQ(Get("t.ini"),
              "[One]\r\n; first\r\na=1\r\nb=2\r\n\r\n; about Two\r\n[Two]\r\nc=3\r\n"
              "[Three]\r\nz=9\r\nd=4\r\n");
}

TEST_F(ProfileTest, NewSectionAfterAFileWithoutFinalLineEnd) {
    Put("t.ini", "[A]\r\na=1");
    EXPECT_TRUE(Write("B", "b", "2"));
    EXPECT_EQ(Get("t.ini"), "[A]\r\na=1\r\n[B]\r\nb=2\r\n");
    EXPECT_EQ(Read("A", "a"), "1");
}

TEST_F(ProfileTest, NamesMatchCaseInsensitivelyAndKeepTheirSpelling) {
    Put("t.ini", "[Start]\r\nNum=1\r\n");
    EXPECT_EQ(Read("START", "num"), "1");
    EXPECT_EQ(Read("start", "NUM"), "1");
    EXPECT_TRUE(Write("sTaRt", "nUm", "2"));
    EXPECT_TRUE(Write("START", "Other", "3"));
    EXPECT_EQ(Get("t.ini"), "[Start]\r\nNum=2\r\nOther=3\r\n");
}

TEST_F(ProfileTest, BlanksAroundNamesAndValuesAreIgnored) {
    Put("t.ini", "  [  Sec  ]  \r\n\t key \t=\t value with inner  blanks \v\r\n");
    EXPECT_EQ(Read("Sec", "key"), "value with inner  blanks");
    EXPECT_EQ(Read("  Sec ", "  key  "), "value with inner  blanks");
    // Names given by the caller lose their spaces; the value is written as given.
    EXPECT_TRUE(Write("  New  ", "  k  ", " v "));
    EXPECT_EQ(Read("New", "k"), "v");
    EXPECT_NE(Get("t.ini").find("[New]\r\nk= v \r\n"), std::string::npos);
}

TEST_F(ProfileTest, QuotedValuesReadUnquoted) {
    Put("t.ini",
        "[Q]\r\n"
        "double=\"  two words  \"\r\n"
        "single='one'\r\n"
        "mixed=\"a'\r\n"
        "lone=\"\r\n"
        "empty=\"\"\r\n"
        "inner=x\"y\"\r\n"
        "nested='\"n\"'\r\n"
        "outer=  \"o\"  \r\n");
    EXPECT_EQ(Read("Q", "double"), "  two words  ");
    EXPECT_EQ(Read("Q", "single"), "one");
    EXPECT_EQ(Read("Q", "mixed"), "\"a'");
    EXPECT_EQ(Read("Q", "lone"), "\"");
    EXPECT_EQ(Read("Q", "empty"), "");
    EXPECT_EQ(Read("Q", "inner"), "x\"y\"");
    EXPECT_EQ(Read("Q", "nested"), "\"n\"");
    EXPECT_EQ(Read("Q", "outer"), "o");
}

TEST_F(ProfileTest, CommentsLooseLinesAndLinesOutsideSections) {
    Put("t.ini",
        "top=0\r\n"
        "[S]\r\n"
        ";hidden=1\r\n"
        "  ;also=2\r\n"
        "loose\r\n"
        "semi;colon=3\r\n"
        "value=;not a comment\r\n"
        "[T]junk after the bracket\r\n"
        "t=4\r\n");
    EXPECT_EQ(Read("", "top"), "");
    EXPECT_EQ(Read("S", "top"), "");
    EXPECT_EQ(Read("S", "hidden"), "");
    EXPECT_EQ(Read("S", ";hidden"), "");
    EXPECT_EQ(Read("S", "also"), "");
    EXPECT_EQ(Read("S", "loose"), "");
    EXPECT_EQ(Read("S", "semi;colon"), "3");
    EXPECT_EQ(Read("S", "value"), ";not a comment");
    EXPECT_EQ(Read("T", "t"), "4");
    // A loose line is the key it names: writing it gives it a value in place.
    EXPECT_TRUE(Write("S", "LOOSE", "5"));
    EXPECT_EQ(Read("S", "loose"), "5");
    EXPECT_EQ(Get("t.ini"),
              "top=0\r\n[S]\r\n;hidden=1\r\n  ;also=2\r\nloose=5\r\nsemi;colon=3\r\n"
              "value=;not a comment\r\n[T]junk after the bracket\r\nt=4\r\n");
}

TEST_F(ProfileTest, SectionNamesEndAtTheFirstBracketOrTheLineEnd) {
    Put("t.ini", "[T   \r\nx=1\r\n[U]v]\r\ny=2\r\n[]\r\nz=3\r\n");
    EXPECT_EQ(Read("T", "x"), "1");
    EXPECT_EQ(Read("U", "y"), "2");
    EXPECT_EQ(Read("U]v", "y"), "");
    EXPECT_EQ(Read("", "z"), "3");
    EXPECT_TRUE(Write("u", "w", "4"));
    EXPECT_EQ(Get("t.ini"), "[T   \r\nx=1\r\n[U]v]\r\ny=2\r\nw=4\r\n[]\r\nz=3\r\n");
}

TEST_F(ProfileTest, OnlyTheFirstDuplicateSectionOrKeyCounts) {
    Put("t.ini", "[D]\r\nk=1\r\nk=2\r\n[d]\r\nk=3\r\nm=4\r\n");
    EXPECT_EQ(Read("D", "k"), "1");
    EXPECT_EQ(Read("D", "m"), "");
    EXPECT_TRUE(Write("D", "k", "9"));
    EXPECT_TRUE(Write("D", "m", "8"));
    EXPECT_EQ(Get("t.ini"), "[D]\r\nk=9\r\nk=2\r\nm=8\r\n[d]\r\nk=3\r\nm=4\r\n");
}

TEST_F(ProfileTest, ReadsStopAtTheBufferSize) {
    const std::string longValue(20000, 'x');
    ASSERT_TRUE(Write("L", "long", longValue));
    EXPECT_EQ(Read("L", "long"), std::string(store::kMaxProfileValueBytes, 'x'));
    ASSERT_TRUE(Write("L", "fits", std::string(10239, 'y')));
    EXPECT_EQ(Read("L", "fits"), std::string(10239, 'y'));
    // Double-byte text is cut at a character boundary, never inside a character.
    Text chinese;
    for (int i = 0; i < 10000; ++i) chinese += "汉";
    ASSERT_EQ(chinese.size(), 20000u);
    ASSERT_TRUE(Write("L", "chinese", chinese));
    EXPECT_EQ(Read("L", "chinese"), chinese.substr(0, 10238));
    // A zero byte ends the value as it ends a C string.
    Put("z.ini", std::string("[Z]\r\nz=ab\0cd\r\n", 14));
    EXPECT_EQ(Read("Z", "z", "z.ini"), "ab");
}

TEST_F(ProfileTest, DoubleByteNamesAreComparedByCharacter) {
    // 癩 is B0 5D: its trail byte is ']'. 癆 (B0 41) and 癮 (B0 61) differ only
    // in a trail byte that looks like the two cases of one ASCII letter.
    EXPECT_TRUE(Write("节癩", "键癆", "值一"));
    EXPECT_EQ(Get("t.ini"), Text("[节癩]\r\n键癆=值一\r\n"));
    EXPECT_EQ(Read("节癩", "键癆"), "值一");
    EXPECT_EQ(Read("节癩", "键癮"), "");
    EXPECT_TRUE(Write("节癩", "键癮", "值二"));
    EXPECT_EQ(Read("节癩", "键癆"), "值一");
    EXPECT_EQ(Read("节癩", "键癮"), "值二");
    EXPECT_EQ(Get("t.ini"), Text("[节癩]\r\n键癆=值一\r\n键癮=值二\r\n"));
    // ASCII folding still applies around double-byte characters.
    EXPECT_TRUE(Write("节癩", "Ab键", "三"));
    EXPECT_EQ(Read("节癩", "aB键"), "三");
}

TEST_F(ProfileTest, ChineseValuesRoundTrip) {
    const Text value = "中文内容，含“引号”与空格 和 ASCII";
    EXPECT_TRUE(Write("Config", "Number", value));
    EXPECT_EQ(Read("Config", "Number"), value);
    EXPECT_TRUE(Write("目录", "名称", "默认"));
    EXPECT_EQ(Read("目录", "名称"), "默认");
}

TEST_F(ProfileTest, AnUnreadableFileIsNeverWrittenOver) {
    // A folder where the file should be exists but cannot be read as a file.
    ASSERT_TRUE(files->CreateFolder(Path("dir.ini")));
    EXPECT_FALSE(Write("A", "a", "1", "dir.ini"));
    EXPECT_TRUE(files->Exists(Path("dir.ini")));
    EXPECT_EQ(Read("A", "a", "dir.ini"), "");
}

TEST_F(ProfileTest, AFailedWriteLeavesTheOldFile) {
    Put("t.ini", "[A]\r\na=1\r\n");
    files->beforeReplace = [](const Text&) { return false; };
    EXPECT_FALSE(Write("A", "a", "2"));
    files->beforeReplace = nullptr;
    EXPECT_EQ(Get("t.ini"), "[A]\r\na=1\r\n");
    EXPECT_EQ(Read("A", "a"), "1");
}

}  // namespace
