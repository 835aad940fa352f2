#include "about/about_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <functional>

#include "about/help_text.h"
#include "support/http_server.h"
#include "support/program_fixture.h"

namespace {

using testing_support::HttpServer;

const Text kHelpPath = "Default\\Help\\帮助文档.txt";
const Text kHelpSaved = "已将帮助文档保存到[Help]文档目录!\r\n无密文档需要在无密模式下查看!";
const Text kNoConnection =
    "名称:墨匣\r\n最新版本号：2.2020.10.24\r\n当前版本号：2.2020.10.24\r\n软件作者:砚池客!\r\n"
    "2020.10";

Text UpToDate(const Text& found) {
    return "名称:墨匣\r\n最新版本号：" + found +
           "\r\n当前版本号：2.2020.10.24\r\n软件作者:砚池客!\r\n2020.10";
}

Text NewerVersion(const Text& found) {
    return "名称:墨匣\r\n发现新版本：" + found +
           "\r\n当前版本号：2.2020.10.24\r\n软件作者:砚池客!\r\n2020.10";
}

class AboutTest : public testing_support::ProgramTest {
  protected:
    // Points the program at the test server: the probe asks for its root.
    void UseServer(HttpServer& server, int timeoutMilliseconds = 2000) {
        app().versionServer.host = "127.0.0.1";
        app().versionServer.port = server.port();
        app().versionServer.probeAddress = "http://127.0.0.1:" + DecimalText(server.port()) + "/";
        app().versionServer.timeoutMilliseconds = timeoutMilliseconds;
    }
    Text ServerHome(HttpServer& server) {
        return "http://127.0.0.1:" + DecimalText(server.port()) + "/";
    }
    // Runs "版本"; true when UpdateWindow opened. With press, its button is
    // clicked, otherwise it is closed by its close box.
    bool CheckVersion(bool press = false) {
        bool updateWindow = false;
        automation().OnNextModal([&](ui::WindowPeer& window) {
            updateWindow = window.Definition().name == "UpdateWindow";
            updateButton_ = window.Control("按钮1").GetText();
            if (press) {
                automation().Click(window.Control("按钮1"));
                EXPECT_FALSE(window.IsOpen());
            } else {
                window.Close();
            }
        });
        Choose("版本");
        return updateWindow;
    }
    std::vector<ui::MessageRecord> Messages() { return automation().Messages(); }
    Text updateButton_;
};

TEST(AboutSearch, StepsOverDoubleByteCharactersAndNeverFindsAnEmptyText) {
    EXPECT_EQ(about::FindStepping("ab2.2", "2.2"), 2u);
    EXPECT_EQ(about::FindStepping("版本2.2020.10.24", "2.2020.10.24"), 4u);
    // A four-byte character ending in "2": a byte-wise search would match its
    // last byte.
    EXPECT_EQ(about::FindStepping("\x81\x30\x81\x32.2020.10.24", "2.2"), std::string::npos);
    EXPECT_EQ(about::FindStepping("\x81\x30\x81\x32"
                                  "2.2",
                                  "2.2"),
              4u);
    EXPECT_EQ(about::FindStepping("2.2", ""), std::string::npos);
    EXPECT_EQ(about::FindStepping("", "2.2"), std::string::npos);
}

TEST_F(AboutTest, HomePageOpensTheServerRoot) {
    StartProgram();
    Choose("软件主页");
    ASSERT_EQ(shell_.opened.size(), 1u);
    EXPECT_EQ(shell_.opened[0], "http://" + Text(about::kServerHost) + ":8064/");
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(AboutTest, HelpWritesTheDocumentOnceAndListsTheHelpDirectory) {
    StartProgram();
    Choose("帮助");
    EXPECT_EQ(ReadFile(kHelpPath), std::optional<std::string>(about::WelcomeHelpText()));
    EXPECT_EQ(LastMessage(), kHelpSaved);
    EXPECT_EQ(Messages().back().caption, "信息：");
    Tick();
    const std::vector<Text> directories = Items(main().超级列表框1);
    EXPECT_NE(std::find(directories.begin(), directories.end(), "Help"), directories.end());

    // The user's own edits survive a second "帮助".
    WriteFile(kHelpPath, "my notes");
    Choose("帮助");
    EXPECT_EQ(LastMessage(), "发现该目录存在同名文件!\r\n文档目录[Help]-[帮助文档]");
    EXPECT_EQ(ReadFile(kHelpPath), std::optional<std::string>("my notes"));
}

TEST_F(AboutTest, HelpDocumentListedOnlyInPlainMode) {
    StartProgram();
    Choose("帮助");
    Tick();
    OpenDirectoryNamed("Help");
    EXPECT_EQ(Items(main().列表框1), std::vector<Text>{"帮助文档"});
}

TEST_F(AboutTest, HelpDocumentHiddenInPasswordMode) {
    StartProgram();
    SetSetting("Start", "Num1", "1");
    app().state.SessionKey = "key";
    Choose("帮助");
    Tick();
    EXPECT_TRUE(Exists(kHelpPath));
    OpenDirectoryNamed("Help");
    EXPECT_TRUE(Items(main().列表框1).empty());
}

TEST_F(AboutTest, HelpWriteThatFailsSaysSoInsteadOfSuccess) {
    StartProgram();
    // A file where the Help folder should be: no folder, no document.
    WriteFile("Default\\Help", "in the way");
    Choose("帮助");
    EXPECT_FALSE(Exists(kHelpPath));
    EXPECT_EQ(LastMessage(), about::kHelpWriteFailedMessage);
    for (const Text& message : MessageTexts()) EXPECT_NE(message, kHelpSaved);
}

TEST_F(AboutTest, NewerVersionOpensUpdateWindowWhoseButtonOpensTheHomePage) {
    HttpServer server;
    server.Serve("/ver/ver.html", "<html><body>最新版本 2.2021.01.01</body></html>");
    StartProgram();
    UseServer(server);
    EXPECT_TRUE(CheckVersion(/*press=*/true));
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back().message, NewerVersion("2.2021.01.01"));
    EXPECT_EQ(Messages().back().caption, "版本信息:");
    EXPECT_EQ(shell_.opened, std::vector<Text>{ServerHome(server)});
    EXPECT_EQ(updateButton_, ServerHome(server));
    EXPECT_EQ(Setting("Config", "Number"), "2.2020.10.24");

    // The page was asked for as the server expects it.
    bool sawPage = false;
    for (const std::string& request : server.Requests()) {
        if (request.rfind("GET /ver/ver.html HTTP/1.0\r\n", 0) != 0) continue;
        sawPage = true;
        EXPECT_NE(request.find("Accept: */*"), std::string::npos) << request;
    }
    EXPECT_TRUE(sawPage);
}

TEST_F(AboutTest, PageHoldingTheProgramVersionIsUpToDateWithTheFirstVersionShown) {
    HttpServer server;
    server.Serve("/ver/ver.html", "old 2.2019.05.01, current 2.2020.10.24");
    StartProgram();
    UseServer(server);
    EXPECT_FALSE(CheckVersion());
    EXPECT_EQ(LastMessage(), UpToDate("2.2019.05.01"));
    EXPECT_EQ(Messages().back().caption, "版本信息:");
    EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(AboutTest, TextAfterAZeroByteIsNotPartOfThePage) {
    HttpServer server;
    server.Serve("/ver/ver.html", std::string("2.2021.01.01\0 2.2020.10.24", 26));
    StartProgram();
    UseServer(server);
    EXPECT_TRUE(CheckVersion());
    EXPECT_EQ(LastMessage(), NewerVersion("2.2021.01.01"));
}

TEST_F(AboutTest, EmptyPageReportsANewVersionWithoutNumber) {
    HttpServer server;
    server.Serve("/ver/ver.html", "");
    StartProgram();
    UseServer(server);
    EXPECT_TRUE(CheckVersion());
    EXPECT_EQ(LastMessage(), NewerVersion(""));
}

TEST_F(AboutTest, NoServerGivesTheOfflineMessageAndStillRecordsTheVersion) {
    int closedPort = 0;
    {
        HttpServer gone;
        closedPort = gone.port();
    }
    StartProgram();
    app().versionServer.host = "127.0.0.1";
    app().versionServer.port = closedPort;
    app().versionServer.probeAddress = "http://127.0.0.1:" + DecimalText(closedPort) + "/";
    EXPECT_FALSE(CheckVersion());
    EXPECT_EQ(LastMessage(), kNoConnection);
    EXPECT_EQ(Messages().back().caption, "版本信息:");
    EXPECT_EQ(Setting("Config", "Number"), "2.2020.10.24");
}

TEST_F(AboutTest, SilentServerTimesOutInsteadOfFreezingTheWindow) {
    HttpServer server;
    server.StaySilentOn("/");
    StartProgram();
    UseServer(server, 400);
    const std::time_t start = std::time(nullptr);
    EXPECT_FALSE(CheckVersion());
    const std::time_t elapsed = std::time(nullptr) - start;
    EXPECT_EQ(LastMessage(), kNoConnection);
    EXPECT_LE(elapsed, 4);
}

TEST_F(AboutTest, VersionPageThatCannotBeFetchedSaysSoAndOpensNoUpdateWindow) {
    int closedPort = 0;
    {
        HttpServer gone;
        closedPort = gone.port();
    }
    struct Case {
        const char* what;
        std::function<void(HttpServer&)> serve;
        bool closedPort;  // the version page's port, while the probe answers
    };
    const Case cases[] = {
        {"nobody listens", [](HttpServer&) {}, true},
        {"accepts, never answers", [](HttpServer& s) { s.StaySilentOn("/ver/ver.html"); }, false},
        {"a body that never ends in time",
         [](HttpServer& s) { s.StreamOn("/ver/ver.html", "2", 50); }, false},
    };
    StartProgram();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HttpServer server;
        c.serve(server);
        UseServer(server, 600);
        if (c.closedPort) app().versionServer.port = closedPort;
        const std::time_t start = std::time(nullptr);
        EXPECT_FALSE(CheckVersion());
        EXPECT_LE(std::time(nullptr) - start, 4);
        EXPECT_EQ(LastMessage(),
                  "名称:墨匣\r\n无法连接版本服务器,请稍后再试!\r\n当前版本号：2.2020.10.24\r\n"
                  "软件作者:砚池客!\r\n2020.10");
        EXPECT_EQ(Messages().back().caption, "版本信息:");
        EXPECT_EQ(Setting("Config", "Number"), "2.2020.10.24");
    }
}

TEST_F(AboutTest, OnlyTheFirst64KiBOfThePageAreRead) {
    const std::string filler(64 * 1024 - 12, 'x');
    struct Case {
        std::string page;
        Text message;
        bool updateWindow;
    };
    const Case cases[] = {
        {filler + "2.2020.10.24", UpToDate("2.2020.10.24"), false},     // ends at the cap
        {filler + "xxxxxx2.2020.10.24", NewerVersion("2.2020"), true},  // cut by the cap
        {filler + std::string(12, 'x') + "2.2020.10.24", NewerVersion(""), true},
    };
    StartProgram();
    for (const Case& c : cases) {
        HttpServer server;
        server.Serve("/ver/ver.html", c.page);
        UseServer(server);
        EXPECT_EQ(CheckVersion(), c.updateWindow);
        EXPECT_EQ(LastMessage(), c.message);
    }
    // A page without end is cut there too, at once rather than at the time-out.
    HttpServer endless;
    endless.StreamOn("/ver/ver.html", std::string(4096, 'x'), 0);
    UseServer(endless, 20000);
    const std::time_t start = std::time(nullptr);
    EXPECT_TRUE(CheckVersion());
    EXPECT_LE(std::time(nullptr) - start, 5);
    EXPECT_EQ(LastMessage(), NewerVersion(""));
}

}  // namespace
