#pragma once
// Per-run state shared by the main-window operations. Nothing here is
// written to disk; settings are read from Start.ini when needed.
#include <optional>

#include "platform/window/peer.h"
#include "text/text.h"

namespace app {

enum class Page { Directory, DocumentList, Editor };

struct SessionState {
    Page CurrentPage = Page::Directory;
    Text CurrentDirectory;
    int DocumentCount = 0;
    int DirectoryCount = 0;
    bool PlainModeChosen = false;
    // The key of every protected byte, held only once this run has unlocked
    // or set a password (the empty text is a valid key). Num1 can turn "1"
    // under a run that holds none (another copy set a password, or the file
    // was edited); then nothing is encrypted or decrypted.
    std::optional<Text> SessionKey;
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
