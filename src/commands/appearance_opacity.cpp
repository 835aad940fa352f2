#include "commands/appearance_opacity.h"

#include <algorithm>
#include <string>

#include "store/settings.h"
#include "ui/windows/transparency_window.h"

namespace commands {
namespace {

constexpr ui::Colour kLayeredColourKey = ui::Rgb(252, 2, 251);

void SaveOpacity(app::App& app, ui::TransparencyWindow& window) {
    store::WriteSetting(app.files(), store::kAlphaNum, std::to_string(window.滑块条1.Position()));
}

}  // namespace

void ApplyOpacity(app::App& app, int alpha) {
    app.state.Opacity = alpha;
    ui::WindowPeer& window = app.main.Peer();
    window.SetExStyle(window.GetExStyle() | ui::kExStyleLayered);
    // The window takes the opacity as one byte.
    window.SetLayeredAttributes(kLayeredColourKey, alpha & 0xFF, ui::kLayeredColourKeyAndAlpha);
}

void OpenTransparencyWindow(app::App& app) {
    ui::TransparencyWindow window;
    window.Create(app.desktop(), &app.main.Peer());
    // The slider keeps the stored value within its own range; clamping first
    // only keeps an absurd number from wrapping on the way to int.
    const long long stored = store::ReadSettingInteger(app.files(), store::kAlphaNum);
    window.滑块条1.SetPosition(static_cast<int>(std::clamp(stored, 0LL, 255LL)));

    ui::TransparencyWindow* w = &window;
    app::App* a = &app;
    window.滑块条1.OnPositionChanged([a, w] { ApplyOpacity(*a, w->滑块条1.Position()); });
    window.按钮1.OnClick([a, w] { SaveOpacity(*a, *w); });
    app.desktop().RunModal(window.Peer(), &app.main.Peer());
}

}  // namespace commands
