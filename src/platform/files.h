#pragma once
// File system facilities the program uses, with Windows semantics on every
// platform. Paths are GBK text with backslashes.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "text/text.h"

namespace platform {

struct DirEntry {
    Text name;
    bool isDirectory = false;
};

enum class EntryFilter { All, DirectoriesOnly, FilesOnly };

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
