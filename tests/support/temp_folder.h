#pragma once
// A fresh, empty program folder for one test, removed with everything in it
// when the test ends, and the platform's Files working on it.
#include <memory>

#include "platform/files.h"
#include "text/text.h"

namespace testing_support {

struct TempFolder {
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder as the program sees it: GBK, no trailing separator. Its name
    // holds Chinese characters, as a user's program folder may.
    Text path;
};

// The Files of this build (Win32Files or PosixFiles) with `folder` as the
// program folder.
std::unique_ptr<platform::Files> MakeFiles(const TempFolder& folder);

// Gives a file or folder the hidden and system attributes. Linux has no such
// attributes; there it only checks that the path exists.
bool MarkHidden(const Text& path);

// Removes an empty folder, as the user might outside the program.
bool RemoveEmptyFolder(const Text& path);

// Makes an existing file one that a directory search finds but that cannot be
// opened, until the hold is destroyed and the file is as before: on Windows
// another handle holds it without sharing; on Linux (where tests may run as
// root, whom permissions do not stop) the name becomes a symbolic link to
// itself and the file waits beside it.
class FileHold {
  public:
    virtual ~FileHold() = default;
};
std::unique_ptr<FileHold> HoldUnreadable(const Text& path);

}  // namespace testing_support
