#include "about/about_commands.h"

#include "about/help_text.h"
#include "app/navigation.h"
#include "store/data_folder.h"
#include "store/settings.h"
#include "ui/windows/update_window.h"

namespace about {
namespace {

constexpr const char* kUnreachableMessage =
    "名称:墨匣\r\n无法连接版本服务器,请稍后再试!\r\n当前版本号：2.2020.10.24\r\n"
    "软件作者:砚池客!\r\n2020.10";
constexpr const char* kNoConnectionMessage =
    "名称:墨匣\r\n最新版本号：2.2020.10.24\r\n当前版本号：2.2020.10.24\r\n软件作者:砚池客!\r\n"
    "2020.10";

void ShowVersionMessage(app::App& app, const Text& message) {
    app.desktop().MessageBox(&app.main.Peer(), message, kVersionCaption);
}

void OpenUpdateWindow(app::App& app) {
    ui::UpdateWindow window;
    window.Create(app.desktop(), &app.main.Peer());
    // The button shows where it leads.
    window.按钮1.SetText(app.versionServer.HomePage());
    ui::UpdateWindow* w = &window;
    app::App* a = &app;
    window.按钮1.OnClick([a, w] {
        OpenHomePage(*a);
        w->Close();
    });
    app.desktop().RunModal(window.Peer(), &app.main.Peer());
}

}  // namespace

std::size_t FindStepping(std::string_view haystack, std::string_view needle) {
    if (needle.empty()) return std::string_view::npos;
    for (std::size_t i = 0; i < haystack.size(); i += text::CharLength(haystack, i)) {
        if (haystack.compare(i, needle.size(), needle) == 0) return i;
    }
    return std::string_view::npos;
}

void OpenHomePage(app::App& app) {
    app.platform.shell.Open(app.versionServer.HomePage());
}

void WriteHelpDocument(app::App& app) {
    platform::Files& files = app.files();
    const Text root = store::DataRoot(files);
    const Text folder = root + "\\Help";
    const Text path = folder + "\\帮助文档.txt";
    if (files.Exists(path)) {
        app::ShowMessage(app, "发现该目录存在同名文件!\r\n文档目录[Help]-[帮助文档]");
        return;
    }
    if (!files.Exists(root)) files.CreateFolder(root);
    files.CreateFolder(folder);  // may exist already
    if (!files.WriteFile(path, WelcomeHelpText())) {
        app::ShowMessage(app, kHelpWriteFailedMessage);
        return;
    }
    app.main.超级列表框1.Clear();
    app::ArmDirectoryRefresh(app);
    app::ShowMessage(app, "已将帮助文档保存到[Help]文档目录!\r\n无密文档需要在无密模式下查看!");
}

void CheckVersion(app::App& app) {
    platform::Files& files = app.files();
    const VersionServer& server = app.versionServer;
    store::WriteSetting(files, store::kConfigNumber, kProgramVersion);
    platform::Internet& internet = app.platform.internet;
    if (!internet.Probe(server.probeAddress, server.timeoutMilliseconds)) {
        ShowVersionMessage(app, kNoConnectionMessage);
        return;
    }
    // A page that could not be fetched at all is no news of a version.
    const std::optional<std::string> body =
        internet.HttpGet(server.VersionPage(), server.timeoutMilliseconds, server.maxPageBytes);
    if (!body) {
        ShowVersionMessage(app, kUnreachableMessage);
        return;
    }
    const Text page = text::BytesToText(*body);
    const Text current = store::ReadSetting(files, store::kConfigNumber);
    const std::size_t at = FindStepping(page, "2.2");
    const Text found = at == std::string_view::npos ? Text() : Text(page.substr(at, 12));
    const bool upToDate = FindStepping(page, current) != std::string_view::npos;
    const Text tail = "\r\n当前版本号：" + current + "\r\n软件作者:砚池客!\r\n2020.10";
    if (upToDate) {
        ShowVersionMessage(app, "名称:墨匣\r\n最新版本号：" + found + tail);
        return;
    }
    ShowVersionMessage(app, "名称:墨匣\r\n发现新版本：" + found + tail);
    OpenUpdateWindow(app);
}

}  // namespace about
