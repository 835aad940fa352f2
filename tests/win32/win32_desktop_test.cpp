// What only the real desktop has: fonts, colours and message loops of real
// HWNDs, real timer ticks, resources, and the four-byte characters the edit
// control sees as surrogate pairs. The shared behaviour is pinned by
// tests/ui/desktop_conformance_test.cpp.
#include <gtest/gtest.h>

#include <atomic>
#include <cwctype>

#include "platform/resources.h"
#include "platform/win32/win32_automated_desktop.h"
#include "platform/win32/win32_internal.h"
//
#include <dlgs.h>
#include "platform/win32/win32_shell.h"
#include "support/temp_folder.h"
#include "support/test_desktop.h"
#include "ui/icon_strips.h"

namespace testing_support {
namespace {

using platform::win32::Win32Control;
using platform::win32::Win32Window;
using ui::ControlKind;

HWND HwndOf(ui::ControlPeer& peer) {
    return static_cast<Win32Control&>(peer).Hwnd();
}
HWND HwndOf(ui::WindowPeer& peer) {
    return static_cast<Win32Window&>(peer).Hwnd();
}

LOGFONTW FontOf(HWND hwnd) {
    LOGFONTW font{};
    auto handle = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    GetObjectW(handle, sizeof font, &font);
    return font;
}

// A character outside GBK: GB18030 writes it with four bytes, UTF-16 with a
// surrogate pair.
Text FourByteCharacter() {
    return text::FromUtf16(u"\U00020000");
}

ui::WindowDef TestWindowDef() {
    ui::WindowDef def;
    def.name = "Win32TestWindow";
    def.caption = "测试";
    def.width = 400;
    def.height = 300;
    def.background = ui::Rgb(10, 20, 30);
    auto add = [&def](const Text& name, ControlKind kind, int top) -> ui::ControlDef& {
        def.controls.push_back(MakeControlDef(name, kind, "", 10, top, 200, 24));
        return def.controls.back();
    };
    add("标签1", ControlKind::Label, 0);
    add("标签2", ControlKind::Label, 30).font = {"宋体", 16, 700, false};
    add("标签3", ControlKind::Label, 60).font = {"宋体", 16, 700, false};
    ui::ControlDef& coloured = add("编辑框1", ControlKind::Edit, 90);
    coloured.textColour = ui::Rgb(200, 0, 0);
    coloured.backColour = ui::Rgb(0, 0, 90);
    add("编辑框2", ControlKind::Edit, 120).textColour = ui::Rgb(0, 100, 0);
    ui::ControlDef& limited = add("编辑框3", ControlKind::Edit, 150);
    limited.byteLimit = 10;
    limited.multiline = true;
    add("编辑框4", ControlKind::Edit, 180).byteLimit = 10;
    add("按钮1", ControlKind::Button, 210);
    add("进度条1", ControlKind::ProgressBar, 240);
    add("时钟1", ControlKind::Timer, 0);
    def.menu = {{0, "文件", "", false, false}, {1, "新建", "Ctrl+N", false, false}};
    return def;
}

class Win32DesktopTest : public ::testing::Test {
  protected:
    Win32DesktopTest() : window_(desktop_.CreateWindowFromDef(TestWindowDef(), nullptr)) {}

    ui::ControlPeer& control(const Text& name) { return window_->Control(name); }

    platform::Win32AutomatedDesktop desktop_;
    std::unique_ptr<ui::WindowPeer> window_;
};

// Ends a message loop that would otherwise wait for ever when the thing under
// test fails to happen. (<chrono> has a literal GBK cannot hold.)
class Watchdog {
  public:
    explicit Watchdog(DWORD milliseconds) : thread_(GetCurrentThreadId()), limit_(milliseconds) {
        worker_ = CreateThread(nullptr, 0, &Watchdog::Run, this, 0, nullptr);
    }
    ~Watchdog() {
        done_ = true;
        WaitForSingleObject(worker_, INFINITE);
        CloseHandle(worker_);
    }

  private:
    static DWORD WINAPI Run(void* self) {
        auto* dog = static_cast<Watchdog*>(self);
        const ULONGLONG end = GetTickCount64() + dog->limit_;
        while (!dog->done_ && GetTickCount64() < end) Sleep(20);
        if (!dog->done_) PostThreadMessageW(dog->thread_, WM_QUIT, static_cast<WPARAM>(-1), 0);
        return 0;
    }

