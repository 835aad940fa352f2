// What the file manager, the task bar and the title bars read from moxia.exe:
// its icon at every size and its version, read back through Windows itself.
#include <windows.h>
//
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "about/about_commands.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/win32_automated_desktop.h"
#include "platform/win32/win32_internal.h"

namespace testing_support {
namespace {

std::wstring MoxiaExePath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    path.erase(path.find_last_of(L'\\') + 1);
    for (const char c : std::string(MOXIA_EXE_FROM_TESTS)) path += c == '/' ? L'\\' : wchar_t(c);
    return path;
}

TEST(ProgramResources, ExeHoldsItsIconAtEverySize) {
    const std::wstring exe = MoxiaExePath();
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(MOXIA_RES_APP_ICON), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    // The icon directory: a count at byte 4, then 14-byte entries whose first
    // byte is the width (0 meaning 256).
    const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    std::vector<int> widths;
    for (int i = 0; i < *reinterpret_cast<const WORD*>(directory + 4); ++i) {
        const int width = directory[6 + 14 * i];
        widths.push_back(width == 0 ? 256 : width);
    }
    EXPECT_EQ(widths, (std::vector<int>{16, 20, 24, 32, 40, 48, 64, 256}));
    FreeLibrary(module);
    // What the file manager shows.
    EXPECT_EQ(ExtractIconExW(exe.c_str(), -1, nullptr, nullptr, 0), 1u);
}

TEST(ProgramResources, VersionNamesTheProductInChineseAndNeutralBlocks) {
    const std::wstring exe = MoxiaExePath();
    DWORD ignored = 0;
    std::vector<BYTE> data(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    UINT length = 0;
    auto query = [&](const std::wstring& key) -> void* {
        void* value = nullptr;
        return VerQueryValueW(data.data(), key.c_str(), &value, &length) ? value : nullptr;
    };

    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
    ASSERT_NE(fixed, nullptr);
    const DWORD ms = MAKELONG(2020, 2), ls = MAKELONG(24, 10);
    EXPECT_EQ(std::vector<DWORD>({fixed->dwFileVersionMS, fixed->dwFileVersionLS,
                                  fixed->dwProductVersionMS, fixed->dwProductVersionLS}),
              std::vector<DWORD>({ms, ls, ms, ls}));
    const auto* languages = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation"));
    ASSERT_EQ(length, 8u);
    EXPECT_EQ(std::vector<WORD>(languages, languages + 4),
              (std::vector<WORD>{0x0804, 1200, 0, 1200}));

    const std::wstring version = platform::win32::Wide(about::kProgramVersion);
    for (const std::wstring block : {L"080404B0", L"000004B0"}) {
        auto value = [&](const wchar_t* name) {
            const auto* chars =
                static_cast<const wchar_t*>(query(L"\\StringFileInfo\\" + block + L"\\" + name));
            return chars != nullptr ? std::wstring(chars) : L"(missing)";
        };
        EXPECT_EQ(value(L"ProductName"), L"\u58a8\u5323");  // 墨匣
        EXPECT_EQ(value(L"FileVersion"), version);
        EXPECT_EQ(value(L"ProductVersion"), version);
    }
}

// MainWindow and every dialog share one window class; its two icons are the
// ones in the title bar and on the task bar.
TEST(ProgramResources, WindowsShowTheProgramIcon) {
    platform::Win32AutomatedDesktop desktop;
    ui::WindowDef def;
    def.name = "IconWindow";
    def.width = 300;
    def.height = 200;
    auto window = desktop.CreateWindowFromDef(def, nullptr);
    HWND hwnd = static_cast<platform::win32::Win32Window&>(*window).Hwnd();
    const HICON stock = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    for (const int index : {GCLP_HICON, GCLP_HICONSM}) {
        const auto icon = reinterpret_cast<HICON>(GetClassLongPtrW(hwnd, index));
        EXPECT_NE(icon, nullptr) << index;
        EXPECT_NE(icon, stock) << index;
    }
}

}  // namespace
}  // namespace testing_support
