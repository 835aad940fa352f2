#pragma once
// The "编辑" menu: clipboard and selection commands on the content editor.
#include "app/app.h"

namespace commands {

// Binds "撤销", "剪切", "复制", "粘贴", "全选", "取消全选" and "查找替换".
void BindEditMenu(app::App& app);

}  // namespace commands
