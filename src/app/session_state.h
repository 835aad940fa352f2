#pragma once
// Per-run state shared by the main-window operations. Nothing here is
// written to disk; settings are read from Start.ini when needed.
#include "text/text.h"
#include "ui/peer.h"

namespace app {

enum class Page { Directory, DocumentList, Editor };

struct SessionState {
    Page CurrentPage = Page::Directory;
    Text CurrentDirectory;
    int DocumentCount = 0;
    int DirectoryCount = 0;
    bool PlainModeChosen = false;
    Text SessionKey;
    int DirectoryIconIndex = 0;
    int Opacity = 255;
    bool LayoutReady = false;
};

// The editor's default character format, applied by the appearance refresh.
struct EditorRecord {
    Text face = "宋体";
    int pointSize = 9;
    int offset = 0;
    int effects = 0;                   // bit 0 bold, bit 1 italic
    std::optional<ui::Colour> colour;  // automatic until set
};

}  // namespace app
