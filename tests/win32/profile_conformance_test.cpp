// The program's profile reader and writer against the Windows profile
// functions: the same reads and writes go to two files in one folder, one
// through GetPrivateProfileStringA / WritePrivateProfileStringA, the other
// through store::ReadProfileKey / store::WriteProfileKey, and every read and
// the final bytes must agree.
//
// Under Wine the profile functions parse the whole file into a tree and write
// the tree back, where Windows edits the file text in place (Wine's own test
// that bytes before the first section survive a write is marked todo_wine).
// So under Wine a write drops blank lines, respaces untouched lines and strips
// the blanks of a written value, which Windows writes as given. Wine also
// finds a comment line ";k=v" as a key named ";k", ends a section name at the
// last ']' instead of the first, and does not take a line "[name" without ']'
// as a section header. Cases that touch these compare the reads only, or the
// bytes with blank lines removed, and say so; the headers are not compared.
//
// Wine keeps parsed profile files in a cache keyed by path, so every case
// uses file names of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "store/profile.h"
#include "store/settings.h"
#include "support/temp_folder.h"

namespace {

struct IniPair {
    Text ours;
    Text theirs;
};

std::string DropBlankLines(const std::string& bytes) {
    std::string out;
    std::size_t begin = 0;
    while (begin < bytes.size()) {
        std::size_t end = bytes.find('\n', begin);
        end = end == std::string::npos ? bytes.size() : end + 1;
        const std::string line = bytes.substr(begin, end - begin);
        if (line.find_first_not_of(" \t\r\n") != std::string::npos) out += line;
        begin = end;
    }
    return out;
}

class ProfileConformance : public ::testing::Test {
  protected:
    IniPair Pair(const std::string& name) {
        const Text folder = files->ProgramFolder();
        return {folder + "\\ours-" + name + ".ini", folder + "\\win-" + name + ".ini"};
    }

    void Start(const IniPair& ini, const std::string& bytes) {
        ASSERT_TRUE(files->WriteFile(ini.ours, bytes));
        ASSERT_TRUE(files->WriteFile(ini.theirs, bytes));
    }

    void Write(const IniPair& ini, const Text& section, const Text& key, const Text& value) {
        const BOOL theirs = WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                                       ini.theirs.c_str());
        const bool ours = store::WriteProfileKey(*files, ini.ours, section, key, value);
        EXPECT_TRUE(theirs) << section << "/" << key;
        EXPECT_EQ(ours, theirs != FALSE) << section << "/" << key;
    }

    Text ReadTheirs(const IniPair& ini, const Text& section, const Text& key) {
        // Drop Wine's cached copy so the read sees the file as it is on disk.
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.theirs.c_str());
        std::string buffer(10240, '\0');
        const DWORD n =
            GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(),
                                     static_cast<DWORD>(buffer.size()), ini.theirs.c_str());
        buffer.resize(n);
        return Text(buffer);
    }

    // Reads the key both ways; the two must agree. Returns the value.
    Text ExpectSameRead(const IniPair& ini, const Text& section, const Text& key) {
        const Text theirs = ReadTheirs(ini, section, key);
        const Text ours = store::ReadProfileKey(*files, ini.ours, section, key);
        EXPECT_EQ(ours, theirs) << "reading " << section << "/" << key;
        return ours;
    }

    std::string Bytes(const Text& path) { return files->ReadFile(path).value_or("<none>"); }

    void ExpectSameBytes(const IniPair& ini) { EXPECT_EQ(Bytes(ini.ours), Bytes(ini.theirs)); }

    testing_support::TempFolder folder;
    std::unique_ptr<platform::Files> files = testing_support::MakeFiles(folder);
};