    DWORD thread_;
    DWORD limit_;
    std::atomic<bool> done_{false};
    HANDLE worker_ = nullptr;
};

// Resources ---------------------------------------------------------------------

TEST(Win32Resources, IconStripsAreBuiltIntoTheExecutable) {
    const std::pair<platform::IconStrip, int> strips[] = {{platform::IconStrip::Large, 100},
                                                          {platform::IconStrip::Small, 50}};
    for (const auto& [which, cell] : strips) {
        const std::string bytes = platform::IconStripBytes(which);
        ASSERT_GE(bytes.size(), 8u);
        EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        const ui::ImageStrip strip = ui::LoadIconStrip(which);
        EXPECT_EQ(strip.width, 16 * cell);
        EXPECT_EQ(strip.height, cell);
        EXPECT_EQ(strip.CellCount(), 16);
        EXPECT_EQ(strip.KeyColour(), ui::Rgb(252, 2, 251));
    }
}

TEST(Win32Resources, ManifestSelectsCommonControlsSix) {
    platform::Win32AutomatedDesktop desktop;  // initialises the common controls
    HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(controls, nullptr);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(controls, path, MAX_PATH);
    std::wstring lower(path);
    for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
    // Version 6 is the side-by-side assembly, loaded only at the manifest's request.
    EXPECT_NE(lower.find(L"microsoft.windows.common-controls"), std::wstring::npos) << lower;
}

// Fonts and colours -------------------------------------------------------------

// Whether the control's own font (no font linking) has a glyph for every
// character of `text`.
bool FontHasGlyphs(HWND control, const wchar_t* text) {
    HDC dc = GetDC(control);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    const int length = static_cast<int>(wcslen(text));
    std::vector<WORD> glyphs(static_cast<std::size_t>(length));
    const DWORD got =
        GetGlyphIndicesW(dc, text, length, glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return got == static_cast<DWORD>(length) &&
           std::find(glyphs.begin(), glyphs.end(), 0xFFFF) == glyphs.end();
}

TEST_F(Win32DesktopTest, ControlsGetTheFontsTheyAskFor) {
    LOGFONTW gui{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
    const LOGFONTW plain = FontOf(HwndOf(control("标签1")));
    EXPECT_EQ(plain.lfHeight, gui.lfHeight) << "no height: the default size";
    EXPECT_EQ(plain.lfWeight, 400);

    const LOGFONTW song = FontOf(HwndOf(control("标签2")));
    EXPECT_STREQ(song.lfFaceName, L"宋体");
    // The height is in units of a 96-DPI screen, the LOGFONT's in the screen's pixels.
    const platform::win32::DpiScale scale(platform::win32::DpiOfWindow(HwndOf(control("标签2"))));
    EXPECT_EQ(song.lfHeight, -scale.ToPixels(16)) << "the height is the character height";
    EXPECT_EQ(song.lfWeight, 700);
    EXPECT_EQ(SendMessageW(HwndOf(control("标签2")), WM_GETFONT, 0, 0),
              SendMessageW(HwndOf(control("标签3")), WM_GETFONT, 0, 0))
        << "one GDI font per distinct font";

    // An empty face keeps the default face at the height asked for, and that
    // face shows Chinese, bold too, whatever the locale.
    EXPECT_TRUE(FontHasGlyphs(HwndOf(control("标签1")), L"新建搜索返回"));
    control("标签1").SetFont({"", 23, 700, true});
    const LOGFONTW bigger = FontOf(HwndOf(control("标签1")));
    EXPECT_STREQ(bigger.lfFaceName, plain.lfFaceName);
    EXPECT_EQ(bigger.lfHeight, -scale.ToPixels(23));
    EXPECT_TRUE(bigger.lfItalic);
    EXPECT_TRUE(FontHasGlyphs(HwndOf(control("标签1")), L"新建搜索返回"));
}

TEST_F(Win32DesktopTest, ColoursArePaintedThroughTheControlColourMessages) {
    HWND window = HwndOf(*window_);
    HDC dc = CreateCompatibleDC(nullptr);
    auto paint = [&](UINT message, ui::ControlPeer& peer) {
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(4, 5, 6));
        auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
            window, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(HwndOf(peer))));
        LOGBRUSH fill{};
        GetObjectW(brush, sizeof fill, &fill);
        return fill.lbColor;
    };

