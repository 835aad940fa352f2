#include "app/layout.h"

#include "store/settings.h"

namespace app {

void LayOutMainWindow(App& app, bool startUp) {
    ui::MainWindow& w = app.main;
    const ui::Size client = w.Peer().GetClientSize();
    const int W = client.width;
    const int H = client.height;
    const int w1 = w.按钮1.Width();
    const int w2 = w.按钮2.Width();
    const int w3 = w.按钮3.Width();
    const int h1 = w.按钮1.Height();

    w.标签1.SetWidth(W);
    w.列表框1.SetRect({w.列表框1.Left(), w.列表框1.Top(), W, H - 48});
    w.超级编辑框1.SetRect({w.超级编辑框1.Left(), w.超级编辑框1.Top(), W - 3, H - 48});
    w.超级列表框1.SetRect({w.超级列表框1.Left(), w.超级列表框1.Top(), W, H - 48});
    w.编辑框2.SetRect({w.编辑框2.Left(), w.编辑框2.Top(), W, 48});
    w.进度条1.SetRect({1, H - 22, W - 2, w.进度条1.Height()});

    if (startUp) {
        w.按钮1.SetLeft(W - w1 - 3);
        w.按钮2.SetLeft(W - w2 - w1 - 7);
        w.按钮3.SetLeft(W - w3 - w2 - w1 - 11);
        return;
    }
    const int top = H - h1 - 6;
    w.按钮1.SetRect({W - w1 - 30, top, w1, h1});
    w.按钮2.SetRect({W - w2 - w1 - 32, top, w2, w.按钮2.Height()});
    w.按钮3.SetRect({W - w3 - w2 - w1 - 34, top, w3, w.按钮3.Height()});
}

void OnMainWindowSizeChanged(App& app) {
    if (!app.state.LayoutReady) return;
    LayOutMainWindow(app, false);
    const ui::Rect outer = app.main.Peer().GetOuterRect();
    store::WriteWindowSize(app.files(), outer.width, outer.height);
}

}  // namespace app
