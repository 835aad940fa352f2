// The progress bar and the slider.
#include "platform/win32/win32_controls.h"

namespace platform::win32 {

Win32Control::WindowClass Win32ProgressBar::Class() const {
    return {PROGRESS_CLASSW, 0, 0, false, false};
}

void Win32ProgressBar::Created() {
    SendMessageW(hwnd_, PBM_SETRANGE32, 0, 100);
    SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(def_.position), 0);
}

void Win32ProgressBar::SetVisible(bool visible) {
    Win32Control::SetVisible(visible);
    // The bar is shown for work that keeps the message loop waiting: it is
    // painted now, not when the work is done.
    if (visible && hwnd_ != nullptr) UpdateWindow(hwnd_);
}

void Win32ProgressBar::ColoursChanged(bool text) {
    if (text && textColour_) SendMessageW(hwnd_, PBM_SETBARCOLOR, 0, *textColour_);
    if (!text && backColour_) SendMessageW(hwnd_, PBM_SETBKCOLOR, 0, *backColour_);
    Win32Control::ColoursChanged(text);
}

int Win32ProgressBar::GetPosition() {
    return hwnd_ != nullptr ? static_cast<int>(SendMessageW(hwnd_, PBM_GETPOS, 0, 0)) : 0;
}

void Win32ProgressBar::SetPosition(int position) {
    if (hwnd_ == nullptr) return;
    SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(std::clamp(position, 0, 100)), 0);
    UpdateWindow(hwnd_);  // moves while the work goes on
    window_.Desktop().PaintWhileBusy();
}

Win32Control::WindowClass Win32Slider::Class() const {
    return {TRACKBAR_CLASSW, TBS_HORZ, 0, true, false};
}

void Win32Slider::Created() {
    SendMessageW(hwnd_, TBM_SETRANGEMIN, FALSE, def_.rangeMin);
    SendMessageW(hwnd_, TBM_SETRANGEMAX, FALSE, def_.rangeMax);
    SendMessageW(hwnd_, TBM_SETPOS, TRUE, def_.position);
    reported_ = static_cast<int>(SendMessageW(hwnd_, TBM_GETPOS, 0, 0));
}

void Win32Slider::OnScroll() {
    if (hwnd_ == nullptr) return;
    const int position = static_cast<int>(SendMessageW(hwnd_, TBM_GETPOS, 0, 0));
    if (position == reported_) return;
    reported_ = position;
    Fire(ui::Event::PositionChanged, position);
}

int Win32Slider::GetPosition() {
    return hwnd_ != nullptr ? static_cast<int>(SendMessageW(hwnd_, TBM_GETPOS, 0, 0)) : 0;
}

void Win32Slider::SetPosition(int position) {
    if (hwnd_ == nullptr) return;
    SendMessageW(hwnd_, TBM_SETPOS, TRUE, position);
    reported_ = static_cast<int>(SendMessageW(hwnd_, TBM_GETPOS, 0, 0));
}

}  // namespace platform::win32
