#include "platform/win32/files_win32.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <optional>

#include "platform/win32/win_text.h"

// <windows.h> maps DeleteFile to DeleteFileW; the interface has its own.
#undef DeleteFile

namespace platform {
namespace {

using win32::FromWide;
using win32::Wide;

FileTime ToFileTime(const FILETIME& ft) {
    return FileTime{(static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime};
}

FILETIME ToFiletime(FileTime time) {
    FILETIME ft{};
    ft.dwLowDateTime = static_cast<DWORD>(time.ticks & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<DWORD>(time.ticks >> 32);
    return ft;
}

// The folder part of a path, with its separator ("C:\x\a.txt" -> "C:\x\").
std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// The wide path for an operation on its last component, or nothing when
// that component cannot be a file name (Windows itself would take "a:b" as a
// stream of "a", and Wine would create it).
std::optional<std::wstring> Checked(const Text& path) {
    std::wstring wide = Wide(path);
    std::size_t end = wide.find_last_not_of(L"\\/");
    if (end == std::wstring::npos) return std::nullopt;
    const std::size_t slash = wide.find_last_of(L"\\/", end);
    const std::size_t start = slash == std::wstring::npos ? 0 : slash + 1;
    if (!IsValidFileName(FromWide(std::wstring_view(wide).substr(start, end + 1 - start)))) {
        return std::nullopt;
    }
    return wide;
}

// Windows refuses to replace or delete a read-only file; Wine running as a
// Unix user who may write anyway does not, so the rule is kept here.
bool IsReadOnly(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsReadOnlyFile(const std::wstring& path) {
    return IsReadOnly(GetFileAttributesW(path.c_str()));
}

std::wstring Upper(std::wstring_view s) {
    if (s.empty()) return {};
    std::wstring out(s.size(), L'\0');
    const int n =
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, s.data(), static_cast<int>(s.size()),
                      out.data(), static_cast<int>(out.size()), nullptr, nullptr, 0);
    if (n <= 0) return std::wstring(s);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    bool Close() {
        if (!Valid()) return true;
        const bool ok = CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

  private:
    HANDLE h_;
};

std::wstring ModuleFolder() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    const std::size_t slash = buffer.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : buffer.substr(0, slash);
}

}  // namespace

Win32Files::Win32Files(Text programFolderOverride)
    : programFolder_(std::move(programFolderOverride)) {
    if (programFolder_.empty()) programFolder_ = FromWide(ModuleFolder());
    while (!programFolder_.empty() &&
           (programFolder_.back() == '\\' || programFolder_.back() == '/')) {
        programFolder_.pop_back();
    }
}

std::optional<std::vector<DirEntry>> Win32Files::TrySearch(const Text& pattern,
                                                           EntryFilter filter) {
    std::vector<DirEntry> result;
    const std::wstring wide = Wide(pattern);
    const std::size_t slash = wide.find_last_of(L"\\/");
    const std::wstring mask = Upper(slash == std::wstring::npos ? wide : wide.substr(slash + 1));
    WIN32_FIND_DATAW data{};
    const HANDLE find = FindFirstFileW(wide.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        // Nothing matched in a folder that exists is an empty result; a
        // folder that is missing or cannot be read is not.
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return std::nullopt;
        const std::wstring folder = slash == std::wstring::npos ? L"." : wide.substr(0, slash + 1);
        const DWORD attributes = GetFileAttributesW(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            return std::nullopt;
        }
        return result;
    }
    do {
        const std::wstring_view name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (IsTemporaryFileName(FromWide(name))) continue;
        // FindFirstFileW also matches the 8.3 short names, so "*.txt" would
        // find "a.txtx"; only the names the program sees count.
        if (!MatchesWildcard<wchar_t>(mask, Upper(name))) continue;
        const bool isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (filter == EntryFilter::DirectoriesOnly && !isDirectory) continue;
        if (filter == EntryFilter::FilesOnly && isDirectory) continue;
        result.push_back(DirEntry{FromWide(name), isDirectory});
    } while (FindNextFileW(find, &data));
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(find);
    if (!complete) return std::nullopt;
    return result;
}

bool Win32Files::CreateFolder(const Text& path) {
    const std::optional<std::wstring> checked = Checked(path);
    if (!checked) return false;
    const std::wstring& wide = *checked;
    if (CreateDirectoryW(wide.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

namespace {

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

class Win32Reader : public FileReader {
  public:
    Win32Reader(HANDLE file, std::uint64_t size, FileTimes times, const std::function<void()>& busy)
        : file_(file), size_(size), times_(times), busy_(busy) {}
    std::uint64_t Size() const override { return size_; }
    std::optional<FileTimes> Times() const override { return times_; }
    std::optional<std::size_t> ReadAt(std::uint64_t offset, char* buffer,
                                      std::size_t size) override {
        std::size_t done = 0;
        while (done < size) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
            OVERLAPPED at = At(offset + done);
            DWORD n = 0;
            if (!::ReadFile(file_.Get(), buffer + done, chunk, &n, &at)) {
                if (GetLastError() == ERROR_HANDLE_EOF) break;
                return std::nullopt;
            }
            if (n == 0) break;
            done += n;
            // Short at the size it had: the end, without one more call.
            if (done < size && offset + done >= size_) break;
        }
        if (busy_) busy_();
        return done;
    }

  private:
    Handle file_;
    std::uint64_t size_;
    FileTimes times_;
    const std::function<void()>& busy_;
};

// Opened without sharing, so the temporary file cannot be deleted by a
// cleaner in another copy of the program while it is written. Without a
// temporary file (`temp` empty) the new file is written under its own name.
class Win32Writer : public FileWriter {
  public:
    Win32Writer(Win32Files& owner, Text path, HANDLE file, std::wstring temp, std::wstring target,
                bool flush)
        : flush_(flush),
          owner_(owner),
          path_(std::move(path)),
          file_(file),
          temp_(std::move(temp)),
          target_(std::move(target)) {}
    ~Win32Writer() override {
        file_.Close();
        if (!committed_) DeleteFileW(Direct() ? target_.c_str() : temp_.c_str());
    }
    bool Write(std::string_view bytes) override {
        if (!WriteAt(size_, bytes)) return false;
        size_ += bytes.size();
        return true;
    }
    bool WriteAt(std::uint64_t offset, std::string_view bytes) override {
        while (ok_ && file_.Valid() && !bytes.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
            OVERLAPPED at = At(offset);
            DWORD written = 0;
            ok_ = ::WriteFile(file_.Get(), bytes.data(), chunk, &written, &at) && written > 0;
            bytes.remove_prefix(written);
            offset += written;
        }
        if (owner_.duringLongWork) owner_.duringLongWork();
        return ok_ && file_.Valid();
    }
    void SetModifiedTime(FileTime time) override { modified_ = time; }
    bool Commit() override {
        if (!ok_ || !file_.Valid() || committed_) return false;
        bool ok = true;
        if (modified_) {
            FILETIME written{static_cast<DWORD>(modified_->ticks & 0xFFFFFFFFu),
                             static_cast<DWORD>(modified_->ticks >> 32)};
            ok = SetFileTime(file_.Get(), nullptr, nullptr, &written) != 0;
        }
        ok = (!flush_ || FlushFileBuffers(file_.Get()) != 0) && ok;
        ok = file_.Close() && ok;
        if (ok && Direct()) return committed_ = true;
        if (ok && owner_.beforeReplace) ok = owner_.beforeReplace(path_);
        if (ok) {
            ok = MoveFileExW(
                     temp_.c_str(), target_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | (flush_ ? MOVEFILE_WRITE_THROUGH : DWORD{0})) != 0;
        }
        if (!ok) return ok_ = false;
        committed_ = true;
        return true;
    }

  private:
    bool Direct() const { return temp_.empty(); }

    bool flush_;
    Win32Files& owner_;
    Text path_;
    Handle file_;
    std::wstring temp_, target_;
    std::uint64_t size_ = 0;
    std::optional<FileTime> modified_;
    bool ok_ = true;
    bool committed_ = false;
};

// Removes the temporary files of this program in `folder` (with its
// separator) that no writer holds open any more; nothing else is touched.
void RemoveStaleTemporaries(const std::wstring& folder) {
    WIN32_FIND_DATAW data{};
    const HANDLE find = FindFirstFileW((folder + L"~moxia-*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    std::vector<std::wstring> stale;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            IsTemporaryFileName(FromWide(data.cFileName))) {
            stale.push_back(folder + data.cFileName);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    for (const std::wstring& path : stale) DeleteFileW(path.c_str());
}

}  // namespace

std::unique_ptr<FileReader> Win32Files::OpenRead(const Text& path) {
    const std::optional<std::wstring> checked = Checked(path);
    if (!checked) return nullptr;
    const HANDLE h = CreateFileW(checked->c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    // Size and times from the open file. Not GetFileInformationByHandle: it
    // also tells the volume, for which Wine looks at every parent folder of
    // the file, nine calls to the disk per file when packing thousands.
    FILE_BASIC_INFO basic{};
    FILE_STANDARD_INFO standard{};
    if (!GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic) ||
        !GetFileInformationByHandleEx(h, FileStandardInfo, &standard, sizeof standard) ||
        standard.Directory) {
        CloseHandle(h);
        return nullptr;
    }
    const auto ticks = [](const LARGE_INTEGER& t) {
        return FileTime{static_cast<std::uint64_t>(t.QuadPart)};
    };
    FileTimes times;
    times.created = ticks(basic.CreationTime);
    times.accessed = ticks(basic.LastAccessTime);
    times.modified = ticks(basic.LastWriteTime);
    const auto size = static_cast<std::uint64_t>(standard.EndOfFile.QuadPart);
    return std::make_unique<Win32Reader>(h, size, times, duringLongWork);
}

std::unique_ptr<FileWriter> Win32Files::BeginWrite(const Text& path, WriteMode mode) {
    const std::optional<std::wstring> checked = Checked(path);
    if (!checked) return nullptr;
    const std::wstring& target = *checked;
    const std::wstring folder = FolderOf(target);
    if (cleanedFolders_.insert(Upper(folder)).second) RemoveStaleTemporaries(folder);
    if (mode == WriteMode::Batched) {
        // A new file goes under its own name. Wine answers each look-up of a
        // missing name by reading the whole folder, so a restore of thousands
        // of files makes one such look-up per file here instead of three.
        const HANDLE h = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            return std::make_unique<Win32Writer>(*this, path, h, std::wstring(), target, false);
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) {
            return nullptr;  // a missing folder, or a folder of that name
        }
    }
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (IsReadOnly(attributes)) return nullptr;
    const bool flush = mode == WriteMode::Flush || attributes != INVALID_FILE_ATTRIBUTES;

    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring temp =
            folder + Wide(TemporaryFileName(static_cast<std::uint32_t>(GetCurrentProcessId()),
                                            counter.fetch_add(1)));
        const HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            return std::make_unique<Win32Writer>(*this, path, h, temp, target, flush);
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return nullptr;
    }
    return nullptr;
}

std::optional<FileIdentity> Win32Files::Identity(const Text& path) {
    const std::optional<std::wstring> checked = Checked(path);
    if (!checked) return std::nullopt;
    Handle file(CreateFileW(checked->c_str(), 0,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.Valid() || !GetFileInformationByHandle(file.Get(), &info)) return std::nullopt;
    return FileIdentity{
        info.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

bool Win32Files::DeleteFile(const Text& path) {
    const std::optional<std::wstring> checked = Checked(path);
    if (!checked || IsReadOnlyFile(*checked)) return false;
    return DeleteFileW(checked->c_str()) != 0;
}

bool Win32Files::ClearAttributes(const Text& path) {
    const std::optional<std::wstring> checked = Checked(path);
    if (!checked) return false;
    // A restore asks this of every file it replaces, nearly all of them plain
    // already; Wine opens the file to change nothing.
    const DWORD attributes = GetFileAttributesW(checked->c_str());
    if (attributes == FILE_ATTRIBUTE_NORMAL || attributes == FILE_ATTRIBUTE_ARCHIVE) return true;
    return SetFileAttributesW(checked->c_str(), FILE_ATTRIBUTE_NORMAL) != 0;
}

bool Win32Files::SetReadOnly(const Text& path, bool readOnly) {
    const std::optional<std::wstring> checked = Checked(path);
    if (!checked) return false;
    const std::wstring& wide = *checked;
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    attributes = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY)
                          : (attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
    if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileAttributesW(wide.c_str(), attributes) != 0;
}

std::optional<FileTime> Win32Files::GetModifiedTime(const Text& path) {
    const std::optional<FileTimes> times = GetFileTimes(path);
    if (!times) return std::nullopt;
    return times->modified;
}

std::optional<FileTimes> Win32Files::GetFileTimes(const Text& path) {
    const std::optional<std::wstring> checked = Checked(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!checked || !GetFileAttributesExW(checked->c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    FileTimes times;
    times.created = ToFileTime(data.ftCreationTime);
    times.accessed = ToFileTime(data.ftLastAccessTime);
    times.modified = ToFileTime(data.ftLastWriteTime);
    return times;
}

bool Win32Files::SetModifiedTime(const Text& path, FileTime time) {
    const std::optional<std::wstring> checked = Checked(path);
    if (!checked) return false;
    Handle file(CreateFileW(checked->c_str(), FILE_WRITE_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.Valid()) return false;
    const FILETIME ft = ToFiletime(time);
    return SetFileTime(file.Get(), nullptr, nullptr, &ft) != 0;
}

Text Win32Files::CurrentDirectory() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return {};
    std::wstring buffer(size, L'\0');
    const DWORD n = GetCurrentDirectoryW(size, buffer.data());
    buffer.resize(n < size ? n : 0);
    return FromWide(buffer);
}

Text Win32Files::ProgramFolder() {
    return programFolder_;
}

}  // namespace platform
