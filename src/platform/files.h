#pragma once
// File system facilities the program uses, with Windows semantics on every
// platform. Paths are GBK text with backslashes.
#include <cstdint>
#include <functional>
#include <memory>
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

// The one rule for a name the program creates from outside input (a typed
// title or directory name, a package entry's path component): a valid file
// name that Windows keeps as written and that names no device. Windows drops
// trailing dots and blanks, and takes CON, PRN, AUX, NUL, COM0 to COM9, LPT0
// to LPT9 (also with the digits ¹ ² ³), CONIN$ and CONOUT$ as devices in any
// letter case, with any extension and with blanks before it ("CON .txt").
bool IsOrdinaryFileName(std::string_view name);

// A search pattern against one name as Search matches long names: '*' any
// run, '?' exactly one unit, "*.*" everything (the old DOS spelling). Both
// sides already folded to one letter case by the caller's own rule.
template <class Char>
bool MatchesWildcard(std::basic_string_view<Char> pattern, std::basic_string_view<Char> name) {
    constexpr Char kStar = '*', kOne = '?', kDot = '.';
    if (pattern.size() == 3 && pattern[0] == kStar && pattern[1] == kDot && pattern[2] == kStar) {
        pattern = pattern.substr(0, 1);
    }
    constexpr std::size_t kNone = std::basic_string_view<Char>::npos;
    std::size_t p = 0, n = 0, starP = kNone, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == kOne || pattern[p] == name[n])) {
            ++p, ++n;
        } else if (p < pattern.size() && pattern[p] == kStar) {
            starP = p++, starN = n;
        } else if (starP != kNone) {
            p = starP + 1, n = ++starN;  // let the last '*' take one unit more
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == kStar) ++p;
    return p == pattern.size();
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

// What makes a file itself, whatever the spelling of its path.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    bool operator==(const FileIdentity&) const = default;
};

// Flush: Commit waits until the file is on the disk. Batched, for a restore
// of many files: a file that did not exist is written under its own name
// (a power failure may leave it short, which costs nothing that was there
// before; an abandoned write removes it); a file that existed is still
// replaced only whole, but files may wait to be made durable and moved into
// place together, by CompleteWrites at the latest. FlushExisting, for a new
// file whose source stays: a file that existed is replaced as with Flush; a
// new one is moved into place at Commit without waiting for the disk (a power
// failure may leave it short or missing, which costs nothing that was there).
enum class WriteMode { Flush, Batched, FlushExisting };

// A file being written. Bytes are appended in order into a temporary file in
// the target's folder; Commit flushes it and moves it over the target. A writer
// destroyed without a successful Commit removes its temporary file and leaves
// the target as it was.
class FileWriter {
  public:
    virtual ~FileWriter() = default;
    virtual bool Write(std::string_view bytes) = 0;
    // Rewrites bytes already written (a header whose values are known only
    // after the data that follows it).
    virtual bool WriteAt(std::uint64_t offset, std::string_view bytes) = 0;
    // The modification time the file gets when it is committed.
    virtual void SetModifiedTime(FileTime time) = 0;
    virtual bool Commit() = 0;
};

// A file opened for reading in pieces.
class FileReader {
  public:
    virtual ~FileReader() = default;
    // The size when it was opened.
    virtual std::uint64_t Size() const = 0;
    // Up to `size` bytes from `offset`; fewer only at the end of the file;
    // nullopt on a read error.
    virtual std::optional<std::size_t> ReadAt(std::uint64_t offset, char* buffer,
                                              std::size_t size) = 0;
    // The file's times when it was opened, where the system tells them from
    // the open file (saves looking the path up again).
    virtual std::optional<FileTimes> Times() const { return std::nullopt; }
};

class Files {
  public:
    virtual ~Files() = default;

    // Entries matching the pattern of the last path component ("*", "*.txt",
    // or an exact name), case-insensitive as on Windows, in the order the
    // file system returns them. "." and ".." are never returned, nor this
    // program's own temporary files. nullopt when the folder cannot be listed
    // at all (missing, not a folder, no access, a read error midway), which is
    // not the same as a folder with nothing that matches.
    virtual std::optional<std::vector<DirEntry>> TrySearch(const Text& pattern,
                                                           EntryFilter filter) = 0;
    // The same, where a folder that cannot be listed counts as empty.
    virtual std::vector<DirEntry> Search(const Text& pattern, EntryFilter filter) {
        std::optional<std::vector<DirEntry>> found = TrySearch(pattern, filter);
        return found ? std::move(*found) : std::vector<DirEntry>();
    }
    // Existence test: a directory search on the exact path; a folder and a
    // file count alike.
    virtual bool Exists(const Text& path) { return !Search(path, EntryFilter::All).empty(); }
    // One level only. True when the folder exists afterwards.
    virtual bool CreateFolder(const Text& path) = 0;
    // nullptr when the file cannot be opened for reading (or is a folder).
    virtual std::unique_ptr<FileReader> OpenRead(const Text& path) = 0;
    // Starts a crash-safe replace of `path`; nullptr when it cannot start
    // (invalid name, missing folder, read-only target). Stale temporary files
    // this program left in that folder are removed first. A file that existed
    // is replaced only whole; see WriteMode for what Batched relaxes. The new
    // file has normal attributes.
    virtual std::unique_ptr<FileWriter> BeginWrite(const Text& path,
                                                   WriteMode mode = WriteMode::Flush) = 0;
    // Makes every committed Batched write durable and in place. False, naming
    // the first target that could not be replaced in `failed`, when any
    // could not be (that target keeps its old content).
    virtual bool CompleteWrites(Text* failed = nullptr) {
        (void)failed;
        return true;
    }
    // Whole file; nullopt when it cannot be opened or read.
    virtual std::optional<std::string> ReadFile(const Text& path);
    // Whole file through BeginWrite. False when any step fails; the old file
    // is whole.
    virtual bool WriteFile(const Text& path, std::string_view bytes);
    // The identity of the file or folder at `path`; nullopt when there is none
    // or the file system cannot tell.
    virtual std::optional<FileIdentity> Identity(const Text&) { return std::nullopt; }
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
    // every write; returning false abandons the write as a crash would.
    std::function<bool(const Text& target)> beforeReplace;

    // Called now and then during long work (file pieces moved, a wait for
    // other threads), from the thread doing it: long work on the windows'
    // thread keeps them painted through it.
    std::function<void()> duringLongWork;
};

// The name of a temporary file of this program: a fixed prefix and suffix no
// user file is expected to carry, the writer's process id and a counter, both
// in hexadecimal, so that a stale one can be told from a user's file.
Text TemporaryFileName(std::uint32_t processId, std::uint32_t counter);
// True only for names TemporaryFileName can produce; the process id is
// returned through `processId`.
bool IsTemporaryFileName(std::string_view name, std::uint32_t* processId = nullptr);

}  // namespace platform
