#pragma once
// The text, selection and undo history of an edit box or a rich edit box,
// counted in UTF-16 units as the real controls count them.
//
// An edit box keeps its text as given (a line break is CR LF, two positions)
// and has one level of undo that toggles, as EM_UNDO does. A rich edit box
// keeps one CR per line break (one position), hands its text out with CR LF,
// and undoes step by step through a history of up to 100 actions.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform::headless {

// Letter case folded the way case-insensitive searching and sorting compare:
// ASCII, Latin-1, Greek, Cyrillic and full-width Latin letters map to lower
// case; everything else is itself.
char16_t FoldCase(char16_t unit);
// <0, 0, >0 comparing the folded texts unit by unit.
int CompareFolded(std::u16string_view a, std::u16string_view b);

// CR LF, a lone CR and a lone LF each become one CR.
std::u16string ToParagraphs(std::u16string_view text);
// Every CR becomes CR LF.
std::u16string ToCrLf(std::u16string_view paragraphs);

class TextBuffer {
  public:
    enum class Kind { Edit, Rich };
    static constexpr std::size_t kRichUndoLimit = 100;

    explicit TextBuffer(Kind kind) : kind_(kind) {}

    // Replaces the whole text as WM_SETTEXT does: caret at 0, history dropped.
    void SetText(std::u16string_view text);
    // The text as the control hands it out (rich edit: CR LF line breaks).
    std::u16string Text() const;
    const std::u16string& Stored() const { return content_; }
    int Length() const { return static_cast<int>(content_.size()); }

    int SelectionStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
    int SelectionEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }
    int SelectionLength() const { return SelectionEnd() - SelectionStart(); }
    // EM_SETSEL / EM_EXSETSEL from `start` to `start + length`: (0, -1)
    // selects everything, a negative start removes the selection, an end
    // below zero means the end of the text, positions are clamped to the text.
    void Select(int start, int length);
    // The selection as the control hands it out, and as stored.
    std::u16string SelectedText() const;
    std::u16string SelectedStored() const;

    // Replaces the selection (an insertion when it is empty) and leaves the
    // caret after the new text. The value is converted to the stored form.
    // Typing continues the current typing action in the undo history;
    // everything else starts a new action.
    void ReplaceSelection(std::u16string_view value, bool typing = false);
    // Backspace: removes the selection, or the character before the caret
    // (a surrogate pair, and in an edit box a CR LF pair, as one).
    void DeleteBackward();

    bool CanUndo() const;
    void Undo();

    // The first occurrence of `what` at or after `start` within the whole
    // text, or -1. `what` is given in the stored form.
    int Find(std::u16string_view what, int start, bool matchCase) const;

    // Converts text from outside (CR LF line breaks) to the stored form.
    std::u16string ToStored(std::u16string_view text) const;

  private:
    struct Snapshot {
        std::u16string content;
        int anchor = 0, caret = 0;
    };
    void Remember();

    Kind kind_;
    std::u16string content_;
    int anchor_ = 0, caret_ = 0;
    bool typing_ = false;         // the last action was typing
    std::vector<Snapshot> undo_;  // edit box: at most one, swapped by Undo
};

}  // namespace platform::headless
