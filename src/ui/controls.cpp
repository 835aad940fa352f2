#include "ui/controls.h"

namespace ui {

void ControlHandle::SetLeft(int left) const {
    Rect r = GetRect();
    r.left = left;
    SetRect(r);
}

void ControlHandle::SetTop(int top) const {
    Rect r = GetRect();
    r.top = top;
    SetRect(r);
}

void ControlHandle::SetWidth(int width) const {
    Rect r = GetRect();
    r.width = width;
    SetRect(r);
}

void ControlHandle::SetHeight(int height) const {
    Rect r = GetRect();
    r.height = height;
    SetRect(r);
}

void ControlHandle::SetFontFace(const Text& face) const {
    Font font = GetFont();
    font.face = face;
    SetFont(font);
}

Text ListBox::SelectedText() const {
    const int index = Selected();
    return index < 0 ? Text() : ItemText(index);
}

int RichEdit::SelectionStart() const {
    int start = 0, length = 0;
    Peer().GetSelection(start, length);
    return start;
}

int RichEdit::SelectionLength() const {
    int start = 0, length = 0;
    Peer().GetSelection(start, length);
    return length;
}

void Window::Build(platform::Desktop& desktop, const WindowDef& def, WindowPeer* owner) {
    peer_ = desktop.CreateWindowFromDef(def, owner);
}

}  // namespace ui
