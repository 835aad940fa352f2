#pragma once
#include "app/app.h"

namespace app {

// Opens a dialog modally over MainWindow with the focus in its entry box
// 编辑框1: 按钮1 runs `confirm` (which closes the window when it succeeds),
// 按钮2 closes it.
template <typename Dialog, typename Confirm>
void RunConfirmDialog(App& app, Confirm confirm) {
    Dialog window;
    window.Create(app.desktop(), &app.main.Peer());
    Dialog* w = &window;
    App* a = &app;
    window.按钮1.OnClick([a, w, confirm] { confirm(*a, *w); });
    window.按钮2.OnClick([w] { w->Close(); });
    window.编辑框1.Focus();
    app.desktop().RunModal(window.Peer(), &app.main.Peer());
}

}  // namespace app
