#include "tools/backup_package.h"

#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace tools {
namespace {

// ---- minizip over a byte buffer -------------------------------------------

struct MemoryStream {
    std::string bytes;
    ZPOS64_T pos = 0;
};

voidpf ZCALLBACK MemOpen(voidpf opaque, const void*, int) {
    static_cast<MemoryStream*>(opaque)->pos = 0;
    return opaque;
}

uLong ZCALLBACK MemRead(voidpf, voidpf stream, void* buf, uLong size) {
    auto* s = static_cast<MemoryStream*>(stream);
    if (s->pos >= s->bytes.size()) return 0;
    const uLong n = static_cast<uLong>(std::min<ZPOS64_T>(size, s->bytes.size() - s->pos));
    std::memcpy(buf, s->bytes.data() + s->pos, n);
    s->pos += n;
    return n;
}

uLong ZCALLBACK MemWrite(voidpf, voidpf stream, const void* buf, uLong size) {
    auto* s = static_cast<MemoryStream*>(stream);
    if (s->pos + size > s->bytes.size()) s->bytes.resize(s->pos + size);
    std::memcpy(s->bytes.data() + s->pos, buf, size);
    s->pos += size;
    return size;
}

ZPOS64_T ZCALLBACK MemTell(voidpf, voidpf stream) {
    return static_cast<MemoryStream*>(stream)->pos;
}

long ZCALLBACK MemSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* s = static_cast<MemoryStream*>(stream);
    ZPOS64_T base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR)
        base = s->pos;
    else if (origin == ZLIB_FILEFUNC_SEEK_END)
        base = s->bytes.size();
    else if (origin != ZLIB_FILEFUNC_SEEK_SET)
        return -1;
    const ZPOS64_T target = base + offset;
    if (target > s->bytes.size()) return -1;
    s->pos = target;
    return 0;
}

int ZCALLBACK MemClose(voidpf, voidpf) {
    return 0;
}

int ZCALLBACK MemError(voidpf, voidpf) {
    return 0;
}

zlib_filefunc64_def MemoryFunctions(MemoryStream& stream) {
    zlib_filefunc64_def def{};
    def.zopen64_file = MemOpen;
    def.zread_file = MemRead;
    def.zwrite_file = MemWrite;
    def.ztell64_file = MemTell;
    def.zseek64_file = MemSeek;
    def.zclose_file = MemClose;
    def.zerror_file = MemError;
    def.opaque = &stream;
    return def;
}

// ---- times ----------------------------------------------------------------

constexpr std::int64_t kUnixEpochInFileTimeSeconds = 11644473600LL;

std::uint32_t UnixFromFileTime(platform::FileTime t) {
    const std::int64_t seconds =
        static_cast<std::int64_t>(t.ticks / 10000000ULL) - kUnixEpochInFileTimeSeconds;
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(seconds, 0, 0xFFFFFFFFLL));
}

platform::FileTime FileTimeFromUnix(std::int64_t seconds) {
    return {static_cast<std::uint64_t>(seconds + kUnixEpochInFileTimeSeconds) * 10000000ULL};
}

bool LocalTime(std::time_t t, std::tm& out) {
#ifdef _WIN32
    return localtime_s(&out, &t) == 0;
#else
    return localtime_r(&t, &out) != nullptr;
#endif
}

// ZIP dates are local wall-clock time; the format starts in 1980.
uLong DosDateTime(std::time_t t) {
    std::tm tm{};
    if (!LocalTime(t, tm) || tm.tm_year < 80) return (1u << 21) | (1u << 16);
    return (static_cast<uLong>(tm.tm_year - 80) << 25) | (static_cast<uLong>(tm.tm_mon + 1) << 21) |
           (static_cast<uLong>(tm.tm_mday) << 16) | (static_cast<uLong>(tm.tm_hour) << 11) |
           (static_cast<uLong>(tm.tm_min) << 5) | static_cast<uLong>(tm.tm_sec / 2);
}

