#include "commands/find_replace.h"

#include <algorithm>

#include "ui/windows/find_replace_window.h"

namespace commands {
namespace {

constexpr const char* kNoText = "未输入文本!";
constexpr const char* kNoMatch = "无匹配项!";
constexpr const char* kMatched = "匹配成功!";
constexpr const char* kReplaced = "替换完成!";

// The caption doubles as the window's status line. (Setting the caption of
// a top-level window costs a round trip to the display; repeating the same
// status changes nothing.)
void Report(ui::FindReplaceWindow& window, const char* status) {
    if (window.GetCaption() != status) window.SetCaption(status);
}

// Empty search box: nothing to search for.
bool RefuseEmpty(ui::FindReplaceWindow& window, const Text& what) {
    if (!what.empty()) return false;
    Report(window, kNoText);
    window.编辑框1.Focus();
    return true;
}

void CaretToStart(const ui::RichEdit& editor) {
    editor.SetSelection(0, 0);
}

// Find and Find next differ only in where the search begins: at the
// selection start, or one position after it.
void Find(app::App& app, ui::FindReplaceWindow& window, int offset) {
    const ui::RichEdit& editor = app.main.超级编辑框1;
    const Text what = window.编辑框1.GetText();
    if (RefuseEmpty(window, what)) return;
    const int length = SearchLengthInPositions(what);
    const int found =
        editor.FindForward(what, editor.SelectionStart() + offset, window.选择框1.IsChecked());
    if (found < 0) {
        CaretToStart(editor);
        Report(window, kNoMatch);
    } else {
        editor.SetSelection(found, length);
        Report(window, kMatched);
    }
    editor.Focus();
}

// Acts only on an occurrence a preceding Find has selected.
void Replace(app::App& app, ui::FindReplaceWindow& window) {
    const ui::RichEdit& editor = app.main.超级编辑框1;
    const Text what = window.编辑框1.GetText();
    if (RefuseEmpty(window, what)) return;
    if (editor.SelectedText() != what) {
        CaretToStart(editor);
        Report(window, kNoMatch);
        editor.Focus();
        return;
    }
    editor.ReplaceSelection(window.编辑框2.GetText());
    Report(window, kReplaced);
}

// The replacements one by one in the editor, as the user would make them.
void ReplaceOneByOne(const ui::RichEdit& editor, const Text& what, const Text& replacement) {
    const int length = SearchLengthInPositions(what);
    int start = 0;
    editor.SetSelection(0, 0);
    // Drawn once at the end: each replacement drawn on its own costs the
    // real control milliseconds, many seconds for thousands of them.
    editor.SetRedraw(false);
    for (;;) {
        // Always case-sensitive, whatever the check box says.
        const int found = editor.FindForward(what, start, true);
        if (found < 0) break;
        editor.SetSelection(found, length);
        if (editor.SelectedText() == what) {
            // "替换完成!" would stand in the caption only until the search
            // that ends every run replaces it with "无匹配项!"; it is never
            // seen, so it is not written thousands of times.
            editor.ReplaceSelection(replacement);
            // Continue after the inserted text, so a replacement that
            // contains the search text is never searched again.
            start = editor.SelectionStart();
        } else {
            // An occurrence the control found but whose text reads back
            // differently is stepped over; searching from the same place
            // again would find it forever.
            start = found + 1;
        }
    }
    editor.SetRedraw(true);
}

// Each edit costs Wine's rich edit time in proportion to the lines of the
// whole text (it renumbers every following paragraph), so thousands of them
// in a long note take minutes. Above this many matches times lines the new
// text is computed here and put in at once (a new text has nothing to undo).
constexpr long long kOneByOneBudget = 2'000'000;

void ReplaceAll(app::App& app, ui::FindReplaceWindow& window) {
    const ui::RichEdit& editor = app.main.超级编辑框1;
    const Text what = window.编辑框1.GetText();
    if (RefuseEmpty(window, what)) return;
    const Text replacement = window.编辑框2.GetText();
    const Text current = editor.GetText();
    int count = 0;
    Text replaced = ReplaceEvery(current, what, replacement, count);
    const long long lines = std::count(current.begin(), current.end(), '\n') + 1;
    if (count > 0 && count * lines > kOneByOneBudget) {
        editor.SetText(replaced);
    } else {
        ReplaceOneByOne(editor, what, replacement);
    }
    CaretToStart(editor);
    Report(window, kNoMatch);
    editor.Focus();
}

// Replacing is offered only while matching is case-sensitive.
void CaseClicked(ui::FindReplaceWindow& window) {
    const bool on = window.选择框1.IsChecked();
    window.按钮2.SetEnabled(on);
    window.按钮3.SetEnabled(on);
    window.编辑框2.SetEnabled(on);
    window.编辑框2.SetText("");
}

}  // namespace

int SearchLengthInPositions(std::string_view bytes) {
    int count = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        if (bytes[i] == '\r' && i + 1 < bytes.size()) {
            ++count;
            i += 2;
            continue;
        }
        // The editor counts UTF-16 units: a character beyond the Basic
        // Multilingual Plane (four bytes here) is two positions.
        const std::size_t length = text::CharLength(bytes, i);
        count += static_cast<int>(text::ToUtf16(bytes.substr(i, length)).size());
        i += length;
    }
    return count;
}

Text ReplaceEvery(std::string_view text, std::string_view what, std::string_view by, int& count) {
    count = 0;
    Text out;
    if (what.empty()) return Text(text);
    out.reserve(text.size());
    const bool endsInCr = what.back() == '\r';
    for (std::size_t pos = 0; pos < text.size();) {
        const bool match =
            text.compare(pos, what.size(), what) == 0 && text[pos] != '\n' &&
            !(endsInCr && pos + what.size() < text.size() && text[pos + what.size()] == '\n');
        if (match) {
            out += by;
            pos += what.size();
            ++count;
        } else {
            const std::size_t length = text::CharLength(text, pos);
            out.append(text, pos, length);
            pos += length;
        }
    }
    return out;
}

void OpenFindReplace(app::App& app) {
    if (app.findReplace && app.findReplace->IsOpen()) {
        app.findReplace->Focus();
        app.findReplace->编辑框1.Focus();
        return;
    }
    // Created anew each time: empty boxes, case-sensitive, replacing on.
    app.findReplace = std::make_unique<ui::FindReplaceWindow>();
    ui::FindReplaceWindow* w = app.findReplace.get();
    w->Create(app.desktop(), &app.main.Peer());
    app::App* a = &app;
    w->按钮5.OnClick([a, w] { Find(*a, *w, 0); });
    w->按钮1.OnClick([a, w] { Find(*a, *w, 1); });
    w->按钮2.OnClick([a, w] { Replace(*a, *w); });
    w->按钮3.OnClick([a, w] { ReplaceAll(*a, *w); });
    w->选择框1.OnClick([w] { CaseClicked(*w); });
    w->按钮4.OnClick([w] { w->Close(); });
    w->Peer().Show();
    w->编辑框1.Focus();
}

}  // namespace commands
