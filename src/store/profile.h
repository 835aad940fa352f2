#pragma once
// The program's own private-profile (INI) reader and writer. It behaves as the
// Windows profile functions do on an ANSI file, on every platform, so the
// settings file stays interchangeable with one those functions wrote:
//
// - section and key names match case-insensitively (ASCII letters of
//   single-byte characters only; double-byte characters match exactly);
// - names given by the caller are trimmed of spaces; names and values in the
//   file are trimmed of blanks (space, tab, vertical tab);
// - a value enclosed in matching double or single quotes reads unquoted;
// - a line starting with ';' is a comment; lines before the first section
//   belong to no section; only the first of duplicate sections or keys counts;
// - a write replaces the key's line in place, adds a missing key after the
//   last key line of its section and a missing section at the end of the file,
//   with CR LF line ends; every other byte of the file is kept.
//
// Bytes are GBK: every scan steps over double-byte characters, whose trail
// byte may look like ']' or an ASCII letter.
#include <cstddef>

#include "platform/files.h"
#include "text/text.h"

namespace store {

// What a 10,240-byte buffer holds without its terminating zero.
inline constexpr std::size_t kMaxProfileValueBytes = 10239;

// The value of `key` in `section`, at most kMaxProfileValueBytes bytes (cut at
// a character boundary). A missing file, section or key, or a key line without
// '=', reads as the empty text.
Text ReadProfileKey(platform::Files& files, const Text& file, const Text& section, const Text& key);

// Sets `key` in `section` to `value` (written as given), creating the file,
// the section or the key as needed. The file is replaced crash-safely. True
// when the file holds the value afterwards; false when it could not be read
// or written, in which case it is left as it was.
bool WriteProfileKey(platform::Files& files, const Text& file, const Text& section, const Text& key,
                     const Text& value);

}  // namespace store
