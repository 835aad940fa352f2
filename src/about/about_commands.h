#pragma once
// The "关于" menu: home page, help document, version check.
#include "app/app.h"

namespace about {

inline constexpr const char* kProgramVersion = "2.2020.10.24";
inline constexpr const char* kVersionCaption = "版本信息:";
inline constexpr const char* kHelpWriteFailedMessage = "帮助文档保存失败：文件未能写入磁盘！";

void OpenHomePage(app::App& app);
void WriteHelpDocument(app::App& app);
void CheckVersion(app::App& app);

// The first occurrence of `needle` in `haystack`, stepping over double-byte
// characters as wholes; npos when absent (an empty needle is never found).
std::size_t FindStepping(std::string_view haystack, std::string_view needle);

}  // namespace about
