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

// What reading a document found: the file's bytes (decrypted with the key in
// PasswordMode) up to the first zero byte. A file that is not there gives the
// empty text; one that is there but cannot be read (held by another program,
// no permission, a read error) gives the empty text and `unreadable`, so that
// the empty editor is never taken for its content.
struct DocumentText {
    Text text;
    bool unreadable = false;
};
DocumentText ReadDocument(platform::Files& files, const Text& directory, const Text& title,
                          Mode mode, const Text& sessionKey);

// The bytes a document file holds for the given text.
std::string DocumentFileBytes(const Text& content, Mode mode, const Text& sessionKey);

// Two paths name the same file as Windows compares them: ASCII letters in
// either case, \ and / alike. The second byte of a double-byte character is
// never folded.
bool SamePath(const Text& a, const Text& b);

Text DirectoryStatusText(int count, Mode mode);
Text DocumentListStatusText(const Text& directory, int count, Mode mode);

// A name the user typed can stand as one file name in its folder: not empty,
// not "." or "..", no path separators, wildcards, reserved characters or
// control characters, no trailing dot or blank that Windows would strip, and
// no device name: the rule of platform::IsOrdinaryFileName.
bool IsSingleFileName(const Text& name);

}  // namespace store
