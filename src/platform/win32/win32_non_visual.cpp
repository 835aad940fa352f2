// The kinds without a window: the timer and the common file dialog.
#include "platform/win32/win32_controls.h"

namespace platform::win32 {

void Win32Timer::Create() {
    Win32NonVisual::Create();
    if (def_.timerPeriod > 0) SetPeriod(def_.timerPeriod);
}

void Win32Timer::Detach() {
    Win32NonVisual::Detach();
    alive_ = false;
    period_ = 0;
}

void Win32Timer::OnTimer() {
    if (period_ > 0) Fire(ui::Event::Tick, 0);
}

void Win32Timer::SetPeriod(int milliseconds) {
    if (!alive_) return;
    HWND owner = window_.Hwnd();
    period_ = std::max(milliseconds, 0);
    if (owner != nullptr) window_.Desktop().person->ArmTimer(owner, Id(), period_);
}

std::optional<Text> Win32FileDialog::ShowFileDialog(const ui::FileDialogRequest& request) {
    return window_.Desktop().person->ChooseFile(window_.Hwnd(), request);
}

}  // namespace platform::win32
