// What the file manager and the task bar read from moxia.exe: its icon at
// every size and its version, read back through the Windows functions that
// show them; and the icon in the title bars of the program's windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "about/about_commands.h"
#include "platform/win32/resource_ids.h"
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

// The colour pixels of an icon, drawn onto black at its own size.
std::vector<DWORD> Pixels(HICON icon, int size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
    const auto* first = static_cast<const DWORD*>(bits);
    std::vector<DWORD> pixels(first, first + size * size);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

// The frame of the program icon drawn for exactly this size, as Windows
// decodes it from the module's icon directory.
HICON IconFrame(HMODULE module, int size) {
    auto load = [module](const wchar_t* name, const wchar_t* type) -> BYTE* {
        HRSRC found = FindResourceW(module, name, type);
        if (found == nullptr) return nullptr;
        return static_cast<BYTE*>(LockResource(LoadResource(module, found)));
    };
    BYTE* directory = load(MAKEINTRESOURCEW(MOXIA_RES_APP_ICON), RT_GROUP_ICON);
    if (directory == nullptr) return nullptr;
    const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    HRSRC frame = FindResourceW(module, MAKEINTRESOURCEW(id), RT_ICON);
    BYTE* bytes = load(MAKEINTRESOURCEW(id), RT_ICON);
    if (bytes == nullptr) return nullptr;
    return CreateIconFromResourceEx(bytes, SizeofResource(module, frame), TRUE, 0x00030000, size,
                                    size, LR_DEFAULTCOLOR);
}

// Same drawing, and a drawing at all: two icons that fail to draw match too.
void ExpectSameIcon(HICON icon, HICON expected, int size) {
    const std::vector<DWORD> drawn = Pixels(expected, size);
    EXPECT_NE(drawn, std::vector<DWORD>(drawn.size())) << size << " px draws nothing";
    EXPECT_EQ(Pixels(icon, size), drawn) << size << " px";
}

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

TEST(ProgramResources, ExeHoldsItsIconAtEverySizeAndShowsItFirst) {
    const std::wstring exe = MoxiaExePath();
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << "cannot open " << text::ToUtf8(platform::win32::FromWide(exe));
    for (const int size : {16, 20, 24, 32, 40, 48, 64, 256}) {
        HICON icon = IconFrame(module, size);
        ASSERT_NE(icon, nullptr) << size;
        EXPECT_EQ(IconWidth(icon), size) << "no frame of its own for " << size << " px";
        DestroyIcon(icon);
    }

    // What the file manager shows is the first icon group of the file.
    HICON shown = nullptr;
    ASSERT_EQ(PrivateExtractIconsW(exe.c_str(), 0, 32, 32, &shown, nullptr, 1, 0), 1u);
    HICON ours = IconFrame(module, 32);
    ExpectSameIcon(shown, ours, 32);
    DestroyIcon(ours);
    DestroyIcon(shown);
    FreeLibrary(module);
}

TEST(ProgramResources, VersionNamesTheProductInChineseAndNeutralBlocks) {
    const std::wstring exe = MoxiaExePath();
    DWORD ignored = 0;
    std::vector<BYTE> data(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    auto query = [&data](const std::wstring& key, UINT& length) -> void* {
        void* value = nullptr;
        length = 0;
        if (!VerQueryValueW(data.data(), key.c_str(), &value, &length)) return nullptr;
        return value;
    };

    UINT length = 0;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\", length));
    ASSERT_NE(fixed, nullptr);
    for (const DWORD ms : {fixed->dwFileVersionMS, fixed->dwProductVersionMS}) {
        EXPECT_EQ(ms, static_cast<DWORD>(MAKELONG(2020, 2)));
    }
    for (const DWORD ls : {fixed->dwFileVersionLS, fixed->dwProductVersionLS}) {
        EXPECT_EQ(ls, static_cast<DWORD>(MAKELONG(24, 10)));
    }

    const auto* languages = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation", length));
    ASSERT_EQ(length, 8u);
    EXPECT_EQ(std::vector<WORD>(languages, languages + 4),
              (std::vector<WORD>{0x0804, 1200, 0, 1200}));

    const std::wstring version = platform::win32::Wide(about::kProgramVersion);
    for (const std::wstring block : {L"080404B0", L"000004B0"}) {
        auto value = [&](const wchar_t* name) {
            const auto* chars = static_cast<const wchar_t*>(
                query(L"\\StringFileInfo\\" + block + L"\\" + name, length));
            return chars != nullptr ? std::wstring(chars) : std::wstring(L"(missing)");
        };
        EXPECT_EQ(value(L"ProductName"), L"\u58a8\u5323");  // 墨匣
        EXPECT_EQ(value(L"FileVersion"), version);
        EXPECT_EQ(value(L"ProductVersion"), version);
        EXPECT_EQ(value(L"OriginalFilename"), L"moxia.exe");
    }
}

// The title bar and the task bar take the small and the large class icon;
// each must be the frame drawn for that size, not the stock program icon.
TEST(ProgramResources, WindowsCarryTheProgramIconAtTheSystemSizes) {
    platform::Win32Desktop desktop(true);
    ui::WindowDef def;
    def.name = "IconWindow";
    def.caption = "墨匣";
    def.width = 300;
    def.height = 200;
    auto window = desktop.CreateWindowFromDef(def, nullptr);
    HWND hwnd = static_cast<platform::win32::Win32Window&>(*window).Hwnd();
    HMODULE self = GetModuleHandleW(nullptr);  // links the same resources as moxia.exe

    const struct {
        int index;
        int size;
    } icons[] = {{GCLP_HICONSM, GetSystemMetrics(SM_CXSMICON)},
                 {GCLP_HICON, GetSystemMetrics(SM_CXICON)}};
    for (const auto& [index, size] : icons) {
        auto icon = reinterpret_cast<HICON>(GetClassLongPtrW(hwnd, index));
        ASSERT_NE(icon, nullptr) << size;
        HICON frame = IconFrame(self, size);
        ASSERT_NE(frame, nullptr) << size;
        EXPECT_EQ(IconWidth(icon), size);
        ExpectSameIcon(icon, frame, size);
        DestroyIcon(frame);
    }
}

}  // namespace
}  // namespace testing_support