std::time_t TimeFromDos(uLong dos) {
    std::tm tm{};
    tm.tm_year = static_cast<int>((dos >> 25) & 0x7F) + 80;
    tm.tm_mon = static_cast<int>((dos >> 21) & 0x0F) - 1;
    tm.tm_mday = static_cast<int>((dos >> 16) & 0x1F);
    tm.tm_hour = static_cast<int>((dos >> 11) & 0x1F);
    tm.tm_min = static_cast<int>((dos >> 5) & 0x3F);
    tm.tm_sec = static_cast<int>(dos & 0x1F) * 2;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

void PutLe32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Extended timestamp ("UT"): all three times locally, the modification time
// in the central directory.
std::string LocalTimestamp(std::uint32_t modified, std::uint32_t accessed, std::uint32_t created) {
    std::string x = {'U', 'T', 13, 0, 7};
    PutLe32(x, modified);
    PutLe32(x, accessed);
    PutLe32(x, created);
    return x;
}

std::string CentralTimestamp(std::uint32_t modified) {
    std::string x = {'U', 'T', 5, 0, 7};
    PutLe32(x, modified);
    return x;
}

std::optional<std::int64_t> ModifiedFromExtra(std::string_view extra) {
    for (std::size_t pos = 0; pos + 4 <= extra.size();) {
        const auto b = [&](std::size_t i) { return static_cast<unsigned char>(extra[i]); };
        const unsigned id = b(pos) | (b(pos + 1) << 8);
        const std::size_t size = b(pos + 2) | (b(pos + 3) << 8);
        if (pos + 4 + size > extra.size()) break;
        if (id == 0x5455 && size >= 5 && (b(pos + 4) & 1)) {
            return static_cast<std::int64_t>(
                static_cast<std::uint32_t>(b(pos + 5) | (b(pos + 6) << 8) | (b(pos + 7) << 16) |
                                           (static_cast<std::uint32_t>(b(pos + 8)) << 24)));
        }
        pos += 4 + size;
    }
    return std::nullopt;
}

// ---- packing --------------------------------------------------------------

constexpr uLong kVersionMadeBy = 0x0B17;
constexpr uLong kFolderAttributes = 0x41C00010;
constexpr uLong kFileAttributes = 0x20;  // archive
constexpr int kDeflateLevel = 8;

bool EndsWithNoCase(std::string_view name, std::string_view suffix) {
    if (name.size() < suffix.size()) return false;
    const std::string_view tail = name.substr(name.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        const char a = tail[i] >= 'A' && tail[i] <= 'Z' ? static_cast<char>(tail[i] + 32) : tail[i];
        if (a != suffix[i]) return false;
    }
    return true;
}

// Already-compressed formats are stored as they are.
bool StoredByName(std::string_view name) {
    for (std::string_view ext : {".z", ".zip", ".zoo", ".arc", ".lzh", ".arj", ".gz", ".tgz"}) {
        if (EndsWithNoCase(name, ext)) return true;
    }
    return false;
}

std::optional<std::string> RawDeflate(std::string_view data) {
    z_stream zs{};
    if (deflateInit2(&zs, kDeflateLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        return std::nullopt;
    }
    std::string out(deflateBound(&zs, static_cast<uLong>(data.size())), '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    if (rc != Z_STREAM_END) return std::nullopt;
    return out;
}

// Every file and folder below `folder`, or nullopt naming the first folder
// that cannot be listed (a failed search is not an empty folder).
std::optional<int> CountBelow(platform::Files& files, const Text& folder, Text& unlistable) {
    const auto entries = files.TrySearch(folder + "\\*", platform::EntryFilter::All);
    if (!entries) {
        unlistable = folder;
        return std::nullopt;
    }
    int count = 0;
    for (const platform::DirEntry& e : *entries) {
        ++count;
        if (!e.isDirectory) continue;
        const std::optional<int> below = CountBelow(files, folder + "\\" + e.name, unlistable);
        if (!below) return std::nullopt;
        count += *below;
    }
    return count;
}

class Packer {
  public:
    Packer(platform::Files& files, std::time_t now, const ProgressFn& progress, int total)
        : files_(files), now_(now), progress_(progress), total_(total) {}

    bool Open() {
        functions_ = MemoryFunctions(stream_);
        zip_ = zipOpen2_64("", APPEND_STATUS_CREATE, nullptr, &functions_);
        return zip_ != nullptr;
    }

    // False when the archive facility fails or a file cannot be read.
    bool AddFolderContents(const Text& folder, const Text& prefix) {
        const auto listed = files_.TrySearch(folder + "\\*", platform::EntryFilter::All);
        if (!listed) {
            unreadable = folder;
            return false;
        }
        const std::vector<platform::DirEntry>& entries = *listed;
        for (const platform::DirEntry& e : entries) {
            if (e.isDirectory) continue;
            const Text path = folder + "\\" + e.name;
            std::optional<std::string> content = files_.ReadFile(path);
            if (!content) {
                unreadable = path;
                return false;
            }
            const std::uint32_t fallback = static_cast<std::uint32_t>(now_);
            std::uint32_t m = fallback, a = fallback, c = fallback;
            if (std::optional<platform::FileTimes> t = files_.GetFileTimes(path)) {
                m = UnixFromFileTime(t->modified);
                a = UnixFromFileTime(t->accessed);
                c = UnixFromFileTime(t->created);
            }
            if (!AddEntry(prefix + e.name, *content, false, m, a, c)) return false;
        }
        for (const platform::DirEntry& e : entries) {
            if (!e.isDirectory) continue;
            const std::uint32_t t = static_cast<std::uint32_t>(now_);
            if (!AddEntry(prefix + e.name + "/", {}, true, t, t, t)) return false;
            if (!AddFolderContents(folder + "\\" + e.name, prefix + e.name + "/")) return false;
        }
        return true;
    }

    std::optional<std::string> Close() {
        const int rc = zipClose(zip_, nullptr);
        zip_ = nullptr;
        if (rc != ZIP_OK) return std::nullopt;
        return std::move(stream_.bytes);
    }

    ~Packer() {
        if (zip_ != nullptr) zipClose(zip_, nullptr);
    }

    Text unreadable;

  private:
    bool AddEntry(const Text& name, std::string_view content, bool folder, std::uint32_t m,
                  std::uint32_t a, std::uint32_t c) {
        const bool stored = folder || StoredByName(name);
        std::string packed;
        if (!stored) {
            std::optional<std::string> deflated = RawDeflate(content);
            if (!deflated) return false;
            packed = std::move(*deflated);
        }
        zip_fileinfo info{};
        info.dosDate = DosDateTime(folder ? now_ : static_cast<std::time_t>(m));
        info.external_fa = folder ? kFolderAttributes : kFileAttributes;
        const std::string local = LocalTimestamp(m, a, c);
        const std::string central = CentralTimestamp(m);
        // Raw mode with level 0 keeps the general-purpose flags at 0; the data
        // is deflated above at the level the packages use.
        if (zipOpenNewFileInZip4_64(
                zip_, name.c_str(), &info, local.data(), static_cast<uInt>(local.size()),
                central.data(), static_cast<uInt>(central.size()), nullptr, stored ? 0 : Z_DEFLATED,
                0, 1, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0, kVersionMadeBy, 0,
                0) != ZIP_OK) {
            return false;
        }
        const std::string_view data = stored ? content : std::string_view(packed);
        if (!data.empty() &&
            zipWriteInFileInZip(zip_, data.data(), static_cast<unsigned>(data.size())) != ZIP_OK) {
            return false;
        }
        const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(content.data()),
                                static_cast<uInt>(content.size()));
        if (zipCloseFileInZipRaw64(zip_, content.size(), crc) != ZIP_OK) return false;
        ++added_;
        if (progress_ && total_ > 0) progress_(static_cast<int>(added_ * 100LL / total_));
        return true;
    }

    platform::Files& files_;
    std::time_t now_;
    const ProgressFn& progress_;
    int total_;
    int added_ = 0;
    MemoryStream stream_;
    zlib_filefunc64_def functions_{};
    zipFile zip_ = nullptr;
};

// ---- names ----------------------------------------------------------------

bool IsReservedDeviceName(std::string_view component) {
    std::string base(component.substr(0, component.find('.')));
    for (char& ch : base) {
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
    }
    for (std::string_view d : {"CON", "PRN", "AUX", "NUL"}) {
        if (base == d) return true;
    }
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
           base[3] >= '1' && base[3] <= '9';
}

bool EnsureFolders(platform::Files& files, const Text& base, const std::vector<Text>& parts) {
    Text path = base;
    for (const Text& part : parts) {
        path += "\\" + part;
        if (!files.CreateFolder(path)) return false;
    }
    return true;
}

std::optional<std::vector<Text>> SafeComponents(const Text& entryName) {
    std::string_view name = entryName;
    if (!name.empty() && name.back() == '/') name.remove_suffix(1);
    if (name.empty()) return std::nullopt;
    std::vector<Text> parts;
    for (std::size_t start = 0;;) {
        const std::size_t slash = name.find('/', start);
        const std::string_view part = name.substr(start, slash - start);
        // Windows drops trailing dots and blanks, which would turn ".. " into "..".
        if (!platform::IsValidFileName(part) || part.back() == '.' || part.back() == ' ' ||
            IsReservedDeviceName(part)) {
            return std::nullopt;
        }
        parts.emplace_back(part);
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    return parts;
}

}  // namespace

PackResult BuildArchive(platform::Files& files, const Text& source, std::time_t now,
                        const ProgressFn& progress) {
    PackResult result;
    const std::optional<int> total = CountBelow(files, source, result.unreadable);
    if (!total) return result;
    Packer packer(files, now, progress, *total);
    if (!packer.Open()) return result;
    if (!packer.AddFolderContents(source, "")) {
        result.unreadable = packer.unreadable.empty() ? source : packer.unreadable;
        return result;
    }
    result.archive = packer.Close();
    if (!result.archive) result.unreadable = source;
    return result;
}

bool LooksLikeArchive(std::string_view bytes) {
    if (bytes.size() < 32 || bytes.substr(0, 4) != std::string_view("PK\x03\x04", 4)) return false;
    const auto b = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i]));
    };
    const std::int32_t value =
        static_cast<std::int32_t>(b(24) | (b(25) << 8) | (b(26) << 16) | (b(27) << 24));
    return value >= 1;
}

