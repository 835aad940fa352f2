#include "app/app.h"

#include "store/settings.h"

namespace app {

store::Mode CurrentMode(App& app) {
    const bool password = store::IsPasswordSet(app.files()) && !app.state.PlainModeChosen;
    return password ? store::Mode::Password : store::Mode::Plain;
}

bool IsPasswordMode(App& app) {
    return CurrentMode(app) == store::Mode::Password;
}

const Text* RequireSessionKey(App& app) {
    if (app.state.SessionKey) return &*app.state.SessionKey;
    ShowMessage(app, kNoSessionKeyMessage);
    return nullptr;
}

void ShowMessage(App& app, const Text& message) {
    // A message raised inside a dialog belongs to that dialog: owned by
    // MainWindow it would hand MainWindow back to the user when it closes.
    ui::WindowPeer* owner = app.desktop().InnermostModal();
    app.desktop().MessageBox(owner != nullptr ? owner : &app.main.Peer(), message, "信息：");
}

}  // namespace app
