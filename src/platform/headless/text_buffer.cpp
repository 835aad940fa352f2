#include "platform/headless/text_buffer.h"

#include <algorithm>

namespace platform::headless {

char16_t FoldCase(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
    if (c < 0x80) return c;
    // Latin-1: À..Þ except ×.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);
    // Greek capitals Α..Ω (U+03A2 is unassigned).
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return static_cast<char16_t>(c + 0x20);
    // Cyrillic: Ѐ..Џ and А..Я.
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);
    if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 0x20);
    // Full-width Ａ..Ｚ.
    if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<char16_t>(c + 0x20);
    return c;
}

int CompareFolded(std::u16string_view a, std::u16string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t x = FoldCase(a[i]), y = FoldCase(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::u16string ToParagraphs(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            out.push_back(u'\r');
            if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else if (text[i] == u'\n') {
            out.push_back(u'\r');
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::u16string ToCrLf(std::u16string_view paragraphs) {
    std::u16string out;
    out.reserve(paragraphs.size() + paragraphs.size() / 8);
    for (char16_t c : paragraphs) {
        out.push_back(c);
        if (c == u'\r') out.push_back(u'\n');
    }
    return out;
}

std::u16string TextBuffer::ToStored(std::u16string_view text) const {
    return kind_ == Kind::Rich ? ToParagraphs(text) : std::u16string(text);
}

void TextBuffer::SetText(std::u16string_view text) {
    content_ = ToStored(text);
    anchor_ = caret_ = 0;
    typing_ = false;
    undo_.clear();
}

std::u16string TextBuffer::Text() const {
    return kind_ == Kind::Rich ? ToCrLf(content_) : content_;
}

void TextBuffer::Select(int start, int length) {
    typing_ = false;
    const int size = Length();
    if (start == 0 && length == -1) {
        anchor_ = 0;
        caret_ = size;
        return;
    }
    if (start < 0) {
        // The selection goes; the caret stays where it was.
        anchor_ = caret_;
        return;
    }
    long long end = static_cast<long long>(start) + length;
    if (end < 0) end = size;
    anchor_ = std::min(start, size);
    caret_ = static_cast<int>(std::min<long long>(end, size));
}

std::u16string TextBuffer::SelectedStored() const {
    return content_.substr(static_cast<std::size_t>(SelectionStart()),
                           static_cast<std::size_t>(SelectionLength()));
}

std::u16string TextBuffer::SelectedText() const {
    return kind_ == Kind::Rich ? ToCrLf(SelectedStored()) : SelectedStored();
}

void TextBuffer::Remember() {
    Snapshot snapshot{content_, anchor_, caret_};
    if (kind_ == Kind::Edit) {
        undo_.assign(1, std::move(snapshot));
        return;
    }
    if (undo_.size() == kRichUndoLimit) undo_.erase(undo_.begin());
    undo_.push_back(std::move(snapshot));
}

void TextBuffer::ReplaceSelection(std::u16string_view value, bool typing) {
    const std::u16string stored = ToStored(value);
    if (stored.empty() && SelectionLength() == 0) return;
    if (!(typing && typing_)) Remember();
    const int start = SelectionStart();
    content_.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(SelectionLength()),
                     stored);
    anchor_ = caret_ = start + static_cast<int>(stored.size());
    typing_ = typing;
}

void TextBuffer::DeleteBackward() {
    if (SelectionLength() == 0) {
        const int caret = caret_;
        if (caret == 0) return;
        int from = caret - 1;
        const char16_t last = content_[static_cast<std::size_t>(from)];
        if (from > 0) {
            const char16_t before = content_[static_cast<std::size_t>(from - 1)];
            const bool pair =
                last >= 0xDC00 && last <= 0xDFFF && before >= 0xD800 && before <= 0xDBFF;
            const bool crlf = kind_ == Kind::Edit && last == u'\n' && before == u'\r';
            if (pair || crlf) --from;
        }
        anchor_ = from;
    }
    const bool wasTyping = typing_;
    ReplaceSelection(std::u16string_view(), wasTyping);
    typing_ = true;
}

bool TextBuffer::CanUndo() const {
    return !undo_.empty();
}

void TextBuffer::Undo() {
    typing_ = false;
    if (undo_.empty()) return;
    Snapshot snapshot = std::move(undo_.back());
    undo_.pop_back();
    if (kind_ == Kind::Edit) {
        // An edit box's undo is itself undoable: a second undo redoes.
        undo_.push_back(Snapshot{content_, anchor_, caret_});
    }
    content_ = std::move(snapshot.content);
    anchor_ = snapshot.anchor;
    caret_ = snapshot.caret;
}

int TextBuffer::Find(std::u16string_view what, int start, bool matchCase) const {
    if (what.empty()) return -1;
    if (start < 0) start = 0;
    const std::size_t size = content_.size();
    if (what.size() > size) return -1;
    for (std::size_t p = static_cast<std::size_t>(start); p + what.size() <= size; ++p) {
        bool equal = true;
        for (std::size_t i = 0; i < what.size() && equal; ++i) {
            const char16_t a = content_[p + i], b = what[i];
            equal = matchCase ? a == b : FoldCase(a) == FoldCase(b);
        }
        if (equal) return static_cast<int>(p);
    }
    return -1;
}

}  // namespace platform::headless