TEST_F(ProfileConformance, NewFileSectionsKeysAndReplaceInPlace) {
    const IniPair ini = Pair("new");
    ExpectSameRead(ini, "App1", "key1");  // no file yet
    Write(ini, "App1", "key1", "string1");
    ExpectSameBytes(ini);
    Write(ini, "App1", "key2", "string2");
    Write(ini, "App2", "key3", "string3");
    Write(ini, "App3", "key5", "string5");
    Write(ini, "App2", "key4", "string4");  // new key in an existing middle section
    Write(ini, "App1", "key1", "changed");  // replace in place, first section
    Write(ini, "App2", "key3", "");         // replace with the empty value
    Write(ini, "App3", "key5", "string5");  // the same value again
    for (const char* key : {"key1", "key2", "key3", "key4", "key5", "missing"})
        for (const char* section : {"App1", "App2", "App3", "App4"})
            ExpectSameRead(ini, section, key);
    EXPECT_EQ(ExpectSameRead(ini, "App1", "key1"), "changed");
    ExpectSameBytes(ini);
    EXPECT_EQ(Bytes(ini.ours),
              "[App1]\r\nkey1=changed\r\nkey2=string2\r\n[App2]\r\nkey3=\r\nkey4=string4\r\n"
              "[App3]\r\nkey5=string5\r\n");
}

TEST_F(ProfileConformance, NamesDifferingInCase) {
    const IniPair ini = Pair("case");
    Write(ini, "Start", "Num", "0");
    Write(ini, "START", "NUM", "1");
    Write(ini, "start", "Num1", "0");
    Write(ini, "wh", "Whith", "900");
    Write(ini, "WH", "WHITH", "800");
    Write(ini, "Wh", "height", "600");
    for (const char* section : {"Start", "START", "start", "WH", "wh"})
        for (const char* key : {"Num", "num", "NUM1", "Whith", "whith", "HEIGHT"})
            ExpectSameRead(ini, section, key);
    ExpectSameBytes(ini);
}

TEST_F(ProfileConformance, BlanksAroundNamesAndValues) {
    const IniPair ini = Pair("blanks");
    Start(ini, "[ Sec ]\r\n  key  =  value  \r\n\tk2\t=\tv2 with  inner\t\r\nk3=   \r\n");
    for (const char* section : {"Sec", " Sec ", "SEC"})
        for (const char* key : {"key", "  key  ", "k2", "k3", "K2"})
            ExpectSameRead(ini, section, key);
    // Written names and values with blanks: the reads agree; the bytes differ
    // under Wine (see the top of this file), so they are not compared.
    Write(ini, "  New  ", "  k  ", "  spaced value  ");
    Write(ini, "Sec", " key ", " replaced ");
    ExpectSameRead(ini, "New", "k");
    ExpectSameRead(ini, "  New  ", "  k  ");
    EXPECT_EQ(ExpectSameRead(ini, "Sec", "key"), "replaced");
    EXPECT_NE(Bytes(ini.ours).find("[New]\r\nk=  spaced value  \r\n"), std::string::npos);
}

TEST_F(ProfileConformance, QuotedValues) {
    const IniPair ini = Pair("quotes");
    Start(ini,
          "[Q]\r\n"
          "double=\"  two words  \"\r\n"
          "single='one'\r\n"
          "mixed=\"a'\r\n"
          "lone=\"\r\n"
          "empty=\"\"\r\n"
          "inner=x\"y\"\r\n"
          "nested='\"n\"'\r\n"
          "outer=  \"o\"  \r\n");
    for (const char* key :
         {"double", "single", "mixed", "lone", "empty", "inner", "nested", "outer"})
        ExpectSameRead(ini, "Q", key);
    EXPECT_EQ(ExpectSameRead(ini, "Q", "double"), "  two words  ");
    Write(ini, "Q", "written", "\"quoted\"");
    EXPECT_EQ(ExpectSameRead(ini, "Q", "written"), "quoted");
}

TEST_F(ProfileConformance, KeyLinesWithoutEquals) {
    const IniPair ini = Pair("noequals");
    Start(ini, "[s]\r\nname1=val1\r\nname3\r\nname4=val4\r\n");
    for (const char* key : {"name1", "name3", "name4"}) ExpectSameRead(ini, "s", key);
    Write(ini, "s", "NAME3", "filled");
    Write(ini, "s", "name5", "new");
    for (const char* key : {"name1", "name3", "name4", "name5"}) ExpectSameRead(ini, "s", key);
    ExpectSameBytes(ini);
}