ReadStatus ReadArchive(std::string_view bytes, std::vector<ArchiveEntry>& entries) {
    entries.clear();
    if (!LooksLikeArchive(bytes)) return ReadStatus::NotArchive;
    MemoryStream stream;
    stream.bytes.assign(bytes);
    zlib_filefunc64_def functions = MemoryFunctions(stream);
    unzFile zip = unzOpen2_64("", &functions);
    if (zip == nullptr) return ReadStatus::Corrupt;
    ReadStatus status = ReadStatus::Ok;
    for (int rc = unzGoToFirstFile(zip); rc != UNZ_END_OF_LIST_OF_FILE; rc = unzGoToNextFile(zip)) {
        if (rc != UNZ_OK) {
            status = ReadStatus::Corrupt;
            break;
        }
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
            status = ReadStatus::Corrupt;
            break;
        }
        std::string name(info.size_filename, '\0');
        std::string extra(info.size_file_extra, '\0');
        if (unzGetCurrentFileInfo64(zip, &info, name.data(), static_cast<uLong>(name.size()),
                                    extra.data(), static_cast<uLong>(extra.size()), nullptr,
                                    0) != UNZ_OK ||
            unzOpenCurrentFile(zip) != UNZ_OK) {
            status = ReadStatus::Corrupt;
            break;
        }
        ArchiveEntry entry;
        entry.name = name;
        entry.isFolder = !name.empty() && name.back() == '/';
        char buffer[65536];
        int n = 0;
        while ((n = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0)
            entry.content.append(buffer, n);
        const int closed = unzCloseCurrentFile(zip);
        if (n < 0 || closed != UNZ_OK || entry.content.size() != info.uncompressed_size) {
            status = ReadStatus::Corrupt;
            break;
        }
        const std::optional<std::int64_t> unix = ModifiedFromExtra(extra);
        entry.modified =
            FileTimeFromUnix(unix ? *unix : static_cast<std::int64_t>(TimeFromDos(info.dosDate)));
        entries.push_back(std::move(entry));
    }
    unzClose(zip);
    if (status != ReadStatus::Ok) entries.clear();
    return status;
}

