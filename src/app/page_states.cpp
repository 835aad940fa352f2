#include "app/page_states.h"

#include <initializer_list>
#include <iterator>
#include <string_view>

namespace app {
namespace {

// One row per group of items; one cell per column in the order of
// PageColumn: '1' enable, '0' disable, '-' leave as it is.
struct MenuRow {
    std::initializer_list<const char*> captions;
    std::string_view cells;
};

const MenuRow kMenuRows[] = {
    {{"新建文档目录"}, "101000000"},
    {{"新建文档文件", "新建文档"}, "010111011"},
    {{"保存当前文档", "另存为无密文件", "返回文档列表", "返回列表"}, "000001110"},
    {{"删除当前文档"}, "000001010"},
    {{"返回文档目录", "返回目录"}, "010111111"},
    {{"查找替换"}, "0-00-1110"},
    {{"撤销", "剪切", "复制", "粘贴", "全选", "取消全选"}, "--00-1110"},
    {{"自定义文档目录图标"}, "-01-0----"},
};

// Columns in the order of ProtectionColumn.
const MenuRow kProtectionRows[] = {
    {{"设置密码"}, "--0001"},
    {{"清除密码"}, "-0-010"},
    {{"有密打包备份", "复原有密备份", "为其他文件加密", "为其他文件解密"}, "10--10"},
};

template <std::size_t N>
void ApplyMenuColumn(App& app, const MenuRow (&rows)[N], std::size_t index) {
    for (const MenuRow& row : rows) {
        const char cell = row.cells[index];
        if (cell == '-') continue;
        for (const char* caption : row.captions) app.main.menu[caption].SetEnabled(cell == '1');
    }
}

// Controls: 'S' show, 'H' hide, '-' leave.
void SetVisible(const ui::ControlHandle& control, char cell) {
    if (cell == 'S') control.Show();
    if (cell == 'H') control.Hide();
}

// The "标题:" label lies over the left end of the title box; while it shows,
// the title's text starts after it.
void FitTitleBoxToLabel(App& app) {
    ui::MainWindow& w = app.main;
    const int indent =
        w.标签2.IsVisible() ? w.标签2.Left() + w.标签2.Width() - w.编辑框2.Left() : 0;
    w.编辑框2.SetTextIndent(indent);
}

}  // namespace

void ApplyPageColumn(App& app, PageColumn column) {
    const auto index = static_cast<std::size_t>(column);
    ApplyMenuColumn(app, kMenuRows, index);

    ui::MainWindow& w = app.main;
    const struct {
        const ui::ControlHandle& control;
        std::string_view cells;
    } controls[] = {
        {w.超级编辑框1, "HHHHHSS--"}, {w.编辑框2, "HHHHHSS--"}, {w.标签1, "SSSSSHH--"},
        {w.标签2, "HHHHHHS--"},       {w.列表框1, "HSHSSHH--"}, {w.超级列表框1, "SHSHHHH--"},
        {w.进度条1, "H--------"},     {w.按钮1, "HSH------"},   {w.按钮2, "HSH------"},
        {w.按钮3, "HSH------"},
    };
    for (const auto& row : controls) SetVisible(row.control, row.cells[index]);
    FitTitleBoxToLabel(app);

    // The keyboard goes with the page: a hidden control keeps no focus.
    // Start-up focuses once the window is shown; a save stays where it is.
    const ui::ControlHandle* focus[] = {nullptr,    &w.列表框1, &w.超级列表框1,
                                        &w.列表框1, &w.列表框1, &w.超级编辑框1,
                                        &w.编辑框2, nullptr,    &w.列表框1};
    static_assert(std::size(focus) == static_cast<std::size_t>(PageColumn::AfterDelete) + 1);
    if (focus[index] != nullptr) focus[index]->Focus();
}

void ApplyProtectionColumn(App& app, ProtectionColumn column) {
    ApplyMenuColumn(app, kProtectionRows, static_cast<std::size_t>(column));
}

void ShowDirectoryView(App& app) {
    ui::MainWindow& w = app.main;
    w.超级编辑框1.Hide();
    w.编辑框2.Hide();
    w.标签1.Show();
    w.标签2.Hide();
    w.列表框1.Hide();
    w.超级列表框1.Show();
    FitTitleBoxToLabel(app);
    w.超级列表框1.Focus();
}

void ShowListView(App& app) {
    ui::MainWindow& w = app.main;
    w.超级编辑框1.Hide();
    w.编辑框2.Hide();
    w.标签1.Show();
    w.标签2.Hide();
    w.列表框1.Show();
    w.超级列表框1.Hide();
    FitTitleBoxToLabel(app);
    w.列表框1.Focus();
}

}  // namespace app
