// The headless desktop: window creation, modal loops, message boxes and the
// automation that plays the user.
#include "platform/headless/headless_desktop.h"

#include <utility>

#include "platform/headless/headless_internal.h"

namespace platform {

using headless::AsHeadless;
using headless::HeadlessWindow;

HeadlessDesktop::HeadlessDesktop(ui::Size screen)
    : core_(std::make_shared<headless::DesktopCore>(screen)) {}

// Windows still alive keep the shared state; they stay safe to call.
HeadlessDesktop::~HeadlessDesktop() = default;

std::unique_ptr<ui::WindowPeer> HeadlessDesktop::CreateWindowFromDef(const ui::WindowDef& def,
                                                                     ui::WindowPeer* owner) {
    HeadlessWindow* ownerWindow = owner != nullptr ? &AsHeadless(*owner) : nullptr;
    return std::make_unique<HeadlessWindow>(core_, def, ownerWindow);
}

void HeadlessDesktop::RunModal(ui::WindowPeer& window, ui::WindowPeer* owner) {
    HeadlessWindow& modal = AsHeadless(window);
    // After an exit request no loop starts: the process would be gone.
    if (!modal.IsOpen() || core_->queues.ExitRequested()) return;
    const std::uint64_t serial = modal.Serial();
    const std::uint64_t ownerSerial = owner != nullptr ? AsHeadless(*owner).Serial() : 0;

    const std::vector<ui::WindowId> taken = core_->modal.BeginLoop(serial);
    modal.Show();
    if (const ui::ModalScript script = core_->queues.TakeModalScript()) script(window);
    // Nobody is left to use the window: its close box ends the loop, and a
    // close handler that refuses cannot keep it open forever.
    if (HeadlessWindow* still = core_->Find(serial); still != nullptr && still->IsOpen()) {
        still->CloseAsUser();
        if (HeadlessWindow* again = core_->Find(serial); again != nullptr) again->Close();
    }
    core_->modal.EndLoop();
    core_->modal.GiveBack(taken);
    if (HeadlessWindow* ownerWindow = core_->Find(ownerSerial); ownerWindow != nullptr) {
        ownerWindow->Focus();
    }
}

int HeadlessDesktop::RunMessageLoop() {
    if (core_->messageLoopScript) {
        const std::function<void()> script = std::move(core_->messageLoopScript);
        core_->messageLoopScript = nullptr;
        script();
    }
    const int code = core_->quitCode ? *core_->quitCode : core_->queues.ExitRequested().value_or(0);
    core_->quitCode.reset();  // WM_QUIT is taken from the queue once
    return code;
}

void HeadlessDesktop::Quit(int exitCode) {
    core_->quitCode = exitCode;
}

void HeadlessDesktop::ExitProcess(int exitCode) {
    core_->queues.RequestExit(exitCode);
}

void HeadlessDesktop::MessageBox(ui::WindowPeer* owner, const Text& message, const Text& caption) {
    // Answered at once: every window is back as it was before anyone can look.
    const ui::WindowId ownerId = owner != nullptr ? AsHeadless(*owner).Serial() : 0;
    const ui::ModalPolicy::Snapshot before = core_->modal.BeginMessageBox(ownerId);
    core_->queues.RecordMessage(
        {message, caption, owner != nullptr ? owner->Definition().name : Text()});
    core_->modal.EndMessageBox(before);
}

ui::WindowPeer* HeadlessDesktop::InnermostModal() {
    return core_->Find(core_->modal.Innermost());
}

ui::Size HeadlessDesktop::ScreenSize() {
    return core_->screen;
}

void HeadlessDesktop::Click(ui::ControlPeer& control) {
    AsHeadless(control).UserClick();
}

void HeadlessDesktop::Type(ui::ControlPeer& control, const Text& text) {
    AsHeadless(control).UserType(text);
}

void HeadlessDesktop::Paste(ui::ControlPeer& control, const Text& text) {
    AsHeadless(control).UserPaste(text);
}

void HeadlessDesktop::Select(ui::ControlPeer& control, int index) {
    AsHeadless(control).UserSelect(index);
}

void HeadlessDesktop::RightClick(ui::ControlPeer& control) {
    AsHeadless(control).UserRightClick();
}

void HeadlessDesktop::ChooseMenu(ui::WindowPeer& window, const Text& caption) {
    AsHeadless(window).MenuImpl().Choose(caption);
}

void HeadlessDesktop::PressShortcut(ui::WindowPeer& window, ui::ShortcutKey key) {
    HeadlessWindow& target = AsHeadless(window);
    if (target.IsOpen()) target.MenuImpl().Press(key);
}

void HeadlessDesktop::PressKey(ui::WindowPeer& window, ui::ShortcutKey key) {
    AsHeadless(window).UserKey(key);
}

void HeadlessDesktop::CloseByUser(ui::WindowPeer& window) {
    HeadlessWindow& target = AsHeadless(window);
    if (target.WindowEnabled()) target.CloseAsUser();
}

void HeadlessDesktop::ResizeByUser(ui::WindowPeer& window, int outerWidth, int outerHeight) {
    AsHeadless(window).ResizeAsUser(outerWidth, outerHeight);
}

int HeadlessDesktop::FirePendingTimers() {
    // The timers armed now each get one tick; one that a handler stops or
    // whose window goes before its turn gets none, as a killed timer would.
    std::vector<std::pair<std::uint64_t, int>> armed;
    for (const auto& [serial, window] : core_->windows) {
        for (int i = 0; i < window->ControlCount(); ++i) {
            if (window->ControlAt(i).TimerArmed()) armed.emplace_back(serial, i);
        }
    }
    int ticked = 0;
    for (const auto& [serial, index] : armed) {
        HeadlessWindow* window = core_->Find(serial);
        if (window != nullptr && window->ControlAt(index).DeliverTick()) ++ticked;
    }
    return ticked;
}

bool HeadlessDesktop::IsTimerArmed(ui::ControlPeer& timer) {
    return AsHeadless(timer).TimerArmed();
}

std::optional<ui::Automation::Layered> HeadlessDesktop::LayeredAttributes(ui::WindowPeer& window) {
    const auto alpha = LayeredAlpha(window);
    if (!alpha) return std::nullopt;
    return Layered{LayeredKey(window).value_or(0), *alpha, LayeredFlags(window).value_or(0)};
}

void HeadlessDesktop::OnMessageLoop(std::function<void()> script) {
    core_->messageLoopScript = std::move(script);
}

std::optional<int> HeadlessDesktop::QuitRequested() const {
    return core_->quitCode;
}

bool HeadlessDesktop::IsWindowEnabled(ui::WindowPeer& window) {
    return AsHeadless(window).WindowEnabled();
}

std::optional<ui::Colour> HeadlessDesktop::WindowBackground(ui::WindowPeer& window) const {
    return AsHeadless(window).Background();
}

std::optional<ui::Colour> HeadlessDesktop::LayeredKey(ui::WindowPeer& window) const {
    return AsHeadless(window).LayeredKey();
}

std::optional<int> HeadlessDesktop::LayeredAlpha(ui::WindowPeer& window) const {
    return AsHeadless(window).LayeredAlpha();
}

std::optional<std::uint32_t> HeadlessDesktop::LayeredFlags(ui::WindowPeer& window) const {
    return AsHeadless(window).LayeredFlags();
}

Text HeadlessDesktop::MenuItemText(ui::WindowPeer& window, const Text& caption) const {
    return AsHeadless(window).MenuImpl().DisplayText(caption);
}

std::optional<ui::Colour> HeadlessDesktop::TextColour(ui::ControlPeer& control) const {
    return AsHeadless(control).TextColour();
}

std::optional<ui::Colour> HeadlessDesktop::BackColour(ui::ControlPeer& control) const {
    return AsHeadless(control).BackColour();
}

std::optional<Text> HeadlessDesktop::ClipboardText() const {
    if (!core_->clipboardHasText) return std::nullopt;
    return text::FromUtf16(core_->clipboard);
}

ui::WindowPeer* HeadlessDesktop::FindOpenWindow(const Text& name) const {
    for (auto it = core_->windows.rbegin(); it != core_->windows.rend(); ++it) {
        if (it->second->IsOpen() && it->second->Definition().name == name) return it->second;
    }
    return nullptr;
}

int HeadlessDesktop::OpenWindowCount() const {
    int count = 0;
    for (const auto& entry : core_->windows) count += entry.second->IsOpen() ? 1 : 0;
    return count;
}

ui::AutomationQueues& HeadlessDesktop::Queues() {
    return core_->queues;
}

int HeadlessDesktop::ModalDepth() const {
    return core_->modal.Depth();
}

}  // namespace platform
