// The twelve dialogs as the program builds them: every one builds and binds,
// its controls fit where they are drawn, and the texts whose bytes matter
// arrive intact on the live controls.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "support/test_desktop.h"
#include "ui/windows/clear_password_window.h"
#include "ui/windows/colour_scheme_window.h"
#include "ui/windows/file_cipher_window.h"
#include "ui/windows/find_replace_window.h"
#include "ui/windows/font_scheme_window.h"
#include "ui/windows/icon_picker_window.h"
#include "ui/windows/new_directory_window.h"
#include "ui/windows/set_password_window.h"
#include "ui/windows/title_search_window.h"
#include "ui/windows/transparency_window.h"
#include "ui/windows/unlock_window.h"
#include "ui/windows/update_window.h"

namespace {

using testing_support::MakeTestDesktop;
using testing_support::TestDesktop;
using ui::ControlDef;
using ui::ControlKind;
using ui::WindowDef;

using Handles = std::vector<const ui::ControlHandle*>;

// One dialog: its definition, and how to create its typed window and reach
// every member of it.
struct Dialog {
    const WindowDef& (*def)();
    std::function<std::unique_ptr<ui::Window>(platform::Desktop&, Handles&)> create;
};

template <typename W, typename... Members>
Dialog Entry(const WindowDef& (*def)(), Members W::*... members) {
    return {def, [=](platform::Desktop& desktop, Handles& handles) {
                auto window = std::make_unique<W>();
                window->Create(desktop, nullptr);
                handles = {static_cast<const ui::ControlHandle*>(&((*window).*members))...};
                return std::unique_ptr<ui::Window>(std::move(window));
            }};
}

const std::vector<Dialog>& Dialogs() {
    using namespace ui;
    static const std::vector<Dialog> dialogs = {
        Entry<ColourSchemeWindow>(
            &ColourSchemeWindowDef, &ColourSchemeWindow::标签1, &ColourSchemeWindow::标签2,
            &ColourSchemeWindow::标签3, &ColourSchemeWindow::标签4, &ColourSchemeWindow::标签5,
            &ColourSchemeWindow::标签6, &ColourSchemeWindow::标签7, &ColourSchemeWindow::标签8,
            &ColourSchemeWindow::标签9, &ColourSchemeWindow::颜色选择器1,
            &ColourSchemeWindow::颜色选择器2, &ColourSchemeWindow::颜色选择器3,
            &ColourSchemeWindow::颜色选择器4, &ColourSchemeWindow::颜色选择器5,
            &ColourSchemeWindow::颜色选择器6, &ColourSchemeWindow::颜色选择器7,
            &ColourSchemeWindow::颜色选择器8, &ColourSchemeWindow::按钮1,
            &ColourSchemeWindow::按钮2, &ColourSchemeWindow::按钮3),
        Entry<NewDirectoryWindow>(&NewDirectoryWindowDef, &NewDirectoryWindow::标签1,
                                  &NewDirectoryWindow::标签2, &NewDirectoryWindow::编辑框1,
                                  &NewDirectoryWindow::按钮1, &NewDirectoryWindow::按钮2),
        Entry<SetPasswordWindow>(
            &SetPasswordWindowDef, &SetPasswordWindow::标签1, &SetPasswordWindow::标签2,
            &SetPasswordWindow::标签3, &SetPasswordWindow::标签4, &SetPasswordWindow::编辑框1,
            &SetPasswordWindow::编辑框2, &SetPasswordWindow::按钮1, &SetPasswordWindow::按钮2),
        Entry<UnlockWindow>(&UnlockWindowDef, &UnlockWindow::标签1, &UnlockWindow::标签2,
                            &UnlockWindow::编辑框1, &UnlockWindow::按钮1, &UnlockWindow::按钮2,
                            &UnlockWindow::按钮3),
        Entry<ClearPasswordWindow>(&ClearPasswordWindowDef, &ClearPasswordWindow::标签1,
                                   &ClearPasswordWindow::标签2, &ClearPasswordWindow::编辑框1,
                                   &ClearPasswordWindow::按钮1, &ClearPasswordWindow::按钮2),
        Entry<FontSchemeWindow>(
            &FontSchemeWindowDef, &FontSchemeWindow::分组框1, &FontSchemeWindow::分组框2,
            &FontSchemeWindow::分组框3, &FontSchemeWindow::分组框4, &FontSchemeWindow::分组框5,
            &FontSchemeWindow::分组框6, &FontSchemeWindow::列表框1, &FontSchemeWindow::列表框2,
            &FontSchemeWindow::列表框3, &FontSchemeWindow::列表框4, &FontSchemeWindow::列表框5,
            &FontSchemeWindow::列表框6, &FontSchemeWindow::列表框7, &FontSchemeWindow::列表框8,
            &FontSchemeWindow::列表框9, &FontSchemeWindow::标签1, &FontSchemeWindow::标签2,
            &FontSchemeWindow::标签3, &FontSchemeWindow::标签4, &FontSchemeWindow::按钮1,
            &FontSchemeWindow::按钮2, &FontSchemeWindow::按钮3, &FontSchemeWindow::时钟1),
        Entry<UpdateWindow>(&UpdateWindowDef, &UpdateWindow::标签1, &UpdateWindow::按钮1),
        Entry<IconPickerWindow>(&IconPickerWindowDef, &IconPickerWindow::超级列表框1,
                                &IconPickerWindow::按钮1, &IconPickerWindow::按钮2),
        Entry<FindReplaceWindow>(
            &FindReplaceWindowDef, &FindReplaceWindow::标签1, &FindReplaceWindow::标签2,
            &FindReplaceWindow::编辑框1, &FindReplaceWindow::编辑框2, &FindReplaceWindow::按钮1,
            &FindReplaceWindow::按钮2, &FindReplaceWindow::按钮3, &FindReplaceWindow::按钮4,
            &FindReplaceWindow::按钮5, &FindReplaceWindow::选择框1),
        Entry<FileCipherWindow>(
            &FileCipherWindowDef, &FileCipherWindow::编辑框1, &FileCipherWindow::编辑框2,
            &FileCipherWindow::按钮1, &FileCipherWindow::按钮2, &FileCipherWindow::按钮3,
            &FileCipherWindow::按钮4, &FileCipherWindow::按钮5, &FileCipherWindow::选择框1,
            &FileCipherWindow::标签1, &FileCipherWindow::通用对话框1),
        Entry<TitleSearchWindow>(&TitleSearchWindowDef, &TitleSearchWindow::编辑框1,
                                 &TitleSearchWindow::按钮1, &TitleSearchWindow::标签1),
        Entry<TransparencyWindow>(&TransparencyWindowDef, &TransparencyWindow::滑块条1,
                                  &TransparencyWindow::按钮1),
    };
    return dialogs;
}

// The code that opens IconPickerWindow fits its icon list to the client area,
// so the list's defined size is not where it is drawn.
bool LaidOutWhenOpened(const WindowDef& window, const ControlDef& control) {
    return window.name == "IconPickerWindow" && control.name == "超级列表框1";
}

bool IsInteractive(ControlKind kind) {
    return kind != ControlKind::Label && kind != ControlKind::GroupBox &&
           kind != ControlKind::ProgressBar && ui::IsVisualKind(kind);
}

// Position in the client area, following a group-box parent.
ui::Rect ClientRect(const WindowDef& window, const ControlDef& control) {
    ui::Rect r{control.left, control.top, control.width, control.height};
    if (!control.parent.empty()) {
        const ControlDef* box = window.FindControl(control.parent);
        if (box != nullptr) {
            r.left += box->left;
            r.top += box->top;
        }
    }
    return r;
}

bool Overlap(const ui::Rect& a, const ui::Rect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

std::string Where(const WindowDef& window, const ControlDef& control) {
    return text::ToUtf8(window.name + "." + control.name);
}

class DialogWindows : public ::testing::Test {
  protected:
    std::unique_ptr<TestDesktop> desktop_ = MakeTestDesktop();
    platform::Desktop& desktop() { return desktop_->Desktop(); }
    ui::Automation& automation() { return desktop_->Automation(); }
};

TEST_F(DialogWindows, EveryDialogBuildsWithEveryMemberBoundToItsControl) {
    std::set<Text> windowNames;
    for (const Dialog& dialog : Dialogs()) {
        const WindowDef& def = dialog.def();
        SCOPED_TRACE(text::ToUtf8(def.name));
        EXPECT_TRUE(windowNames.insert(def.name).second) << "window name used twice";

        Handles handles;
        const std::unique_ptr<ui::Window> window = dialog.create(desktop(), handles);
        EXPECT_EQ(window->Peer().Definition().name, def.name);

        // Each member reaches the control of its own name, and every control
        // of the definition has a member.
        std::multiset<Text> bound;
        for (const ui::ControlHandle* handle : handles) {
            bound.insert(handle->Peer().Definition().name);
        }
        std::multiset<Text> defined;
        for (const ControlDef& control : def.controls) defined.insert(control.name);
        EXPECT_EQ(bound, defined);
    }
}

TEST_F(DialogWindows, ControlNamesAreUniqueAndParentsAreEarlierGroupBoxes) {
    for (const Dialog& dialog : Dialogs()) {
        const WindowDef& def = dialog.def();
        std::set<Text> seen;
        for (const ControlDef& control : def.controls) {
            EXPECT_FALSE(control.name.empty()) << text::ToUtf8(def.name);
            EXPECT_TRUE(seen.insert(control.name).second)
                << Where(def, control) << " defined twice";
            if (control.parent.empty()) continue;
            // Relative positions only make sense against a group box that
            // already exists when the control is created.
            EXPECT_TRUE(ui::IsVisualKind(control.kind)) << Where(def, control);
            const ControlDef* box = def.FindControl(control.parent);
            ASSERT_NE(box, nullptr) << Where(def, control) << " has no parent";
            EXPECT_EQ(box->kind, ControlKind::GroupBox) << Where(def, control);
            EXPECT_TRUE(seen.contains(control.parent))
                << Where(def, control) << " comes before its group box";
        }
    }
}

TEST_F(DialogWindows, EveryVisualControlLiesInsideTheClientArea) {
    for (const Dialog& dialog : Dialogs()) {
        const WindowDef& def = dialog.def();
        Handles handles;
        const std::unique_ptr<ui::Window> window = dialog.create(desktop(), handles);
        const ui::Size client = window->Peer().GetClientSize();
        ASSERT_GT(client.width, 0) << text::ToUtf8(def.name);
        ASSERT_GT(client.height, 0) << text::ToUtf8(def.name);
        for (const ControlDef& control : def.controls) {
            if (!ui::IsVisualKind(control.kind) || LaidOutWhenOpened(def, control)) continue;
            EXPECT_GT(control.width, 0) << Where(def, control);
            EXPECT_GT(control.height, 0) << Where(def, control);
            const ui::Rect r = ClientRect(def, control);
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.left + r.width <= client.width &&
                        r.top + r.height <= client.height)
                << Where(def, control) << " at " << r.left << "," << r.top << " " << r.width << "x"
                << r.height << " outside the client area " << client.width << "x" << client.height;
            if (!control.parent.empty()) {
                const ControlDef* box = def.FindControl(control.parent);
                ASSERT_NE(box, nullptr);
                EXPECT_TRUE(control.left >= 0 && control.top >= 0 &&
                            control.left + control.width <= box->width &&
                            control.top + control.height <= box->height)
                    << Where(def, control) << " sticks out of " << text::ToUtf8(control.parent);
            }
        }
    }
}

TEST_F(DialogWindows, NoControlTheUserOperatesIsCoveredByAnother) {
    for (const Dialog& dialog : Dialogs()) {
        const WindowDef& def = dialog.def();
        for (std::size_t i = 0; i < def.controls.size(); ++i) {
            const ControlDef& a = def.controls[i];
            if (!IsInteractive(a.kind) || LaidOutWhenOpened(def, a)) continue;
            for (std::size_t j = i + 1; j < def.controls.size(); ++j) {
                const ControlDef& b = def.controls[j];
                if (!IsInteractive(b.kind) || LaidOutWhenOpened(def, b)) continue;
                EXPECT_FALSE(Overlap(ClientRect(def, a), ClientRect(def, b)))
                    << Where(def, a) << " overlaps " << text::ToUtf8(b.name);
            }
        }
    }
}

TEST_F(DialogWindows, DialogsShareOneLook) {
    for (const Dialog& dialog : Dialogs()) {
        const WindowDef& def = dialog.def();
        const bool systemBackground =
            def.name == "FontSchemeWindow" || def.name == "IconPickerWindow";
        EXPECT_EQ(def.background,
                  systemBackground ? std::nullopt : std::optional<ui::Colour>(15197154))
            << text::ToUtf8(def.name);
        for (const ControlDef& control : def.controls) {
            if (control.kind == ControlKind::Edit) {
                EXPECT_TRUE(control.border) << Where(def, control);
                EXPECT_EQ(control.backColour, std::optional<ui::Colour>(15593965))
                    << Where(def, control);
                EXPECT_TRUE(control.textColour.has_value()) << Where(def, control);
            }
            if (control.kind == ControlKind::Label) {
                // Drawn on the window's own background, in a fixed colour.
                EXPECT_EQ(control.backColour, def.background) << Where(def, control);
                EXPECT_TRUE(control.textColour.has_value()) << Where(def, control);
            }
        }
    }
}

TEST_F(DialogWindows, LiveControlsStartAsDefined) {
    for (const Dialog& dialog : Dialogs()) {
        const WindowDef& def = dialog.def();
        Handles handles;
        const std::unique_ptr<ui::Window> window = dialog.create(desktop(), handles);
        EXPECT_EQ(window->GetCaption(), def.caption) << text::ToUtf8(def.name);
        for (const ControlDef& control : def.controls) {
            ui::ControlPeer& peer = window->Peer().Control(control.name);
            switch (control.kind) {
                case ControlKind::Label:
                case ControlKind::Button:
                case ControlKind::CheckBox:
                case ControlKind::GroupBox:
                    EXPECT_EQ(peer.GetText(), control.caption) << Where(def, control);
                    break;
                case ControlKind::ListBox: {
                    // Sizes must stay in numeric order: no list sorts itself.
                    std::vector<Text> items;
                    for (int i = 0; i < peer.ItemCount(); ++i) items.push_back(peer.ItemText(i));
                    EXPECT_EQ(items, control.items) << Where(def, control);
                    break;
                }
                default:
                    break;
            }
        }
    }
}

TEST_F(DialogWindows, TextsWithSignificantBytesArriveIntact) {
    ui::UnlockWindow unlock;
    unlock.Create(desktop(), nullptr);
    EXPECT_EQ(unlock.GetCaption(), "");
    const Text question = unlock.标签1.GetText();
    EXPECT_NE(question.find("为\"有密模式\","), Text::npos);
    const Text hints = unlock.标签2.GetText();
    ASSERT_TRUE(hints.ends_with("\r\n"));
    std::size_t breaks = 0;
    for (std::size_t at = hints.find("\r\n"); at != Text::npos; at = hints.find("\r\n", at + 2)) {
        ++breaks;
    }
    EXPECT_EQ(breaks, 5u);
    EXPECT_EQ(std::count(hints.begin(), hints.end(), '\n'), 5);
    EXPECT_TRUE(hints.ends_with("点击\"[确定]按钮进入[有密模式]!\r\n"));
    EXPECT_EQ(std::count(hints.begin(), hints.end(), '"'), 1);

    ui::ClearPasswordWindow clear;
    clear.Create(desktop(), nullptr);
    EXPECT_EQ(clear.标签2.GetText(),
              "清除此密码后将无法查看之前加密过的文件!\r\n"
              "如需再次查看,重新设置密码时设置为此密码即可!");

    ui::FileCipherWindow cipher;
    cipher.Create(desktop(), nullptr);
    EXPECT_EQ(cipher.标签1.GetText(), "加解密前必须声明目录,可为任意程序或文件加解密\r\n");

    // Full-width colon in one caption, ASCII in the other.
    ui::TitleSearchWindow search;
    search.Create(desktop(), nullptr);
    EXPECT_EQ(search.GetCaption(), "搜搜标题\xA3\xBA");
    ui::IconPickerWindow picker;
    picker.Create(desktop(), nullptr);
    EXPECT_TRUE(picker.GetCaption().ends_with("图标:"));
}

TEST_F(DialogWindows, NewDirectoryNameBoxTakesAtMost28Bytes) {
    ui::NewDirectoryWindow window;
    window.Create(desktop(), nullptr);
    ui::ControlPeer& box = window.编辑框1.Peer();

    automation().Type(box, Text(29, 'a'));
    EXPECT_EQ(window.编辑框1.GetText(), Text(28, 'a'));
    automation().Type(box, "b");
    EXPECT_EQ(window.编辑框1.GetText(), Text(28, 'a'));

    // Fourteen Chinese characters fill it; the fifteenth is refused.
    window.编辑框1.SetText("");
    Text fourteen;
    for (int i = 0; i < 14; ++i) fourteen += "目";
    automation().Type(box, fourteen + "录");
    EXPECT_EQ(window.编辑框1.GetText(), fourteen);

    // A double-byte character never goes in by halves.
    window.编辑框1.SetText("");
    automation().Type(box, Text(27, 'x') + "录");
    EXPECT_EQ(window.编辑框1.GetText(), Text(27, 'x'));
}

TEST_F(DialogWindows, InitialStatesTheHandlersRelyOn) {
    ui::FindReplaceWindow find;
    find.Create(desktop(), nullptr);
    EXPECT_TRUE(find.选择框1.IsChecked());

    ui::FileCipherWindow cipher;
    cipher.Create(desktop(), nullptr);
    EXPECT_FALSE(cipher.选择框1.IsChecked());
    // The path boxes are filled by the file dialogs only: neither typing nor
    // pasting nor the editing keys change them.
    automation().Type(cipher.编辑框1.Peer(), "C:\\x");
    automation().Paste(cipher.编辑框2.Peer(), "C:\\y");
    EXPECT_EQ(cipher.编辑框1.GetText(), "");
    EXPECT_EQ(cipher.编辑框2.GetText(), "");
    cipher.编辑框1.SetText("C:\\源文件.txt");
    cipher.Peer().Show();
    cipher.编辑框1.Focus();
    ASSERT_TRUE(cipher.编辑框1.HasFocus());
    for (int key : {'A', 'X', 'V', 'Z'}) automation().PressKey(cipher.Peer(), {true, false, key});
    EXPECT_EQ(cipher.编辑框1.GetText(), "C:\\源文件.txt");
    EXPECT_TRUE(cipher.编辑框1.IsEnabled()) << "read-only, not greyed";

    ui::TransparencyWindow transparency;
    transparency.Create(desktop(), nullptr);
    EXPECT_EQ(transparency.滑块条1.Position(), 155);
}

}  // namespace