    EXPECT_EQ(paint(WM_CTLCOLOREDIT, control("编辑框1")), RGB(0, 0, 90));
    EXPECT_EQ(GetTextColor(dc), RGB(200, 0, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(0, 0, 90));

    // A text colour alone keeps the box white.
    EXPECT_EQ(paint(WM_CTLCOLOREDIT, control("编辑框2")), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 100, 0));

    // A label without colours of its own sits on the window's background.
    EXPECT_EQ(paint(WM_CTLCOLORSTATIC, control("标签1")), RGB(10, 20, 30));
    window_->SetBackColour(ui::Rgb(200, 210, 220));
    EXPECT_EQ(paint(WM_CTLCOLORSTATIC, control("标签1")), RGB(200, 210, 220));
    control("标签1").SetTextColour(ui::Rgb(255, 255, 0));
    EXPECT_EQ(paint(WM_CTLCOLORSTATIC, control("标签1")), RGB(200, 210, 220));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 0));
    DeleteDC(dc);
}

TEST_F(Win32DesktopTest, LayeredAttributesReachTheWindow) {
    window_->SetExStyle(window_->GetExStyle() | ui::kExStyleLayered);
    window_->SetLayeredAttributes(ui::Rgb(252, 2, 251), 200, ui::kLayeredColourKeyAndAlpha);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(HwndOf(*window_), &key, &alpha, &flags));
    EXPECT_EQ(key, RGB(252, 2, 251));
    EXPECT_EQ(alpha, 200);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
}

// Byte limits with four-byte characters and line breaks --------------------------

TEST_F(Win32DesktopTest, ByteLimitTakesFourByteCharactersWhole) {
    ui::ControlPeer& edit = control("编辑框4");
    const Text wide = FourByteCharacter();
    ASSERT_EQ(wide.size(), 4u);
    desktop_.Type(edit, wide + wide);
    EXPECT_EQ(edit.GetText(), wide + wide);
    desktop_.Type(edit, wide);
    EXPECT_EQ(edit.GetText(), wide + wide) << "12 bytes do not fit 10";
    desktop_.Type(edit, "a");
    EXPECT_EQ(edit.GetText(), wide + wide + "a");
    // No half pair is ever left behind by a refused character.
    desktop_.Type(edit, wide);
    desktop_.Type(edit, "b");
    EXPECT_EQ(edit.GetText(), wide + wide + "ab");

    edit.SetText("");
    desktop_.Paste(edit, "1" + wide + wide + wide);
    EXPECT_EQ(edit.GetText(), "1" + wide + wide);
}

TEST_F(Win32DesktopTest, ByteLimitCountsALineBreakAsTwoBytes) {
    ui::ControlPeer& multi = control("编辑框3");
    desktop_.Type(multi, "1234567\n");
    EXPECT_EQ(multi.GetText(), "1234567\r\n");
    desktop_.Type(multi, "8\n");
    EXPECT_EQ(multi.GetText(), "1234567\r\n8") << "CR LF needs two bytes, one is left";

    // A single-line box takes no line break and pastes the first line only.
    ui::ControlPeer& single = control("编辑框4");
    desktop_.Type(single, "ab\ncd");
    EXPECT_EQ(single.GetText(), "abcd");
    single.SetText("");
    desktop_.Paste(single, "第一行\r\n第二行");
    EXPECT_EQ(single.GetText(), "第一行");
}

// Message loops -------------------------------------------------------------------

TEST_F(Win32DesktopTest, MessageLoopTranslatesShortcutsOfTheMenu) {
    int chosen = 0;
    window_->Menu().SetHandler("新建", [&] { ++chosen; });
    window_->Show();
    window_->Focus();
    HWND edit = HwndOf(control("编辑框2"));
    SetFocus(edit);

    BYTE saved[256];
    GetKeyboardState(saved);
    BYTE pressed[256];
    std::copy(std::begin(saved), std::end(saved), pressed);
    pressed[VK_CONTROL] = pressed[VK_LCONTROL] = 0x80;
    SetKeyboardState(pressed);
    PostMessageW(edit, WM_KEYDOWN, 'N', 1);
    desktop_.Quit(7);
    const Watchdog watchdog(20000);
    const int code = desktop_.RunMessageLoop();
    SetKeyboardState(saved);

    EXPECT_EQ(code, 7);
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(control("编辑框2").GetText(), "") << "the key went to the menu, not the box";
}

