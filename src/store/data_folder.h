#pragma once
// The data root beside the program: one folder per document directory, one
// file per document. PlainMode documents end in ".txt", PasswordMode ones in
// ".rc"; each mode sees only its own kind.
#include <vector>

#include "platform/files.h"

namespace store {

enum class Mode { Plain, Password };

Text DataRoot(platform::Files& files);  // program folder + "\Default"
Text DirectoryPath(platform::Files& files, const Text& directory);
Text DocumentExtension(Mode mode);
Text DocumentPath(platform::Files& files, const Text& directory, const Text& title, Mode mode);

// Names in the order the file system returns them; never sorted here.
std::vector<Text> ListDirectories(platform::Files& files);
std::vector<Text> ListDocuments(platform::Files& files, const Text& directory, Mode mode);

// The file's bytes (decrypted with the key in PasswordMode) up to the first
// zero byte; a file that cannot be read gives the empty text.
Text ReadDocument(platform::Files& files, const Text& directory, const Text& title, Mode mode,
                  const Text& sessionKey);

// The bytes a document file holds for the given text.
std::string DocumentFileBytes(const Text& content, Mode mode, const Text& sessionKey);

Text DirectoryStatusText(int count, Mode mode);
Text DocumentListStatusText(const Text& directory, int count, Mode mode);

// A name the user typed can stand as one file name in its folder: not empty,
// not "." or "..", no path separators, wildcards, reserved characters or
// control characters, and no trailing dot or blank that Windows would strip.
bool IsSingleFileName(const Text& name);

}  // namespace store