std::optional<Text> EntryTarget(const Text& destination, const Text& entryName) {
    const std::optional<std::vector<Text>> parts = SafeComponents(entryName);
    if (!parts) return std::nullopt;
    Text path = destination;
    for (const Text& part : *parts) path += "\\" + part;
    return path;
}

UnpackResult ExtractArchive(platform::Files& files, std::string_view bytes, const Text& destination,
                            const ProgressFn& progress) {
    UnpackResult result;
    std::vector<ArchiveEntry> entries;
    const ReadStatus read = ReadArchive(bytes, entries);
    if (read != ReadStatus::Ok) {
        result.status =
            read == ReadStatus::NotArchive ? UnpackStatus::NotArchive : UnpackStatus::Corrupt;
        return result;
    }
    if (!files.CreateFolder(destination)) {
        result.status = UnpackStatus::WriteFailed;
        result.failedPath = destination;
        return result;
    }
    const int total = static_cast<int>(entries.size());
    for (int k = 0; k < total; ++k) {
        const ArchiveEntry& entry = entries[static_cast<std::size_t>(k)];
        const std::optional<std::vector<Text>> parts = SafeComponents(entry.name);
        if (!parts) {
            ++result.skipped;
        } else if (entry.isFolder) {
            if (!EnsureFolders(files, destination, *parts)) {
                result.status = UnpackStatus::WriteFailed;
                result.failedPath = *EntryTarget(destination, entry.name);
                return result;
            }
        } else {
            const Text target = *EntryTarget(destination, entry.name);
            const std::vector<Text> above(parts->begin(), parts->end() - 1);
            if (files.Exists(target)) files.ClearAttributes(target);
            if (!EnsureFolders(files, destination, above) ||
                !files.WriteFile(target, entry.content)) {
                result.status = UnpackStatus::WriteFailed;
                result.failedPath = target;
                return result;
            }
            if (entry.modified) files.SetModifiedTime(target, *entry.modified);
            files.ClearAttributes(target);
        }
        if (progress) progress(static_cast<int>(k * 100LL / total));
    }
    if (progress) progress(100);
    return result;
}

}  // namespace tools
