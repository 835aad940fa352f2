#pragma once
// File system facilities the program uses, with Windows semantics on every
// platform. Paths are GBK text with backslashes.
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "text/text.h"

namespace platform {

struct DirEntry {
    Text name;
    bool isDirectory = false;
};

enum class EntryFilter { All, DirectoriesOnly, FilesOnly };

// True when `name` (GBK) can be one file or folder name on Windows: not
// empty, not "." or "..", and free of \ / : * ? " < > | and control
// characters. Bytes inside a double-byte character (0x5C and 0x7C occur as
// second bytes) are not characters of their own. Every Files implementation
// refuses a last path component that fails this, so Windows, Wine and Linux
// agree.
inline bool IsValidFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (std::size_t pos = 0; pos < name.size();) {
        const std::size_t length = text::CharLength(name, pos);
        if (length == 1) {
            const unsigned char c = static_cast<unsigned char>(name[pos]);
            if (c < 0x20) return false;
            for (char bad : std::string_view("\\/:*?\"<>|")) {
                if (c == static_cast<unsigned char>(bad)) return false;
            }
        }
        pos += length;
    }
    return true;
}

struct FileTime {
    std::uint64_t ticks = 0;  // 100-ns intervals since 1601-01-01 UTC
};

// The three times a file carries (backup packages store all of them).
struct FileTimes {
    FileTime created;
    FileTime accessed;
    FileTime modified;
};

class Files {
  public:
    virtual ~Files() = default;

    // Entries matching the pattern of the last path component ("*", "*.txt",
    // or an exact name), case-insensitive as on Windows, in the order the
    // file system returns them. "." and ".." are never returned.
    virtual std::vector<DirEntry> Search(const Text& pattern, EntryFilter filter) = 0;
    // Existence test: a directory search on the exact path; a folder and a
    // file count alike.
    virtual bool Exists(const Text& path) = 0;
    // One level only. True when the folder exists afterwards.
    virtual bool CreateFolder(const Text& path) = 0;
    // Whole file; nullopt when it cannot be opened.
    virtual std::optional<std::string> ReadFile(const Text& path) = 0;
    // Crash-safe replace: temporary file in the same folder, flushed, then
    // moved over the target. False when any step fails; the old file is whole.
    virtual bool WriteFile(const Text& path, std::string_view bytes) = 0;
    virtual bool DeleteFile(const Text& path) = 0;
    virtual bool ClearAttributes(const Text& path) = 0;
    virtual bool SetReadOnly(const Text& path, bool readOnly) = 0;
    virtual std::optional<FileTime> GetModifiedTime(const Text& path) = 0;
    // Where the file system keeps no creation time, created is the modified time.
    virtual std::optional<FileTimes> GetFileTimes(const Text& path) = 0;
    virtual bool SetModifiedTime(const Text& path, FileTime time) = 0;
    virtual Text CurrentDirectory() = 0;
    // The folder that holds the program file (no trailing backslash).
    virtual Text ProgramFolder() = 0;

    // Test hook: runs between the flushed temporary file and the replace of
    // every WriteFile; returning false abandons the write as a crash would.
    std::function<bool(const Text& target)> beforeReplace;
};

}  // namespace platform