// Work behind a shown progress bar keeps the window painted, and only
// painted: a click waiting in the queue is handled once the loop runs again.
TEST_F(Win32DesktopTest, ProgressStepsPaintTheWindowButHandleNoInput) {
    int clicks = 0;
    control("按钮1").SetHandler(ui::Event::Click, [&](int) { ++clicks; });
    window_->Show();
    desktop_.State().PumpPending();
    HWND hwnd = HwndOf(*window_);
    PostMessageW(HwndOf(control("按钮1")), BM_CLICK, 0, 0);
    for (bool barShown : {false, true}) {
        control("进度条1").SetVisible(barShown);
        InvalidateRect(hwnd, nullptr, TRUE);
        Sleep(200);  // past the pause between two paints
        control("进度条1").SetPosition(barShown ? 60 : 30);
        EXPECT_EQ(GetUpdateRect(hwnd, nullptr, FALSE) == FALSE, barShown);
    }
    EXPECT_EQ(control("进度条1").GetPosition(), 60);
    EXPECT_EQ(clicks, 0);
    desktop_.State().PumpPending();
    EXPECT_EQ(clicks, 1);
}

TEST_F(Win32DesktopTest, TabMovesBetweenTabStopsInTheLoop) {
    window_->Show();
    window_->Focus();
    control("编辑框1").Focus();
    ASSERT_TRUE(control("编辑框1").HasFocus());
    PostMessageW(HwndOf(control("编辑框1")), WM_KEYDOWN, VK_TAB, 1);
    desktop_.Quit(0);
    const Watchdog watchdog(20000);
    desktop_.RunMessageLoop();
    EXPECT_TRUE(control("编辑框2").HasFocus()) << "labels are no tab stops";
    EXPECT_EQ(control("编辑框1").GetText(), "");
}

TEST_F(Win32DesktopTest, ModalLoopDisablesEveryOtherWindow) {
    HWND main = HwndOf(*window_);
    std::unique_ptr<ui::WindowPeer> other = desktop_.CreateWindowFromDef(TestWindowDef(), nullptr);
    std::unique_ptr<ui::WindowPeer> dialog =
        desktop_.CreateWindowFromDef(TestWindowDef(), window_.get());
    bool mainEnabled = true, otherEnabled = true, dialogEnabled = false;
    desktop_.OnNextModal([&](ui::WindowPeer& shown) {
        mainEnabled = IsWindowEnabled(main);
        otherEnabled = IsWindowEnabled(HwndOf(*other));
        dialogEnabled = IsWindowEnabled(HwndOf(shown));
    });
    desktop_.RunModal(*dialog, window_.get());
    EXPECT_FALSE(mainEnabled);
    EXPECT_FALSE(otherEnabled) << "a modeless window would reach the owner";
    EXPECT_TRUE(dialogEnabled);
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_TRUE(IsWindowEnabled(HwndOf(*other)));

    std::unique_ptr<ui::WindowPeer> free = desktop_.CreateWindowFromDef(TestWindowDef(), nullptr);
    desktop_.OnNextModal([&](ui::WindowPeer&) {
        mainEnabled = IsWindowEnabled(main);
        otherEnabled = IsWindowEnabled(HwndOf(*other));
    });
    desktop_.RunModal(*free, nullptr);
    EXPECT_FALSE(mainEnabled);
    EXPECT_FALSE(otherEnabled);
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_TRUE(IsWindowEnabled(HwndOf(*other)));
}

TEST(Win32RealTimers, TicksComeFromTheSystemWithoutAutomation) {
    platform::Win32Desktop desktop;
    std::unique_ptr<ui::WindowPeer> window = desktop.CreateWindowFromDef(TestWindowDef(), nullptr);
    ui::ControlPeer& timer = window->Control("时钟1");
    int ticks = 0;
    timer.SetHandler(ui::Event::Tick, [&](int) {
        if (++ticks == 3) {
            timer.SetPeriod(0);
            desktop.Quit(5);
        }
    });
    timer.SetPeriod(10);
    const Watchdog watchdog(20000);
    EXPECT_EQ(desktop.RunMessageLoop(), 5);
    EXPECT_EQ(ticks, 3);
}

// Without automation the common dialog itself runs: a hook plays its user,
// typing a bare name and pressing OK, and notes the title it saw.
thread_local std::wstring fileDialogTitle;
thread_local std::wstring fileDialogAnswer;

