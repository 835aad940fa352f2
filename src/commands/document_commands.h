#pragma once
// The "文档" menu: directories and documents on disk.
#include "app/app.h"

namespace commands {

void NewDirectory(app::App& app);
void SaveDocument(app::App& app);
void SaveAsPlainFile(app::App& app);
void DeleteDocument(app::App& app);
void OpenDataFolder(app::App& app);
void ExitProgram(app::App& app);

// Messages for names and writes the file system cannot take.
inline constexpr const char* kInvalidNameMessage =
    "名称不能作为文件名：不能为空,不能是\".\"或\"..\",不能以空格或\".\"结尾,也不能含有 \\ / : * ? "
    "\" < > | 等字符！";
inline constexpr const char* kSaveFailedMessage = "保存失败：文档未能写入磁盘,原有文件保持不变！";
inline constexpr const char* kUnreadSourceMessage =
    "未保存：该文档打开时未能读取,保存会用空白内容覆盖原文件！\r\n"
    "请在其他程序释放它后重新打开,或换一个标题保存。";
inline constexpr const char* kCreateFolderFailedMessage = "新建目录失败：无法创建该文件夹！";
inline constexpr const char* kExportFailedMessage = "另存失败：文件未能写入！";
inline constexpr const char* kDeleteFailedMessage = "删除失败：文件未能删除！";

}  // namespace commands
