#include "commands/title_search.h"

#include "app/page_states.h"
#include "text/text.h"
#include "ui/windows/title_search_window.h"

namespace commands {
namespace {

void Search(app::App& app, ui::TitleSearchWindow& window) {
    ui::MainWindow& w = app.main;
    const Text part = window.编辑框1.GetText();
    if (part.empty()) {
        window.编辑框1.Focus();
        window.标签1.SetText("输入文字后搜索。");
        return;
    }
    w.列表框1.Clear();
    const store::Mode mode = app::CurrentMode(app);
    std::vector<Text> found;
    for (Text& title : store::ListDocuments(app.files(), app.state.CurrentDirectory, mode)) {
        if (TitleContains(title, part)) found.push_back(std::move(title));
    }
    w.列表框1.AddItems(found);  // the list keeps itself sorted
    const int count = static_cast<int>(found.size());
    w.标签1.SetText("找到标题中含有'" + part + "'的 " + std::to_string(count) +
                    (mode == store::Mode::Password ? " 份文档_已加密!" : " 份文档_未加密!"));
    // The page and menu the "搜索" button leaves, whatever page it came from.
    app::ApplyPageColumn(app, app::PageColumn::SearchButton);
    app.state.CurrentPage = app::Page::DocumentList;
    w.按钮1.Enable();
    w.Focus();
    w.列表框1.Focus();
    window.Close();
}

}  // namespace

bool TitleContains(std::string_view title, std::string_view part) {
    if (part.empty()) return true;
    for (std::size_t i = 0; i < title.size(); i += text::CharLength(title, i)) {
        if (title.substr(i, part.size()) == part) return true;
    }
    return false;
}

void OpenTitleSearch(app::App& app) {
    ui::TitleSearchWindow window;
    window.Create(app.desktop(), &app.main.Peer());
    ui::TitleSearchWindow* w = &window;
    app::App* a = &app;
    window.按钮1.OnClick([a, w] { Search(*a, *w); });
    window.编辑框1.Focus();
    app.desktop().RunModal(window.Peer(), &app.main.Peer());
}

}  // namespace commands