LRESULT CALLBACK AnswerFileDialog(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG && fileDialogTitle.empty()) {
        wchar_t className[16] = {};
        GetClassNameW(call->hwnd, className, 16);
        if (std::wstring(className) == L"#32770" &&
            (GetWindowLongW(call->hwnd, GWL_STYLE) & WS_CHILD) == 0) {
            fileDialogTitle = platform::win32::WindowText(call->hwnd);
            SetDlgItemTextW(call->hwnd, cmb13, fileDialogAnswer.c_str());
            PostMessageW(call->hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Win32FileDialog, RealDialogShowsTheTitleAndAddsTheDefaultExtension) {
    const TempFolder folder;
    platform::Win32Desktop desktop;
    ui::WindowDef def = TestWindowDef();
    def.controls.push_back(MakeControlDef("通用对话框1", ControlKind::FileDialog, "", 0, 0, 0, 0));
    std::unique_ptr<ui::WindowPeer> window = desktop.CreateWindowFromDef(def, nullptr);

    ui::FileDialogRequest request;
    request.save = true;
    request.title = "保存为";
    request.filter = "\xB0\x7C文本(*.txt)|*.txt|所有文件(*.*)|*.*";
    request.defaultExtension = "txt";
    request.initialFolder = folder.path;
    fileDialogTitle.clear();
    fileDialogAnswer = L"笔记";
    HHOOK hook =
        SetWindowsHookExW(WH_CALLWNDPROCRET, &AnswerFileDialog, nullptr, GetCurrentThreadId());
    const std::optional<Text> chosen = window->Control("通用对话框1").ShowFileDialog(request);
    UnhookWindowsHookEx(hook);

    EXPECT_EQ(fileDialogTitle, L"保存为");
    EXPECT_EQ(chosen, std::optional<Text>(folder.path + "\\笔记.txt"));
}

// Small pieces ----------------------------------------------------------------------

TEST(Win32FileDialog, FilterIsSplitOnWholeCharacters) {
    // 0xB0 0x7C is one GBK character whose second byte is '|'.
    const Text tricky("\xB0\x7C");
    const std::wstring filter =
        platform::win32::FileDialogFilter(tricky + "文件|*.txt|所有文件|*.*");
    // The literal's own terminator is the second NUL of the end.
    const wchar_t rest[] = L"文件\0*.txt\0所有文件\0*.*\0";
    const std::wstring expected =
        platform::win32::Wide(tricky) + std::wstring(rest, std::size(rest));
    EXPECT_EQ(filter, expected);
}

TEST(Win32ShellAndClock, OpenReportsFailureAndTheClockAdvances) {
    platform::Win32AutomatedDesktop answering;  // answers an error box, should one appear
    platform::Win32Shell shell;
    EXPECT_FALSE(shell.Open("C:\\没有这个文件夹\\也没有这个文件.txt"));

    platform::Win32Clock clock;
    const std::uint64_t before = clock.NowMilliseconds();
    Sleep(100);
    // The tick count moves in steps of about 16 ms.
    EXPECT_GE(clock.NowMilliseconds() - before, 64u);
}

TEST(Win32DialogKeys, EnterPressesTheDefaultButtonAndEscapeClosesTheDialog) {
    platform::Win32AutomatedDesktop desktop;
    ui::WindowDef def;
    def.name = "Win32KeysDialog";
    def.caption = "键盘";
    def.width = 300;
    def.height = 200;
    def.controls.push_back(MakeControlDef("编辑框1", ControlKind::Edit, "", 10, 10, 200, 24));
    def.controls.push_back(MakeControlDef("按钮2", ControlKind::Button, "取消", 100, 50, 80, 30));
    def.controls.push_back(MakeControlDef("按钮1", ControlKind::Button, "确定", 10, 50, 80, 30));
    def.controls.back().isDefault = true;
    std::unique_ptr<ui::WindowPeer> dialog = desktop.CreateWindowFromDef(def, nullptr);
    int clicks = 0;
    dialog->Control("按钮1").SetHandler(ui::Event::Click, [&](int) { ++clicks; });
    dialog->Show();
    dialog->Focus();
    dialog->Control("编辑框1").Focus();
    HWND edit = HwndOf(dialog->Control("编辑框1"));

    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    desktop.Quit(0);
    {
        const Watchdog watchdog(20000);
        desktop.RunMessageLoop();
    }
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(dialog->IsOpen());

    PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 1);
    desktop.Quit(0);
    {
        const Watchdog watchdog(20000);
        desktop.RunMessageLoop();
    }
    EXPECT_FALSE(dialog->IsOpen());
    EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace testing_support
