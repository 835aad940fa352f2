// Headless controls: every kind's state, the rules of the real controls
// (sorted list boxes, selection notifications, byte-limited edit boxes, a
// rich edit that counts one position per line break) and the user's actions.
#include <algorithm>

#include "platform/headless/headless_internal.h"
#include "platform/window/byte_limit.h"

namespace platform::headless {

HeadlessControl::HeadlessControl(HeadlessWindow& window, int index, const ui::ControlDef& def,
                                 int parentIndex)
    : window_(window),
      index_(index),
      def_(def),
      parentIndex_(parentIndex),
      clientRect_{def.left, def.top, def.width, def.height},
      visible_(def.visible),
      enabled_(!def.disabled),
      buffer_(def.kind == ui::ControlKind::RichEdit ? TextBuffer::Kind::Rich
                                                    : TextBuffer::Kind::Edit),
      font_(def.font),
      textColour_(def.textColour),
      backColour_(def.backColour),
      checked_(def.checked),
      position_(0),
      period_(def.kind == ui::ControlKind::Timer && def.timerPeriod > 0 ? def.timerPeriod : 0) {
    if (parentIndex_ >= 0) {
        // Placed on the window itself, offset by the group box's position.
        ui::Rect origin;
        if (parentIndex_ < index_) {
            origin = window_.ControlAt(parentIndex_).ClientRect();
        } else {
            const ui::ControlDef& group =
                window_.Definition().controls[static_cast<std::size_t>(parentIndex_)];
            origin = {group.left, group.top, 0, 0};
        }
        clientRect_.left += origin.left;
        clientRect_.top += origin.top;
    }
    if (HasBuffer()) {
        buffer_.SetText(text::ToUtf16(def.caption));
    } else {
        text_ = text::ToUtf16(def.caption);
    }
    if (Is(ui::ControlKind::Slider) || Is(ui::ControlKind::ProgressBar)) {
        position_ = ClampPosition(def.position);
    }
    for (const Text& item : def.items) AddItem(item, Is(ui::ControlKind::IconList) ? 0 : -1);
}

bool HeadlessControl::Live() const {
    return window_.IsOpen();
}

bool HeadlessControl::Reachable() const {
    // A modal loop or a message box disables the other windows.
    return Live() && enabled_ && window_.WindowEnabled();
}

ui::Rect HeadlessControl::ParentOrigin() const {
    if (parentIndex_ < 0) return {};
    return window_.ControlAt(parentIndex_).ClientRect();
}

void HeadlessControl::Fire(ui::Event event, int argument) {
    const auto it = handlers_.find(event);
    if (it == handlers_.end() || !it->second) return;
    // A copy: the handler may rebind handlers or destroy the whole window.
    const ui::EventHandler handler = it->second;
    handler(argument);
}

int HeadlessControl::ClampPosition(int position) const {
    if (Is(ui::ControlKind::ProgressBar)) return std::clamp(position, 0, 100);
    const int low = std::min(def_.rangeMin, def_.rangeMax);
    const int high = std::max(def_.rangeMin, def_.rangeMax);
    return std::clamp(position, low, high);
}

// Every visual kind.

Text HeadlessControl::GetText() {
    if (!Live()) return Text();
    return text::FromUtf16(HasBuffer() ? buffer_.Text() : text_);
}

void HeadlessControl::SetText(const Text& value) {
    if (!Live()) return;
    if (HasBuffer()) {
        buffer_.SetText(text::ToUtf16(value));
    } else {
        text_ = text::ToUtf16(value);
    }
}

bool HeadlessControl::IsVisible() {
    return Live() && ui::IsVisualKind(def_.kind) && visible_;
}

void HeadlessControl::SetVisible(bool visible) {
    if (Live()) visible_ = visible;
}

bool HeadlessControl::IsEnabled() {
    return Live() && enabled_;
}

void HeadlessControl::SetEnabled(bool enabled) {
    if (Live()) enabled_ = enabled;
}

ui::Rect HeadlessControl::GetRect() {
    if (!Live()) return {};
    const ui::Rect origin = ParentOrigin();
    return {clientRect_.left - origin.left, clientRect_.top - origin.top, clientRect_.width,
            clientRect_.height};
}

void HeadlessControl::SetRect(const ui::Rect& rect) {
    if (!Live()) return;
    const ui::Rect origin = ParentOrigin();
    clientRect_ = {rect.left + origin.left, rect.top + origin.top, rect.width, rect.height};
}

ui::Font HeadlessControl::GetFont() {
    return Live() ? font_ : ui::Font{};
}

void HeadlessControl::SetFont(const ui::Font& font) {
    if (Live()) font_ = font;
}

void HeadlessControl::SetTextColour(ui::Colour colour) {
    if (Live()) textColour_ = colour;
}

void HeadlessControl::SetBackColour(ui::Colour colour) {
    if (Live()) backColour_ = colour;
}

void HeadlessControl::Focus() {
    if (!Live() || !ui::IsVisualKind(def_.kind)) return;
    window_.Core().SetFocus(window_.Serial(), index_);
}

bool HeadlessControl::HasFocus() {
    return Live() && window_.Core().focusWindow == window_.Serial() &&
           window_.Core().focusControl == index_;
}

int HeadlessControl::GetTextIndent() {
    return Live() && Is(ui::ControlKind::Edit) ? textIndent_ : 0;
}

void HeadlessControl::SetTextIndent(int pixels) {
    if (Live() && Is(ui::ControlKind::Edit)) textIndent_ = std::max(pixels, 0);
}

// List box and icon list.

int HeadlessControl::AddItem(const Text& text, int image) {
    if (!IsList()) return -1;
    Item item{text::ToUtf16(text), image};
    int at = static_cast<int>(items_.size());
    if (Is(ui::ControlKind::ListBox) && def_.sorted) {
        // After every item that sorts equal or before: equal items keep
        // the order they were added in.
        const auto it = std::upper_bound(
            items_.begin(), items_.end(), item,
            [](const Item& a, const Item& b) { return CompareFolded(a.text, b.text) < 0; });
        at = static_cast<int>(it - items_.begin());
    }
    items_.insert(items_.begin() + at, std::move(item));
    // The selected item stays selected when something lands before it.
    if (selection_ >= at) ++selection_;
    return at;
}

void HeadlessControl::AddItems(const std::vector<Text>& texts, int image) {
    if (!IsList()) return;
    const std::size_t before = items_.size();
    for (const Text& text : texts) items_.push_back(Item{text::ToUtf16(text), image});
    if (!Is(ui::ControlKind::ListBox) || !def_.sorted) return;
    // A stable merge puts every item where AddItem would have, one by one.
    const auto less = [](const Item& a, const Item& b) {
        return CompareFolded(a.text, b.text) < 0;
    };
    const auto added = items_.begin() + static_cast<std::ptrdiff_t>(before);
    std::stable_sort(added, items_.end(), less);
    if (selection_ >= 0) {
        const Item& selected = items_[static_cast<std::size_t>(selection_)];
        selection_ +=
            static_cast<int>(std::lower_bound(added, items_.end(), selected, less) - added);
    }
    std::inplace_merge(items_.begin(), added, items_.end(), less);
}

int HeadlessControl::ItemCount() {
    return Live() && IsList() ? static_cast<int>(items_.size()) : 0;
}

Text HeadlessControl::ItemText(int index) {
    if (!Live() || index < 0 || index >= static_cast<int>(items_.size())) return Text();
    return text::FromUtf16(items_[static_cast<std::size_t>(index)].text);
}

int HeadlessControl::ItemImage(int index) {
    if (!Live() || !Is(ui::ControlKind::IconList) || index < 0 ||
        index >= static_cast<int>(items_.size())) {
        return -1;
    }
    return items_[static_cast<std::size_t>(index)].image;
}

void HeadlessControl::ClearItems() {
    items_.clear();
    selection_ = -1;
}

int HeadlessControl::Selection() {
    return Live() && IsList() ? selection_ : -1;
}

void HeadlessControl::SetSelection(int index) {
    // LB_SETCURSEL / LVM_SETITEMSTATE: no notification; an index that names
    // no item changes nothing, -1 removes the selection.
    if (!Live() || !IsList()) return;
    if (index < -1 || index >= static_cast<int>(items_.size())) return;
    selection_ = index;
}

void HeadlessControl::SetImageList(const ui::ImageStrip& strip) {
    if (!Live() || !Is(ui::ControlKind::IconList)) return;
    // As ImageList_AddMasked: as many whole cells as the strip is wide.
    const bool usable = strip.cellWidth > 0 && strip.cellHeight > 0 && strip.width > 0 &&
                        strip.height > 0 &&
                        strip.rgba.size() >= static_cast<std::size_t>(strip.width) *
                                                 static_cast<std::size_t>(strip.height);
    imageCount_ = usable ? strip.CellCount() : 0;
}

int HeadlessControl::ImageCount() {
    return Live() ? imageCount_ : 0;
}

// Edit box and rich edit box.

void HeadlessControl::GetSelection(int& start, int& length) {
    start = length = 0;
    if (!Live() || !HasBuffer()) return;
    start = buffer_.SelectionStart();
    length = buffer_.SelectionLength();
}

void HeadlessControl::SetSelectionRange(int start, int length) {
    if (Live() && HasBuffer()) buffer_.Select(start, length);
}

Text HeadlessControl::SelectedText() {
    if (!Live() || !HasBuffer()) return Text();
    return text::FromUtf16(buffer_.SelectedText());
}

void HeadlessControl::ReplaceSelection(const Text& value) {
    if (Live() && HasBuffer()) buffer_.ReplaceSelection(text::ToUtf16(value));
}

int HeadlessControl::FindForward(const Text& what, int start, bool matchCase) {
    if (!Live() || !Is(ui::ControlKind::RichEdit)) return -1;
    return buffer_.Find(buffer_.ToStored(text::ToUtf16(what)), start, matchCase);
}

int HeadlessControl::TextLength() {
    if (!Live()) return 0;
    return HasBuffer() ? buffer_.Length() : static_cast<int>(text_.size());
}

void HeadlessControl::Undo() {
    if (Live() && HasBuffer()) buffer_.Undo();
}

void HeadlessControl::Copy() {
    // A password box never gives its text away.
    if (!Live() || !HasBuffer() || def_.password || buffer_.SelectionLength() == 0) return;
    DesktopCore& core = window_.Core();
    core.clipboard = buffer_.SelectedText();
    core.clipboardHasText = true;
}

void HeadlessControl::Cut() {
    if (!Live() || !HasBuffer() || def_.password || buffer_.SelectionLength() == 0) return;
    Copy();
    buffer_.ReplaceSelection(std::u16string_view());
}

void HeadlessControl::Paste() {
    if (Live() && HasBuffer()) PasteClipboard();
}

void HeadlessControl::PasteClipboard() {
    const DesktopCore& core = window_.Core();
    if (!core.clipboardHasText) return;
    const std::u16string_view value = core.clipboard;
    InsertWithinLimit(Is(ui::ControlKind::Edit) && !def_.multiline ? ui::FirstLine(value) : value,
                      false);
}

bool HeadlessControl::InsertWithinLimit(std::u16string_view value, bool typing) {
    if (!Is(ui::ControlKind::Edit) || def_.byteLimit <= 0) {
        buffer_.ReplaceSelection(value, typing);
        return true;
    }
    const std::size_t kept = ui::BytesOutsideSelection(
        buffer_.Stored(), static_cast<std::size_t>(buffer_.SelectionStart()),
        static_cast<std::size_t>(buffer_.SelectionEnd()));
    const std::u16string_view fits = ui::WithinByteLimit(value, kept, def_.byteLimit);
    if (fits.empty() && !value.empty()) return false;
    buffer_.ReplaceSelection(fits, typing);
    return true;
}

void HeadlessControl::SetDefaultFormat(const ui::CharFormat& format) {
    if (Live() && Is(ui::ControlKind::RichEdit)) defaultFormat_ = format;
}

ui::CharFormat HeadlessControl::GetDefaultFormat() {
    return Live() ? defaultFormat_ : ui::CharFormat{};
}

// Check box, slider, progress bar, colour picker, timer.

bool HeadlessControl::IsChecked() {
    return Live() && Is(ui::ControlKind::CheckBox) && checked_;
}

void HeadlessControl::SetChecked(bool checked) {
    if (Live()) checked_ = checked;
}

int HeadlessControl::GetPosition() {
    return Live() ? position_ : 0;
}

void HeadlessControl::SetPosition(int position) {
    // TBM_SETPOS / PBM_SETPOS: clamped to the range, no notification.
    if (Live() && (Is(ui::ControlKind::Slider) || Is(ui::ControlKind::ProgressBar))) {
        position_ = ClampPosition(position);
    }
}

ui::Colour HeadlessControl::GetColour() {
    return Live() ? colour_ : 0;
}

void HeadlessControl::SetColour(ui::Colour colour) {
    if (Live()) colour_ = colour & 0xFFFFFF;
}

int HeadlessControl::GetPeriod() {
    return Live() ? period_ : 0;
}

void HeadlessControl::SetPeriod(int milliseconds) {
    if (Live() && Is(ui::ControlKind::Timer)) period_ = milliseconds > 0 ? milliseconds : 0;
}

bool HeadlessControl::TimerArmed() const {
    return window_.IsOpen() && def_.kind == ui::ControlKind::Timer && period_ > 0;
}

bool HeadlessControl::DeliverTick() {
    if (!TimerArmed()) return false;
    Fire(ui::Event::Tick, 0);
    return true;
}

std::optional<Text> HeadlessControl::ShowFileDialog(const ui::FileDialogRequest& request) {
    return window_.Core().queues.AnswerFileDialog(request);
}

void HeadlessControl::SetHandler(ui::Event event, ui::EventHandler handler) {
    handlers_[event] = std::move(handler);
}

// The user's actions.

void HeadlessControl::UserClick() {
    if (!Reachable()) return;
    if (Is(ui::ControlKind::CheckBox)) {
        Focus();
        checked_ = !checked_;  // an auto check box toggles before it notifies
        Fire(ui::Event::Click, 0);
    } else if (Is(ui::ControlKind::Button) || Is(ui::ControlKind::ColourPicker)) {
        Focus();  // a pressed button takes the focus
        Fire(ui::Event::Click, 0);
    }
}

void HeadlessControl::TypeUnit(std::u16string_view character, bool& afterCr) {
    const char16_t unit = character[0];
    const bool lf = unit == u'\n';
    const bool skip = lf && afterCr;  // CR LF is one press of Enter
    afterCr = unit == u'\r';
    if (skip) return;
    const bool multiline = Is(ui::ControlKind::RichEdit) || def_.multiline;
    if (unit == u'\b') {
        buffer_.DeleteBackward();
    } else if (unit == u'\r' || lf) {
        if (multiline) InsertWithinLimit(Is(ui::ControlKind::RichEdit) ? u"\r" : u"\r\n", true);
    } else if (unit == u'\t') {
        if (multiline) InsertWithinLimit(character, true);
    } else if (unit >= 0x20) {
        // A character that does not fit the byte limit is refused whole.
        InsertWithinLimit(character, true);
    }
}

void HeadlessControl::UserType(const Text& value) {
    if (!Reachable() || !HasBuffer() || def_.readOnly) return;
    const std::u16string units = text::ToUtf16(value);
    bool afterCr = false;
    for (std::size_t i = 0; i < units.size();) {
        // Key by key: a surrogate pair is one character, CR and LF are two keys.
        const std::size_t n = units[i] == u'\r' ? 1 : ui::CharacterUnits(units, i);
        TypeUnit(std::u16string_view(units).substr(i, n), afterCr);
        i += n;
    }
}

void HeadlessControl::UserPaste(const Text& value) {
    // A control the user cannot reach gets nothing, and the clipboard stays.
    if (!Reachable()) return;
    DesktopCore& core = window_.Core();
    core.clipboard = text::ToUtf16(value);
    core.clipboardHasText = true;
    if (HasBuffer() && !def_.readOnly) PasteClipboard();
}

void HeadlessControl::UserSelect(int index) {
    if (!Reachable()) return;
    if (Is(ui::ControlKind::Slider)) {
        position_ = ClampPosition(index);
        Fire(ui::Event::PositionChanged, position_);
        return;
    }
    if (!IsList()) Fail("nothing to select in this control", def_.name);
    if (index < 0 || index >= static_cast<int>(items_.size())) Fail("no such item in", def_.name);
    if (Is(ui::ControlKind::IconList)) {
        // The list view reports a change of selection only.
        if (selection_ == index) return;
        selection_ = index;
        Fire(ui::Event::Select, index);
        return;
    }
    selection_ = index;
    Fire(ui::Event::Select, index);
}

bool HeadlessControl::WantsTab() const {
    // A box that cannot be typed into never keeps the keyboard.
    return Is(ui::ControlKind::RichEdit) ||
           (Is(ui::ControlKind::Edit) && def_.multiline && !def_.readOnly);
}

bool HeadlessControl::TakesFocusByTab() {
    const bool focusable = ui::IsVisualKind(def_.kind) && !Is(ui::ControlKind::Label) &&
                           !Is(ui::ControlKind::GroupBox) && !Is(ui::ControlKind::ProgressBar);
    if (!focusable || !def_.tabStop || !visible_ || !Reachable()) return false;
    Focus();
    // A text box entered by Tab has its whole text selected.
    if (HasBuffer()) buffer_.Select(0, -1);
    return true;
}

bool HeadlessControl::UserKey(ui::ShortcutKey key) {
    if (!Reachable()) return false;
    switch (ui::EditKeyFor(def_.kind, key)) {
        case ui::EditKey::None:
            break;
        case ui::EditKey::SelectAll:
            buffer_.Select(0, -1);
            return true;
        case ui::EditKey::Copy:
            Copy();
            return true;
        case ui::EditKey::Cut:
            if (!def_.readOnly) Cut();
            return true;
        case ui::EditKey::Paste:
            if (!def_.readOnly) PasteClipboard();
            return true;
        case ui::EditKey::Undo:
            if (!def_.readOnly) buffer_.Undo();
            return true;
    }
    if (key.ctrl) return false;
    if (key.key == ui::kKeyTab || key.key == ui::kKeyEnter) {
        if (IsList() && key.key == ui::kKeyEnter) {
            // Moving through a list by keyboard only marks an item; Enter opens it.
            if (selection_ >= 0) Fire(ui::Event::Select, selection_);
            return true;
        }
        if (Is(ui::ControlKind::Button) && key.key == ui::kKeyEnter) {
            UserClick();
            return true;
        }
        // The multi-line boxes take both as characters.
        if (!WantsTab()) return false;
        bool afterCr = false;
        TypeUnit(key.key == ui::kKeyTab ? u"\t" : u"\r", afterCr);
        return true;
    }
    if (!IsList() || items_.empty()) return false;
    const int last = static_cast<int>(items_.size()) - 1;
    switch (key.key) {
        case ui::kKeyHome:
            selection_ = 0;
            return true;
        case ui::kKeyEnd:
            selection_ = last;
            return true;
        case ui::kKeyUp:
        case ui::kKeyLeft:
            selection_ = std::max(selection_ - 1, 0);
            return true;
        case ui::kKeyDown:
        case ui::kKeyRight:
            selection_ = std::min(selection_ + 1, last);
            return true;
        default:
            return false;
    }
}

void HeadlessControl::UserRightClick() {
    if (Reachable()) Fire(ui::Event::RightButtonDown, 0);
}

}  // namespace platform::headless