TEST_F(ProfileConformance, CommentsBlankLinesAndAMissingFinalLineEnd) {
    const IniPair ini = Pair("comments");
    Start(ini,
          "; head comment\r\n"
          "\r\n"
          "[One]\r\n"
          "; about a\r\n"
          "a=1\r\n"
          "\r\n"
          "[Two]\r\n"
          ";b=hidden\r\n"
          "b=2\r\n"
          "\r\n"
          "[Three]\r\n"
          "c=3");
    // Not ";b": Wine finds a comment line as a key named ";b", Windows does not.
    for (const char* key : {"a", "b", "c", "; about a"})
        for (const char* section : {"One", "Two", "Three"}) ExpectSameRead(ini, section, key);
    Write(ini, "One", "a", "10");
    Write(ini, "One", "added", "n");
    Write(ini, "Two", "b2", "x");
    Write(ini, "Four", "d", "4");
    Write(ini, "Three", "c", "30");
    for (const char* key : {"a", "added", "b", "b2", "c", "d"})
        for (const char* section : {"One", "Two", "Three", "Four"})
            ExpectSameRead(ini, section, key);
    // Windows keeps the blank lines; Wine drops them (see the top of this file).
    EXPECT_EQ(Bytes(ini.ours),
              "; head comment\r\n\r\n[One]\r\n; about a\r\na=10\r\nadded=n\r\n\r\n"
              "[Two]\r\n;b=hidden\r\nb=2\r\nb2=x\r\n\r\n[Three]\r\nc=30\r\n[Four]\r\nd=4\r\n");
    EXPECT_EQ(DropBlankLines(Bytes(ini.ours)), DropBlankLines(Bytes(ini.theirs)));
}

TEST_F(ProfileConformance, FirstRunSequence) {
    const IniPair fresh = Pair("firstrun");
    const IniPair again = Pair("reinit");
    Start(again, "[Start]\r\nNum1=1\r\n");
    for (const IniPair& ini : {fresh, again}) {
        for (const store::FirstRunValue& entry : store::kFirstRunValues)
            Write(ini, Text(entry.key.section), Text(entry.key.key), Text(entry.value));
        for (const store::FirstRunValue& entry : store::kFirstRunValues)
            EXPECT_EQ(ExpectSameRead(ini, Text(entry.key.section), Text(entry.key.key)),
                      Text(entry.value));
        Write(ini, "Start", "Num", "1");
        Write(ini, "Config", "Number", "2.2020.10.24");
        Write(ini, "WH", "Whith", "1024");
        ExpectSameRead(ini, "Start", "Num");
        ExpectSameRead(ini, "Config", "Number");
        ExpectSameBytes(ini);
    }
}

TEST_F(ProfileConformance, ReadsStopAtTheBufferSize) {
    const IniPair ini = Pair("long");
    Write(ini, "L", "long", std::string(20000, 'x'));
    Write(ini, "L", "fits", std::string(10239, 'y'));
    EXPECT_EQ(ExpectSameRead(ini, "L", "long").size(), 10239u);
    EXPECT_EQ(ExpectSameRead(ini, "L", "fits").size(), 10239u);
    ExpectSameBytes(ini);
}

TEST_F(ProfileConformance, DoubleByteNamesAndValues) {
    if (GetACP() != 936) GTEST_SKIP() << "needs the GBK ANSI code page, have " << GetACP();
    const IniPair ini = Pair("gbk");
    // 癩 ends in the byte of ']'; 癆 and 癮 differ only in a trail byte that
    // looks like the two cases of one ASCII letter.
    Write(ini, "节癩", "键癆", "值一");
    Write(ini, "节癩", "键癮", "值二");
    Write(ini, "字体", "名称", "微软雅黑");
    Write(ini, "节癩", "Ab键", "三");
    Write(ini, "节癩", "aB键", "四");
    for (const char* key : {"键癆", "键癮", "名称", "AB键"})
        for (const char* section : {"节癩", "字体"}) ExpectSameRead(ini, section, key);
    EXPECT_EQ(ExpectSameRead(ini, "节癩", "键癮"), "值二");
    ExpectSameBytes(ini);
}

}  // namespace
