// Renders every window of the program to PNG files for people to look at.
// Runs only when MOXIA_SCREENSHOT_DIR names a folder (scripts/screenshots).
#include <windows.h>

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/navigation.h"
#include "platform/win32/win32_internal.h"
#include "support/program_fixture.h"
#include "ui/windows/clear_password_window.h"
#include "ui/windows/colour_scheme_window.h"
#include "ui/windows/file_cipher_window.h"
#include "ui/windows/find_replace_window.h"
#include "ui/windows/font_scheme_window.h"
#include "ui/windows/set_password_window.h"
#include "ui/windows/transparency_window.h"
#include "ui/windows/unlock_window.h"
#include "ui/windows/update_window.h"

namespace testing_support {
namespace {

// Lets the windows paint themselves.
void PumpMessages(int milliseconds) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    while (GetTickCount64() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

// Copies the screen area of a window and writes it as an RGBA PNG.
bool CaptureScreenArea(const ui::Rect& r, const std::string& path) {
    if (r.width <= 0 || r.height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = r.width;
    info.bmiHeader.biHeight = -r.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, r.width, r.height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    std::vector<unsigned char> rgba(static_cast<std::size_t>(r.width) * r.height * 4);
    const auto* bgra = static_cast<const unsigned char*>(bits);
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = bgra[i + 2];
        rgba[i + 1] = bgra[i + 1];
        rgba[i + 2] = bgra[i];
        rgba[i + 3] = 255;
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(r.width);
    image.height = static_cast<png_uint_32>(r.height);
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr) != 0;
}

ui::Rect ScreenRectOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// The pop-up menu shown now is captured from a timer its own loop runs, then closed.
std::string g_menuShot;
void CALLBACK CaptureOpenMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (HWND menu = FindWindowW(L"#32768", nullptr)) {
        EXPECT_TRUE(CaptureScreenArea(ScreenRectOf(menu), g_menuShot)) << g_menuShot;
    }
    EndMenu();
}

// A message box as the program shows one, from a thread of its own: the test
// desktop answers this thread's boxes at once.
DWORD WINAPI ShowMessageBox(void*) {
    MessageBoxW(nullptr, L"无密打包完成!\r\nC:\\墨匣\\Bak.zip", L"信息：", MB_OK);
    return 0;
}

class Screenshots : public ProgramTest {
  protected:
    void SetUp() override {
        const char* dir = std::getenv("MOXIA_SCREENSHOT_DIR");
        if (dir == nullptr || *dir == '\0') GTEST_SKIP() << "MOXIA_SCREENSHOT_DIR is not set";
        dir_ = dir;
    }
    void Capture(ui::WindowPeer& window, const std::string& name) {
        window.Show();
        PumpMessages(400);
        // The window's own pixels, not the program's units.
        RECT r{};
        GetWindowRect(static_cast<platform::win32::Win32Window&>(window).Hwnd(), &r);
        const ui::Rect area{r.left, r.top, r.right - r.left, r.bottom - r.top};
        EXPECT_TRUE(CaptureScreenArea(area, dir_ + "\\" + name + ".png")) << name;
    }
    // Each menu of the menu bar, opened under its bar entry.
    void CaptureMenus(const std::string& name) {
        HWND hwnd = static_cast<platform::win32::Win32Window&>(main().Peer()).Hwnd();
        HMENU bar = GetMenu(hwnd);
        for (int i = 0; i < GetMenuItemCount(bar); ++i) {
            RECT entry{};
            GetMenuItemRect(hwnd, bar, static_cast<UINT>(i), &entry);
            g_menuShot = dir_ + "\\" + name + "-" + std::to_string(i + 1) + ".png";
            SetTimer(nullptr, 0, 400, &CaptureOpenMenu);
            TrackPopupMenu(GetSubMenu(bar, i), TPM_LEFTALIGN | TPM_TOPALIGN, entry.left,
                           entry.bottom, 0, hwnd, nullptr);
        }
    }
    void CaptureMessageBox(const std::string& name) {
        HANDLE thread = CreateThread(nullptr, 0, &ShowMessageBox, nullptr, 0, nullptr);
        HWND box = nullptr;
        for (int i = 0; i < 100 && box == nullptr; ++i, Sleep(20)) {
            box = FindWindowW(L"#32770", L"信息：");
        }
        ASSERT_NE(box, nullptr);
        PumpMessages(400);
        EXPECT_TRUE(CaptureScreenArea(ScreenRectOf(box), dir_ + "\\" + name + ".png")) << name;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
    }
    template <typename Dialog>
    void CaptureDialog(const std::string& name, std::function<void(Dialog&)> prepare = {}) {
        Dialog dialog;
        dialog.Create(app().desktop(), &main().Peer());
        if (prepare) prepare(dialog);
        Capture(dialog.Peer(), name);
        dialog.Close();
    }
    std::string dir_;
};

TEST_F(Screenshots, EveryWindow) {
    StartProgram();
    WriteFile("Default\\DefaultLog\\读书笔记.txt", "第一章\r\n墨匣保存的笔记。");
    MakeFolder("Default\\旅行");
    MakeFolder("Default\\工作");
    app::ReturnToDirectories(app());
    Tick();
    Capture(main().Peer(), "01-main-directory-page");

    OpenDirectoryNamed("DefaultLog");
    Capture(main().Peer(), "02-main-document-list");
    // The search button's window over the list, a part of a title typed.
    automation().OnNextModal([&](ui::WindowPeer& window) {
        automation().Click(window.Control("按钮1"));
        automation().Type(window.Control("编辑框1"), "读书");
        Capture(window, "14-title-search");
    });
    Click(main().按钮2);
    OpenDocumentNamed("帮助文档");
    Capture(main().Peer(), "03-main-editor");
    Click(main().按钮3);
    TypeInto(main().编辑框2, "新的标题");
    TypeInto(main().超级编辑框1, "新建的笔记");
    Capture(main().Peer(), "03-main-new-document");

    app::ReturnToDirectories(app());
    Tick();
    // The backup progress bar as a package is being made.
    main().进度条1.Show();
    main().进度条1.SetPosition(60);
    Capture(main().Peer(), "16-main-progress");
    main().进度条1.Hide();

    automation().OnNextModal([&](ui::WindowPeer& window) {
        automation().Type(window.Control("编辑框1"), "新的目录");
        Capture(window, "04-new-directory");
    });
    Choose("新建文档目录");
    automation().OnNextModal([&](ui::WindowPeer& window) {
        automation().Select(window.Control("超级列表框1"), 2);
        Capture(window, "11-icon-picker");
    });
    Choose("自定义文档目录图标");

    CaptureDialog<ui::ColourSchemeWindow>("05-colour-scheme");
    CaptureDialog<ui::SetPasswordWindow>("06-set-password");
    CaptureDialog<ui::UnlockWindow>("07-unlock");
    CaptureDialog<ui::ClearPasswordWindow>("08-clear-password");
    CaptureDialog<ui::FontSchemeWindow>("09-font-scheme");
    CaptureDialog<ui::UpdateWindow>(
        "10-update", [&](ui::UpdateWindow& w) { w.按钮1.SetText(app().versionServer.HomePage()); });
    CaptureDialog<ui::FindReplaceWindow>("12-find-replace");
    CaptureDialog<ui::FileCipherWindow>("13-file-cipher", [](ui::FileCipherWindow& w) {
        w.编辑框1.SetText("C:\\用户\\文档\\一个相当长的文件夹名称\\报告.txt");
        w.编辑框2.SetText("C:\\用户\\文档\\一个相当长的文件夹名称\\报告.txt.rc");
    });
    CaptureDialog<ui::TransparencyWindow>("15-transparency");
    CaptureMenus("17-menu");
    CaptureMessageBox("18-message");
}

}  // namespace
}  // namespace testing_support
