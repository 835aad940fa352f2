#include "commands/transparency.h"

#include <algorithm>
#include <string>

#include "app/startup.h"
#include "store/settings.h"
#include "ui/windows/transparency_window.h"

namespace commands {
namespace {

void SaveOpacity(app::App& app, ui::TransparencyWindow& window) {
    store::WriteSetting(app.files(), store::kAlphaNum, std::to_string(window.滑块条1.Position()));
}

}  // namespace

void OpenTransparencyWindow(app::App& app) {
    ui::TransparencyWindow window;
    window.Create(app.desktop(), &app.main.Peer());
    // The slider keeps the stored value within its own range; clamping first
    // only keeps an absurd number from wrapping on the way to int.
    const long long stored = store::ReadSettingInteger(app.files(), store::kAlphaNum);
    window.滑块条1.SetPosition(static_cast<int>(std::clamp(stored, 0LL, 255LL)));

    ui::TransparencyWindow* w = &window;
    app::App* a = &app;
    window.滑块条1.OnPositionChanged([a, w] { app::ApplyOpacity(*a, w->滑块条1.Position()); });
    window.按钮1.OnClick([a, w] { SaveOpacity(*a, *w); });
    app.desktop().RunModal(window.Peer(), &app.main.Peer());
}

}  // namespace commands
