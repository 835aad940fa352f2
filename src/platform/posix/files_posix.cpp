#include "platform/posix/files_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cwctype>
#include <mutex>
#include <optional>
#include <set>
#include <unordered_map>

namespace platform {
namespace {

// FileTime counts 100-ns ticks from 1601; Unix time starts 369 years later.
constexpr long long kTicksPerSecond = 10'000'000;
constexpr long long kUnixEpochTicks = 116'444'736'000'000'000;

FileTime ToFileTime(const timespec& t) {
    const long long ticks = kUnixEpochTicks + t.tv_sec * kTicksPerSecond + t.tv_nsec / 100;
    return FileTime{ticks < 0 ? 0 : static_cast<std::uint64_t>(ticks)};
}

timespec ToTimespec(FileTime time) {
    const long long sinceUnix = static_cast<long long>(time.ticks) - kUnixEpochTicks;
    long long seconds = sinceUnix / kTicksPerSecond;
    long long rest = sinceUnix % kTicksPerSecond;
    if (rest < 0) rest += kTicksPerSecond, --seconds;
    timespec t{};
    t.tv_sec = static_cast<time_t>(seconds);
    t.tv_nsec = static_cast<long>(rest * 100);
    return t;
}

// Windows drops trailing dots and spaces from every path component.
std::string StripTrailingDotsAndSpaces(const std::string& component) {
    if (component == "." || component == "..") return component;
    std::size_t end = component.size();
    while (end > 0 && (component[end - 1] == '.' || component[end - 1] == ' ')) --end;
    return component.substr(0, end);
}

// Case folding for name comparison: one UTF-16 unit at a time, as the
// Windows upcase table works.
std::u16string Fold(const std::u16string& s) {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    std::u16string out = s;
    for (char16_t& c : out) {
        if (c >= u'a' && c <= u'z') {
            c = static_cast<char16_t>(c - u'a' + u'A');
        } else if (c >= 0x80 && (c < 0xD800 || c > 0xDFFF) && utf8 != static_cast<locale_t>(0)) {
            const wint_t upper = towupper_l(static_cast<wint_t>(c), utf8);
            // A non-ASCII letter never folds onto an ASCII one (U+017F, U+0131).
            if (upper >= 0x80 && upper <= 0xFFFF) c = static_cast<char16_t>(upper);
        }
    }
    return out;
}

std::u16string FoldedName(const std::string& utf8Name) {
    return Fold(text::ToUtf16(text::FromUtf8(utf8Name)));
}

bool IsDirectoryAt(const std::string& dir, const dirent& entry) {
    if (entry.d_type == DT_DIR) return true;
    if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) return false;
    struct stat st {};
    return stat((dir + "/" + entry.d_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Case-insensitive lookups read the whole folder for every name not spelled
// as on disk, which is every new file: restoring many files into one folder
// would read it once per file. Each folder's names are kept instead, for as
// long as its change times say that nobody else changed it; the changes this
// program makes itself are applied to the kept names.
class NameIndex {
  public:
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        long long modified = 0, changed = 0;
        bool operator==(const Stamp&) const = default;
    };

    static Stamp StampFrom(const struct stat& st) {
        return Stamp{st.st_dev, st.st_ino,
                     static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
                     static_cast<long long>(st.st_ctim.tv_sec) * 1000000000LL + st.st_ctim.tv_nsec};
    }

    // The entry of `dir` equal to `name` ignoring case, or nullopt. `seen`,
    // when given, is the folder's stat just taken by the caller. `current` is
    // set when the kept names matched the disk, as Before would say at once.
    std::optional<std::string> Find(const std::string& dir, const std::string& name,
                                    const struct stat* seen = nullptr, bool* current = nullptr) {
        const std::optional<Stamp> now = seen ? StampFrom(*seen) : StampOf(dir);
        if (!now) return std::nullopt;
        std::lock_guard<std::mutex> lock(mutex_);
        Folder& folder = folders_[dir];
        if (!(folder.stamp == *now) || !folder.read) {
            if (folders_.size() > 4096) {
                folders_.clear();
                return FindUnlocked(dir, name, *now, current);
            }
            if (!Read(dir, folder)) return std::nullopt;
            folder.stamp = *now;
        }
        if (current) *current = true;
        const auto found = folder.names.find(FoldedName(name));
        if (found == folder.names.end()) return std::nullopt;
        return found->second;
    }

    // Taken before this program changes `dir`; After applies the change when
    // the kept names were current before it, and forgets them otherwise.
    bool Before(const std::string& dir) {
        const std::optional<Stamp> now = StampOf(dir);
        std::lock_guard<std::mutex> lock(mutex_);
        const auto it = folders_.find(dir);
        return now && it != folders_.end() && it->second.read && it->second.stamp == *now;
    }
    void After(const std::string& dir, bool current, const std::string& added,
               const std::string& removed) {
        const std::optional<Stamp> now = StampOf(dir);
        std::lock_guard<std::mutex> lock(mutex_);
        const auto it = folders_.find(dir);
        if (it == folders_.end()) return;
        if (!current || !now) {
            folders_.erase(it);
            return;
        }
        if (!removed.empty()) {
            const auto gone = it->second.names.find(FoldedName(removed));
            if (gone != it->second.names.end() && gone->second == removed) {
                it->second.names.erase(gone);
            }
        }
        if (!added.empty()) it->second.names.emplace(FoldedName(added), added);
        it->second.stamp = *now;
    }

  private:
    struct Folder {
        Stamp stamp;
        bool read = false;
        std::unordered_map<std::u16string, std::string> names;  // folded -> first on disk
    };

    static std::optional<Stamp> StampOf(const std::string& dir) {
        struct stat st {};
        if (stat(dir.empty() ? "/" : dir.c_str(), &st) != 0) return std::nullopt;
        return StampFrom(st);
    }

    static bool Read(const std::string& dir, Folder& folder) {
        DIR* d = opendir(dir.empty() ? "/" : dir.c_str());
        if (d == nullptr) return false;
        folder.names.clear();
        while (const dirent* entry = readdir(d)) {
            const std::string candidate = entry->d_name;
            if (candidate == "." || candidate == "..") continue;
            folder.names.emplace(FoldedName(candidate), candidate);
        }
        closedir(d);
        folder.read = true;
        return true;
    }

    std::optional<std::string> FindUnlocked(const std::string& dir, const std::string& name,
                                            const Stamp& now, bool* current) {
        Folder& folder = folders_[dir];
        if (!Read(dir, folder)) return std::nullopt;
        folder.stamp = now;
        if (current) *current = true;
        const auto found = folder.names.find(FoldedName(name));
        if (found == folder.names.end()) return std::nullopt;
        return found->second;
    }

    std::mutex mutex_;
    std::unordered_map<std::string, Folder> folders_;
};

NameIndex& Names() {
    static NameIndex index;
    return index;
}

// The entry of `dir` that `name` refers to, with what was learnt finding it,
// so that a writer creating thousands of files asks the disk once per fact.
struct Entry {
    std::string name;    // the exact name when it exists, else the first
                         // equal to it ignoring case, else as written
    bool exact = false;  // the name as written exists, and `st` is its lstat
    struct stat st {};
    bool namesCurrent = false;  // the folder's kept names matched the disk
};

Entry LookUpEntry(const std::string& dir, const std::string& name,
                  const struct stat* folderSeen = nullptr) {
    Entry entry;
    entry.name = name;
    if (lstat((dir + "/" + name).c_str(), &entry.st) == 0) {
        entry.exact = true;
        return entry;
    }
    entry.name = Names().Find(dir, name, folderSeen, &entry.namesCurrent).value_or(name);
    return entry;
}

std::string ResolveEntry(const std::string& dir, const std::string& name) {
    return LookUpEntry(dir, name).name;
}

// Folders as written, resolved component by component to the folders on
// disk: a restore writes thousands of files into a few folders, and resolving
// each path anew costs a lookup per level. A kept folder is used only while it
// is still a folder.
class FolderCache {
  public:
    // `unchecked`: the caller finds out itself whether it is still a folder.
    // Otherwise the folder's stat is left in `seen`, when given.
    std::optional<std::string> Find(const std::string& written, bool unchecked = false,
                                    struct stat* seen = nullptr) {
        std::string resolved;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            const auto it = folders_.find(written);
            if (it == folders_.end()) return std::nullopt;
            resolved = it->second;
        }
        if (unchecked) return resolved;
        struct stat st {};
        if (stat(resolved.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
        if (seen) *seen = st;
        return resolved;
    }
    // Returns whether it was kept, with the folder's stat in `seen`.
    bool Keep(const std::string& written, const std::string& resolved, struct stat& seen) {
        struct stat st {};
        if (stat(resolved.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
        seen = st;
        std::lock_guard<std::mutex> lock(mutex_);
        if (folders_.size() > 1024) folders_.clear();
        folders_[written] = resolved;
        return true;
    }

  private:
    std::mutex mutex_;
    std::unordered_map<std::string, std::string> folders_;
};

FolderCache& ResolvedFolders() {
    static FolderCache cache;
    return cache;
}

// The folder and the last component of a host path.
std::pair<std::string, std::string> SplitHost(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void SyncFolder(const std::string& dir) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

bool IsReadOnlyMode(mode_t mode) {
    return (mode & S_IWUSR) == 0;
}

// A program path split into the host folder and the last component.
struct Location {
    std::string folder;  // resolved host path of the containing folder
    std::string name;    // last component (UTF-8), not yet resolved
    bool valid = false;
    bool folderSeen = false;  // and then `folderStat` is the folder's stat just taken
    struct stat folderStat {};
};

}  // namespace

PosixFiles::PosixFiles(std::string programFolder, std::string currentDirectory)
    : programFolder_(std::move(programFolder)), currentDirectory_(std::move(currentDirectory)) {
    while (programFolder_.size() > 1 && programFolder_.back() == '/') programFolder_.pop_back();
    if (currentDirectory_.empty()) currentDirectory_ = programFolder_;
    while (currentDirectory_.size() > 1 && currentDirectory_.back() == '/') {
        currentDirectory_.pop_back();
    }
}

namespace {

// Splits and normalises a program path the way Windows does before it
// reaches the file system: both slashes separate, "." and ".." are removed
// textually, trailing dots and spaces are dropped (not from a search pattern).
Location Locate(const Text& path, const std::string& base, bool lastIsPattern,
                bool unchecked = false) {
    Location where;
    std::string utf8 = text::ToUtf8(path);
    for (char& c : utf8) {
        if (c == '\\') c = '/';
    }
    const bool absolute = !utf8.empty() && utf8.front() == '/';
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= utf8.size()) {
        std::size_t slash = utf8.find('/', start);
        if (slash == std::string::npos) slash = utf8.size();
        std::string part = utf8.substr(start, slash - start);
        const bool last = slash == utf8.size();
        start = slash + 1;
        if (last && lastIsPattern) {
            parts.push_back(part);
            break;
        }
        if (part.empty()) continue;  // doubled and trailing separators
        part = StripTrailingDotsAndSpaces(part);
        if (part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        if (part.empty()) return where;  // "..." and the like name nothing
        parts.push_back(part);
    }
    if (parts.empty()) return where;
    where.name = parts.back();
    parts.pop_back();
    std::string folder = absolute ? std::string() : base;
    std::string key = folder;
    for (const std::string& part : parts) key += "/" + part;
    if (std::optional<std::string> known =
            ResolvedFolders().Find(key, unchecked, &where.folderStat)) {
        where.folder = std::move(*known);
        where.valid = true;
        where.folderSeen = !unchecked;
        return where;
    }
    for (const std::string& part : parts) {
        folder = folder + "/" + ResolveEntry(folder, part);
    }
    where.folder = folder.empty() ? "/" : folder;
    where.valid = true;
    where.folderSeen = ResolvedFolders().Keep(key, where.folder, where.folderStat);
    return where;
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

}  // namespace

std::string PosixFiles::HostPath(const Text& path) {
    const Location where = Locate(path, currentDirectory_, false);
    if (!where.valid || !IsValidFileName(text::FromUtf8(where.name))) return {};
    return Join(where.folder, ResolveEntry(where.folder, where.name));
}

std::optional<std::vector<DirEntry>> PosixFiles::TrySearch(const Text& pattern,
                                                           EntryFilter filter) {
    const Location where = Locate(pattern, currentDirectory_, true);
    if (!where.valid || where.name.empty()) return std::nullopt;
    DIR* d = opendir(where.folder.c_str());
    if (d == nullptr) return std::nullopt;
    std::vector<DirEntry> result;
    const std::u16string folded = FoldedName(where.name);
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(d);
        if (entry == nullptr) break;
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || IsTemporaryFileName(name)) continue;
        if (!MatchesWildcard<char16_t>(folded, FoldedName(name))) continue;
        const bool isDirectory = IsDirectoryAt(where.folder, *entry);
        if (filter == EntryFilter::DirectoriesOnly && !isDirectory) continue;
        if (filter == EntryFilter::FilesOnly && isDirectory) continue;
        result.push_back(DirEntry{text::FromUtf8(name), isDirectory});
    }
    const bool failed = errno != 0;
    closedir(d);
    if (failed) return std::nullopt;
    return result;
}

bool PosixFiles::CreateFolder(const Text& path) {
    const std::string host = HostPath(path);
    if (host.empty()) return false;
    const auto [parent, name] = SplitHost(host);
    const bool current = Names().Before(parent);
    const bool made = mkdir(host.c_str(), 0777) == 0;
    Names().After(parent, current, made ? name : std::string(), {});
    if (made) return true;
    struct stat st {};
    return errno == EEXIST && stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

FileTime FromStatx(const statx_timestamp& t) {
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(t.tv_sec);
    ts.tv_nsec = static_cast<long>(t.tv_nsec);
    return ToFileTime(ts);
}

FileTimes TimesOf(const struct statx& sx) {
    FileTimes times;
    times.modified = FromStatx(sx.stx_mtime);
    times.accessed = FromStatx(sx.stx_atime);
    times.created = (sx.stx_mask & STATX_BTIME) != 0 ? FromStatx(sx.stx_btime) : times.modified;
    return times;
}

class PosixReader : public FileReader {
  public:
    PosixReader(int fd, std::uint64_t size, FileTimes times)
        : fd_(fd), size_(size), times_(times) {}
    std::optional<FileTimes> Times() const override { return times_; }
    ~PosixReader() override { close(fd_); }
    std::uint64_t Size() const override { return size_; }
    std::optional<std::size_t> ReadAt(std::uint64_t offset, char* buffer,
                                      std::size_t size) override {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n =
                pread(fd_, buffer + done, size - done, static_cast<off_t>(offset + done));
            if (n < 0) {
                if (errno == EINTR) continue;
                return std::nullopt;
            }
            if (n == 0) break;
            done += static_cast<std::size_t>(n);
            // Short at the size it had: the end, without one more call.
            if (done < size && offset + done >= size_) break;
        }
        return done;
    }

  private:
    int fd_;
    std::uint64_t size_;
    FileTimes times_;
};

// The temporary file is locked for as long as it is written, so a cleaner in
// another copy of the program can tell a live one from a stale one. A new
// file of a batched write has no temporary file: it is written under its own
// name and removed again when the write is abandoned.
class PosixWriter : public FileWriter {
  public:
    enum class Kind { Flushed, Unflushed, Direct, Queued };

    PosixWriter(PosixFiles& owner, Text path, int fd, std::string temp, std::string target,
                std::string folder, Kind kind)
        : kind_(kind),
          owner_(owner),
          path_(std::move(path)),
          fd_(fd),
          temp_(std::move(temp)),
          target_(std::move(target)),
          folder_(std::move(folder)) {}
    ~PosixWriter() override {
        if (fd_ >= 0) close(fd_);
        if (!committed_) {
            const std::string& written = kind_ == Kind::Direct ? target_ : temp_;
            const bool current = Names().Before(folder_);
            unlink(written.c_str());
            Names().After(folder_, current, {}, SplitHost(written).second);
        }
    }
    bool Write(std::string_view bytes) override {
        ok_ = ok_ && fd_ >= 0 && WriteAll(fd_, bytes);
        return ok_;
    }
    bool WriteAt(std::uint64_t offset, std::string_view bytes) override {
        while (ok_ && fd_ >= 0 && !bytes.empty()) {
            const ssize_t n = pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                ok_ = false;
            } else {
                bytes.remove_prefix(static_cast<std::size_t>(n));
                offset += static_cast<std::uint64_t>(n);
            }
        }
        return ok_ && fd_ >= 0;
    }
    void SetModifiedTime(FileTime time) override { modified_ = time; }
    bool Commit() override {
        if (!ok_ || fd_ < 0 || committed_) return false;
        bool ok = true;
        if (modified_) {
            const timespec times[2] = {{0, UTIME_OMIT}, ToTimespec(*modified_)};
            ok = futimens(fd_, times) == 0;
        }
        ok = (kind_ != Kind::Flushed || fsync(fd_) == 0) && ok;
        ok = close(fd_) == 0 && ok;
        fd_ = -1;
        if (!ok) return ok_ = false;
        if (kind_ == Kind::Direct) return committed_ = true;
        if (kind_ == Kind::Queued) {
            // The batch owns the temporary file from here on.
            committed_ = true;
            owner_.Queue({path_, temp_, target_, folder_});
            return true;
        }
        if (owner_.beforeReplace) ok = owner_.beforeReplace(path_);
        if (ok) {
            const bool current = Names().Before(folder_);
            ok = rename(temp_.c_str(), target_.c_str()) == 0;
            Names().After(folder_, current && ok, SplitHost(target_).second,
                          SplitHost(temp_).second);
        }
        if (!ok) return ok_ = false;
        committed_ = true;
        if (kind_ == Kind::Flushed) SyncFolder(folder_);
        return true;
    }

  private:
    Kind kind_;
    PosixFiles& owner_;
    Text path_;
    int fd_;
    std::string temp_, target_, folder_;
    std::optional<FileTime> modified_;
    bool ok_ = true;
    bool committed_ = false;
};

// Removes the temporary files of this program in `folder` that no writer
// holds any more (a killed or crashed write). Nothing else is touched.
void RemoveStaleTemporaries(const std::string& folder) {
    DIR* d = opendir(folder.c_str());
    if (d == nullptr) return;
    std::vector<std::string> stale;
    while (const dirent* entry = readdir(d)) {
        if (IsTemporaryFileName(entry->d_name)) stale.push_back(Join(folder, entry->d_name));
    }
    closedir(d);
    for (const std::string& path : stale) {
        const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0) {
            unlink(path.c_str());
        }
        close(fd);
    }
    if (!stale.empty()) Names().After(folder, false, {}, {});
}

}  // namespace

std::unique_ptr<FileReader> PosixFiles::OpenRead(const Text& path) {
    // Packing opens thousands of files in a few folders: the name as written
    // in the folder known from before is tried first, and only when it is
    // not there is the path resolved (and the folder checked) again.
    const Location where = Locate(path, currentDirectory_, false, true);
    if (!where.valid || !IsValidFileName(text::FromUtf8(where.name))) return nullptr;
    int fd = open(Join(where.folder, where.name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && (errno == ENOENT || errno == ENOTDIR)) {
        const std::string host = HostPath(path);
        if (host.empty()) return nullptr;
        fd = open(host.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) return nullptr;
    // Size and times in one call on the open file.
    struct statx sx {};
    if (statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0 ||
        S_ISDIR(sx.stx_mode)) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<PosixReader>(fd, static_cast<std::uint64_t>(sx.stx_size), TimesOf(sx));
}

std::unique_ptr<FileWriter> PosixFiles::BeginWrite(const Text& path, WriteMode mode) {
    const Location where = Locate(path, currentDirectory_, false);
    if (!where.valid || !IsValidFileName(text::FromUtf8(where.name))) return nullptr;
    Entry entry =
        LookUpEntry(where.folder, where.name, where.folderSeen ? &where.folderStat : nullptr);
    const std::string target = Join(where.folder, entry.name);
    // Spelled otherwise on disk: that entry is the one to look at.
    bool exists =
        entry.exact || (entry.name != where.name && lstat(target.c_str(), &entry.st) == 0);
    if (exists && (S_ISDIR(entry.st.st_mode) || IsReadOnlyMode(entry.st.st_mode))) {
        return nullptr;  // Windows refuses to replace a folder or a read-only file
    }
    if (cleanedFolders_.insert(where.folder).second) RemoveStaleTemporaries(where.folder);
    using Kind = PosixWriter::Kind;
    if (!exists && mode == WriteMode::Batched) {
        // The lookup has just compared the kept names with the disk.
        const bool current = entry.namesCurrent || Names().Before(where.folder);
        const int fd = open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        Names().After(where.folder, current && fd >= 0, fd >= 0 ? SplitHost(target).second : "",
                      {});
        if (fd >= 0) {
            return std::make_unique<PosixWriter>(*this, path, fd, std::string(), target,
                                                 where.folder, Kind::Direct);
        }
        if (errno != EEXIST) return nullptr;
        exists = true;  // made meanwhile: replaced whole like any existing file
    }
    const Kind kind = mode == WriteMode::Flush || (exists && mode == WriteMode::FlushExisting)
                          ? Kind::Flushed
                      : exists ? Kind::Queued
                               : Kind::Unflushed;

    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp =
            Join(where.folder,
                 TemporaryFileName(static_cast<std::uint32_t>(getpid()), counter.fetch_add(1)));
        const bool current = Names().Before(where.folder);
        const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        Names().After(where.folder, current && fd >= 0, fd >= 0 ? SplitHost(temp).second : "", {});
        if (fd < 0 && errno != EEXIST) return nullptr;
        if (fd < 0) continue;
        flock(fd, LOCK_EX);
        return std::make_unique<PosixWriter>(*this, path, fd, temp, target, where.folder, kind);
    }
    return nullptr;
}

void PosixFiles::Queue(QueuedReplace replace) {
    queued_.push_back(std::move(replace));
    // The temporary files wait on the disk, not in memory; the bound keeps a
    // crash from leaving very many of them behind.
    if (queued_.size() >= kQueuedReplaces && !ReplaceQueued() && queueFailed_.empty()) {
        queueFailed_ = lastFailed_;
    }
}

// All queued temporary files are made durable with one flush of their file
// systems, then each is moved over its target, then the folders are flushed:
// a target holds its old content until its new content is whole on the disk.
bool PosixFiles::ReplaceQueued() {
    if (queued_.empty()) return true;
    std::set<std::string> folders;
    std::set<dev_t> devices;
    for (const QueuedReplace& q : queued_) folders.insert(q.folder);
    bool synced = true;
    for (const std::string& folder : folders) {
        struct stat st {};
        if (stat(folder.c_str(), &st) != 0 || !devices.insert(st.st_dev).second) continue;
        const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        synced = fd >= 0 && syncfs(fd) == 0 && synced;
        if (fd >= 0) close(fd);
    }
    bool ok = true;
    for (const QueuedReplace& q : queued_) {
        bool replaced = synced && (!beforeReplace || beforeReplace(q.path));
        if (replaced) {
            const bool current = Names().Before(q.folder);
            replaced = rename(q.temp.c_str(), q.target.c_str()) == 0;
            Names().After(q.folder, current && replaced, SplitHost(q.target).second,
                          SplitHost(q.temp).second);
        }
        if (!replaced) {
            const bool current = Names().Before(q.folder);
            unlink(q.temp.c_str());
            Names().After(q.folder, current, {}, SplitHost(q.temp).second);
            if (ok) lastFailed_ = q.path;
            ok = false;
        }
    }
    queued_.clear();
    for (const std::string& folder : folders) SyncFolder(folder);
    return ok;
}

bool PosixFiles::CompleteWrites(Text* failed) {
    const bool replaced = ReplaceQueued();
    const Text first = !queueFailed_.empty() ? queueFailed_ : lastFailed_;
    const bool ok = replaced && queueFailed_.empty();
    queueFailed_.clear();
    if (!ok && failed != nullptr) *failed = first;
    return ok;
}

PosixFiles::~PosixFiles() {
    ReplaceQueued();
}

std::optional<FileIdentity> PosixFiles::Identity(const Text& path) {
    const std::string host = HostPath(path);
    struct stat st {};
    if (host.empty() || stat(host.c_str(), &st) != 0) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(st.st_dev),
                        static_cast<std::uint64_t>(st.st_ino)};
}

bool PosixFiles::DeleteFile(const Text& path) {
    const std::string host = HostPath(path);
    if (host.empty()) return false;
    struct stat st {};
    if (lstat(host.c_str(), &st) != 0 || S_ISDIR(st.st_mode) || IsReadOnlyMode(st.st_mode)) {
        return false;
    }
    const auto [parent, name] = SplitHost(host);
    const bool current = Names().Before(parent);
    const bool deleted = unlink(host.c_str()) == 0;
    Names().After(parent, current && deleted, {}, deleted ? name : std::string());
    return deleted;
}

bool PosixFiles::ClearAttributes(const Text& path) {
    return SetReadOnly(path, false);
}

bool PosixFiles::SetReadOnly(const Text& path, bool readOnly) {
    const std::string host = HostPath(path);
    if (host.empty()) return false;
    struct stat st {};
    if (stat(host.c_str(), &st) != 0) return false;
    // Windows keeps the flag on folders but never lets it stop writes there.
    if (S_ISDIR(st.st_mode)) return true;
    const mode_t mode =
        readOnly ? (st.st_mode & 07777 & ~mode_t{0222}) : ((st.st_mode & 07777) | S_IWUSR);
    return chmod(host.c_str(), mode) == 0;
}

std::optional<FileTime> PosixFiles::GetModifiedTime(const Text& path) {
    const std::optional<FileTimes> times = GetFileTimes(path);
    if (!times) return std::nullopt;
    return times->modified;
}

std::optional<FileTimes> PosixFiles::GetFileTimes(const Text& path) {
    const std::string host = HostPath(path);
    if (host.empty()) return std::nullopt;
    struct statx sx {};
    if (statx(AT_FDCWD, host.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) {
        return std::nullopt;
    }
    return TimesOf(sx);
}

bool PosixFiles::SetModifiedTime(const Text& path, FileTime time) {
    const std::string host = HostPath(path);
    if (host.empty()) return false;
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1] = ToTimespec(time);
    return utimensat(AT_FDCWD, host.c_str(), times, 0) == 0;
}

Text PosixFiles::CurrentDirectory() {
    return text::FromUtf8(currentDirectory_);
}

Text PosixFiles::ProgramFolder() {
    return text::FromUtf8(programFolder_);
}

}  // namespace platform
