#include "commands/password_windows.h"

#include <optional>

#include "app/confirm_dialog.h"
#include "app/page_states.h"
#include "crypto/password_store.h"
#include "store/settings.h"
#include "ui/windows/clear_password_window.h"
#include "ui/windows/set_password_window.h"
#include "ui/windows/unlock_window.h"

namespace commands {
namespace {

// Message boxes stay above the password window that raised them.
void Tell(app::App& app, ui::Window& window, const Text& message) {
    app.desktop().MessageBox(&window.Peer(), message, "信息：");
}

void StoreNewPassword(app::App& app, ui::SetPasswordWindow& window) {
    platform::Files& files = app.files();
    const Text password = window.编辑框1.GetText();
    if (password.empty() || password != window.编辑框2.GetText()) {
        Tell(app, window, "密码为空或两次密码输入不一致!");
        window.编辑框1.SetText("");
        window.编辑框2.SetText("");
        window.编辑框1.Focus();
        return;
    }
    window.编辑框1.SetText("");
    window.编辑框2.SetText("");

    // Computed in memory: the plain password never reaches the disk, and the
    // record is byte for byte what a plain copy read back would give.
    const std::string record = crypto::PasswordRecord(password);
    const Text storePath = crypto::PasswordStorePath(files);
    const std::optional<std::string> previous = files.ReadFile(storePath);
    if (!files.WriteFile(storePath, record)) {
        Tell(app, window, kStoreWriteFailedMessage);
        window.编辑框1.Focus();
        return;
    }
    if (!store::WriteSetting(files, store::kStartNum1, "1")) {
        // Without the flag the new record would never be asked for; put the
        // store back as it was so that nothing has changed.
        if (previous) {
            files.WriteFile(storePath, *previous);
        } else {
            files.DeleteFile(storePath);
        }
        Tell(app, window, kSetSettingsFailedMessage);
        window.编辑框1.Focus();
        return;
    }
    app.state.SessionKey = crypto::SessionKeyFromRecord(record);
    app::ApplyProtectionColumn(app, app::ProtectionColumn::PasswordSet);
    Tell(app, window, "密码设置成功!");
    window.Close();
}

void RemovePassword(app::App& app, ui::ClearPasswordWindow& window) {
    platform::Files& files = app.files();
    if (!crypto::CheckPassword(files, window.编辑框1.GetText())) {
        Tell(app, window, "密码输入错误!");
        window.编辑框1.SetText("");
        window.编辑框1.Focus();
        return;
    }
    if (!store::WriteSetting(files, store::kStartNum1, "0")) {
        Tell(app, window, kClearSettingsFailedMessage);
        window.编辑框1.SetText("");
        window.编辑框1.Focus();
        return;
    }
    // The flag alone decides the mode; a record left behind by a failed
    // delete is never asked for and is overwritten by the next password.
    files.DeleteFile(crypto::PasswordStorePath(files));
    app::ApplyProtectionColumn(app, app::ProtectionColumn::PasswordCleared);
    Tell(app, window, "密码已清除!");
    window.Close();
}

enum class UnlockOutcome { None, Unlocked, PlainMode };

void Unlock(app::App& app, ui::UnlockWindow& window, UnlockOutcome& outcome) {
    const std::string record = crypto::ReadPasswordRecord(app.files());
    if (!crypto::CheckPassword(record, window.编辑框1.GetText())) {
        Tell(app, window, "输入错误!");
        window.编辑框1.SetText("");
        window.编辑框1.Focus();
        return;
    }
    app.state.SessionKey = crypto::SessionKeyFromRecord(record);
    app::ApplyProtectionColumn(app, app::ProtectionColumn::Unlocked);
    outcome = UnlockOutcome::Unlocked;
    window.Close();
}

void ChoosePlainMode(app::App& app, ui::UnlockWindow& window, UnlockOutcome& outcome) {
    app::ApplyProtectionColumn(app, app::ProtectionColumn::PlainModeChosen);
    app.state.PlainModeChosen = true;
    outcome = UnlockOutcome::PlainMode;
    window.Close();
}

}  // namespace

void SetPassword(app::App& app) {
    app::RunConfirmDialog<ui::SetPasswordWindow>(app, StoreNewPassword);
}

void ClearPassword(app::App& app) {
    app::RunConfirmDialog<ui::ClearPasswordWindow>(app, RemovePassword);
}

void ShowUnlockWindow(app::App& app) {
    UnlockOutcome outcome = UnlockOutcome::None;
    ui::UnlockWindow window;
    window.Create(app.desktop(), nullptr);
    ui::UnlockWindow* w = &window;
    app::App* a = &app;
    UnlockOutcome* o = &outcome;
    window.按钮1.OnClick([a, w, o] { Unlock(*a, *w, *o); });
    window.按钮2.OnClick([a, w, o] { ChoosePlainMode(*a, *w, *o); });
    window.按钮3.OnClick([a, w] {
        a->desktop().ExitProcess(0);
        w->Close();
    });
    // The close box, Alt+F4 and Esc end the program as "结束程序" does:
    // start-up must not go on without a key from a successful unlock.
    window.Peer().SetCloseHandler([a] {
        a->desktop().ExitProcess(0);
        return true;
    });
    window.编辑框1.Focus();
    app.desktop().RunModal(window.Peer(), nullptr);
    if (outcome == UnlockOutcome::None) {
        // Only reached when ending the process did not end it at once (a test
        // desktop records the request): whatever runs meanwhile runs in
        // PlainMode, never under a key that no unlock produced.
        app.state.PlainModeChosen = true;
        app::ApplyProtectionColumn(app, app::ProtectionColumn::PlainModeChosen);
    }
}

}  // namespace commands
