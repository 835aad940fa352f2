#include "commands/appearance_icons.h"

#include <string>

#include "app/navigation.h"
#include "store/settings.h"
#include "ui/icon_strips.h"
#include "ui/windows/icon_picker_window.h"

namespace commands {
namespace {

constexpr int kIconCount = 16;
constexpr int kListTop = 10;
// Room below the list for the two buttons.
constexpr int kButtonBand = 52;
constexpr int kMargin = 4;

void FillAndLayOut(ui::IconPickerWindow& window) {
    ui::IconList& list = window.超级列表框1;
    list.SetImages(ui::LoadIconStrip(platform::IconStrip::Small));
    for (int i = 1; i <= kIconCount; ++i) list.AppendItem(std::to_string(i), i - 1);

    // Fitted to the client area the window really got, which depends on the
    // frame metrics of the desktop.
    const ui::Size client = window.Peer().GetClientSize();
    list.SetRect({0, kListTop, client.width, client.height - kButtonBand});
    ui::Button& ok = window.按钮1;
    ui::Button& cancel = window.按钮2;
    const int buttonTop = client.height - ok.Height() - kMargin;
    ok.SetLeft(client.width - 2 * ok.Width() - kMargin);
    ok.SetTop(buttonTop);
    cancel.SetLeft(client.width - cancel.Width() - kMargin);
    cancel.SetTop(buttonTop);
}

void UseSelectedIcon(app::App& app, ui::IconPickerWindow& window) {
    const int selected = window.超级列表框1.Selected();
    if (selected < 0) {
        app::ShowMessage(app, kChooseIconFirstMessage);
        return;
    }
    store::WriteSetting(app.files(), store::kIconNum, std::to_string(selected));
    // Refilled by the timer so the new icon shows at once; the picker stays
    // open for another try.
    app.main.超级列表框1.Clear();
    app::ArmDirectoryRefresh(app);
}

}  // namespace

void OpenIconPicker(app::App& app) {
    ui::IconPickerWindow window;
    window.Create(app.desktop(), &app.main.Peer());
    FillAndLayOut(window);
    ui::IconPickerWindow* w = &window;
    app::App* a = &app;
    window.按钮1.OnClick([a, w] { UseSelectedIcon(*a, *w); });
    window.按钮2.OnClick([w] { w->Close(); });
    app.desktop().RunModal(window.Peer(), &app.main.Peer());
}

}  // namespace commands
