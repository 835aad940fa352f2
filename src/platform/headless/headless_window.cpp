// Headless windows: outer and client geometry, visibility, the close box,
// layered attributes and the controls built from the definition.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/headless/headless_internal.h"

namespace platform::headless {

void Fail(const char* what, const Text& name) {
    std::fprintf(stderr, "headless desktop: %s: %s\n", what, text::ToUtf8(name).c_str());
    std::abort();
}

HeadlessWindow* DesktopCore::Find(std::uint64_t serial) const {
    const auto it = windows.find(serial);
    return it == windows.end() ? nullptr : it->second;
}

std::vector<ui::WindowId> DesktopCore::OpenWindows() {
    std::vector<ui::WindowId> open;
    for (const auto& [serial, window] : windows) {
        if (window->IsOpen()) open.push_back(serial);
    }
    return open;
}

bool DesktopCore::IsOn(ui::WindowId window) {
    const HeadlessWindow* peer = Find(window);
    return peer != nullptr && peer->WindowEnabled();
}

void DesktopCore::Switch(ui::WindowId window, bool on) {
    if (HeadlessWindow* peer = Find(window)) peer->SetWindowEnabled(on);
}

void DesktopCore::SetFocus(std::uint64_t window, int control) {
    if (focusWindow != window) {
        if (HeadlessWindow* left = Find(focusWindow)) left->RememberFocus(focusControl);
    }
    focusWindow = window;
    focusControl = control;
}

HeadlessWindow& AsHeadless(ui::WindowPeer& window) {
    auto* headless = dynamic_cast<HeadlessWindow*>(&window);
    if (headless == nullptr) Fail("not a headless window", window.Definition().name);
    return *headless;
}

HeadlessControl& AsHeadless(ui::ControlPeer& control) {
    auto* headless = dynamic_cast<HeadlessControl*>(&control);
    if (headless == nullptr) Fail("not a headless control", control.Definition().name);
    return *headless;
}

namespace {

int IndexOfControl(const ui::WindowDef& def, const Text& name) {
    for (std::size_t i = 0; i < def.controls.size(); ++i) {
        if (def.controls[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

HeadlessWindow::HeadlessWindow(std::shared_ptr<DesktopCore> core, const ui::WindowDef& def,
                               HeadlessWindow* owner)
    : core_(std::move(core)),
      def_(def),
      serial_(core_->nextSerial++),
      ownerSerial_(owner != nullptr ? owner->Serial() : 0),
      menu_(*this, def.menu),
      caption_(def.caption),
      // Centred on the screen until the program places it.
      outer_{std::max(0, (core_->screen.width - def.width) / 2),
             std::max(0, (core_->screen.height - def.height) / 2), def.width, def.height},
      background_(def.background),
      exStyle_(def.border == ui::Border::None ? 0 : kExStyleWindowEdge) {
    core_->windows[serial_] = this;
    controls_.reserve(def.controls.size());
    for (std::size_t i = 0; i < def.controls.size(); ++i) {
        const ui::ControlDef& control = def.controls[i];
        for (std::size_t j = 0; j < i; ++j) {
            if (def.controls[j].name == control.name) Fail("control defined twice", control.name);
        }
        int parent = -1;
        if (!control.parent.empty()) {
            parent = IndexOfControl(def, control.parent);
            if (parent < 0 ||
                def.controls[static_cast<std::size_t>(parent)].kind != ui::ControlKind::GroupBox) {
                Fail("parent is not a group box of the window", control.parent);
            }
        }
        controls_.push_back(
            std::make_unique<HeadlessControl>(*this, static_cast<int>(i), control, parent));
    }
}

HeadlessWindow::~HeadlessWindow() {
    Close();
    core_->windows.erase(serial_);
}

ui::ControlPeer& HeadlessWindow::Control(const Text& name) {
    const int index = IndexOfControl(def_, name);
    if (index < 0) Fail("no such control in the window", name);
    return *controls_[static_cast<std::size_t>(index)];
}

Text HeadlessWindow::GetCaption() {
    return open_ ? caption_ : Text();
}

void HeadlessWindow::SetCaption(const Text& caption) {
    if (open_) caption_ = caption;
}

ui::Rect HeadlessWindow::GetOuterRect() {
    return open_ ? outer_ : ui::Rect{};
}

void HeadlessWindow::SetOuterSize(int width, int height) {
    Resize(width, height);
}

void HeadlessWindow::SetOuterPosition(int left, int top) {
    if (!open_) return;
    outer_.left = left;
    outer_.top = top;
}

ui::Size HeadlessWindow::GetClientSize() {
    if (!open_) return {};
    const bool captioned = def_.border != ui::Border::None;
    int width = outer_.width - (captioned ? kCaptionFrameWidth : kThinFrameWidth);
    int height = outer_.height - (captioned ? kCaptionFrameHeight : kThinFrameHeight);
    if (!def_.menu.empty()) height -= kMenuBarHeight;
    return {width < 0 ? 0 : width, height < 0 ? 0 : height};
}

void HeadlessWindow::Resize(int width, int height) {
    if (!open_) return;
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    // Like SetWindowPos: no WM_SIZE when nothing changed.
    if (width == outer_.width && height == outer_.height) return;
    outer_.width = width;
    outer_.height = height;
    if (!sizeHandler_) return;
    const std::function<void()> handler = sizeHandler_;
    handler();
}

void HeadlessWindow::ResizeAsUser(int width, int height) {
    Resize(width, height);
}

void HeadlessWindow::SetBackColour(ui::Colour colour) {
    if (open_) background_ = colour;
}

void HeadlessWindow::Show() {
    if (!open_) return;
    shown_ = true;
    Focus();  // showing activates the window
}

void HeadlessWindow::Focus() {
    // Activating a window leaves the focus on a control of it that has it.
    if (!open_ || core_->focusWindow == serial_) return;
    core_->SetFocus(serial_, lastFocus_);
}

void HeadlessWindow::Close() {
    if (!open_) return;
    // DestroyWindow takes the windows this one owns with it, first.
    std::vector<std::uint64_t> owned;
    for (const auto& [serial, window] : core_->windows) {
        if (window->OwnerSerial() == serial_ && window->IsOpen()) owned.push_back(serial);
    }
    for (std::uint64_t serial : owned) {
        if (HeadlessWindow* window = core_->Find(serial)) window->Close();
    }
    open_ = false;
    shown_ = false;
    for (auto& control : controls_) control->Detach();
    if (core_->focusWindow == serial_) {
        core_->focusWindow = 0;
        core_->focusControl = -1;
    }
}

void HeadlessWindow::CloseAsUser() {
    if (!open_) return;
    if (!closeHandler_) {
        Close();
        return;
    }
    // The handler may destroy this peer; find the window again afterwards.
    const std::shared_ptr<DesktopCore> core = core_;
    const std::uint64_t serial = serial_;
    const std::function<bool()> handler = closeHandler_;
    if (!handler()) return;
    if (HeadlessWindow* window = core->Find(serial)) window->Close();
}

void HeadlessWindow::UserKey(ui::ShortcutKey key) {
    if (!WindowEnabled()) return;
    HeadlessControl* focused = core_->focusWindow == serial_ && core_->focusControl >= 0
                                   ? controls_[static_cast<std::size_t>(core_->focusControl)].get()
                                   : nullptr;
    // The same order as the Win32 message loop: the box's editing keys, the
    // shortcuts, Tab, then the focused control and the default button.
    if (focused != nullptr &&
        ui::EditKeyFor(focused->Definition().kind, key) != ui::EditKey::None) {
        focused->UserKey(key);
        return;
    }
    if (menu_.Press(key)) return;
    if (key.key == ui::kKeyTab && !key.ctrl && (focused == nullptr || !focused->WantsTab())) {
        MoveFocusByTab(key.shift);
        return;
    }
    if (focused != nullptr && focused->UserKey(key)) return;
    if (key.ctrl) return;
    if (key.key == ui::kKeyEscape && def_.menu.empty()) {
        CloseAsUser();  // a dialog closes as by its close box
    } else if (key.key == ui::kKeyEnter) {
        for (auto& control : controls_) {
            if (!control->Definition().isDefault) continue;
            if (control->IsVisible()) control->UserClick();
            return;
        }
    }
}

void HeadlessWindow::MoveFocusByTab(bool backwards) {
    const int count = ControlCount();
    const int from = core_->focusWindow == serial_ ? core_->focusControl : -1;
    for (int step = 1; step <= count; ++step) {
        int index = from < 0 ? (backwards ? count - step : step - 1)
                             : (from + (backwards ? count - step : step)) % count;
        if (ControlAt(index).TakesFocusByTab()) return;
    }
}

void HeadlessWindow::SetExStyle(std::uint32_t style) {
    if (!open_) return;
    exStyle_ = style;
    if (!(style & ui::kExStyleLayered)) {
        // Leaving the layered state drops its attributes, as Windows does.
        layeredKey_.reset();
        layeredAlpha_.reset();
        layeredFlags_.reset();
    }
}

void HeadlessWindow::SetLayeredAttributes(ui::Colour key, int alpha, std::uint32_t flags) {
    // SetLayeredWindowAttributes fails on a window that is not layered.
    if (!open_ || !(exStyle_ & ui::kExStyleLayered)) return;
    layeredKey_ = key;
    layeredAlpha_ = alpha;
    layeredFlags_ = flags;
}

void HeadlessWindow::SetSizeHandler(std::function<void()> handler) {
    sizeHandler_ = std::move(handler);
}

void HeadlessWindow::SetCloseHandler(std::function<bool()> handler) {
    closeHandler_ = std::move(handler);
}

}  // namespace platform::headless
