#include "tools/backup_package.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace tools {
namespace {

constexpr std::size_t kChunk = 256 * 1024;
constexpr std::uint32_t kMax32 = 0xFFFFFFFFu;
constexpr std::uint16_t kMax16 = 0xFFFFu;

// ---- little-endian fields --------------------------------------------------

void Put(std::string& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::uint64_t Get(std::string_view b, std::size_t at, int bytes) {
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

// ---- times -----------------------------------------------------------------

constexpr std::int64_t kUnixEpochInFileTimeSeconds = 11644473600LL;

std::uint32_t UnixFromFileTime(platform::FileTime t) {
    const std::int64_t seconds =
        static_cast<std::int64_t>(t.ticks / 10000000ULL) - kUnixEpochInFileTimeSeconds;
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(seconds, 0, 0xFFFFFFFFLL));
}

platform::FileTime FileTimeFromUnix(std::int64_t seconds) {
    return {static_cast<std::uint64_t>(
                std::max<std::int64_t>(seconds + kUnixEpochInFileTimeSeconds, 0)) *
            10000000ULL};
}

bool LocalTime(std::time_t t, std::tm& out) {
#ifdef _WIN32
    return localtime_s(&out, &t) == 0;
#else
    return localtime_r(&t, &out) != nullptr;
#endif
}

// ZIP dates are local wall-clock time; the format starts in 1980.
std::uint32_t DosDateTime(std::time_t t) {
    std::tm tm{};
    if (!LocalTime(t, tm) || tm.tm_year < 80) return (1u << 21) | (1u << 16);
    return (static_cast<std::uint32_t>(tm.tm_year - 80) << 25) |
           (static_cast<std::uint32_t>(tm.tm_mon + 1) << 21) |
           (static_cast<std::uint32_t>(tm.tm_mday) << 16) |
           (static_cast<std::uint32_t>(tm.tm_hour) << 11) |
           (static_cast<std::uint32_t>(tm.tm_min) << 5) | static_cast<std::uint32_t>(tm.tm_sec / 2);
}

std::time_t TimeFromDos(std::uint32_t dos) {
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

// The "UT" extended timestamp: all three times locally, the modification time
// in the central directory.
std::string LocalTimestamp(std::uint32_t modified, std::uint32_t accessed, std::uint32_t created) {
    std::string x = {'U', 'T', 13, 0, 7};
    Put(x, modified, 4);
    Put(x, accessed, 4);
    Put(x, created, 4);
    return x;
}

std::string CentralTimestamp(std::uint32_t modified) {
    std::string x = {'U', 'T', 5, 0, 7};
    Put(x, modified, 4);
    return x;
}

// The data of the extra field with `id`, if present and well formed.
std::optional<std::string_view> ExtraField(std::string_view extra, unsigned id) {
    for (std::size_t pos = 0; pos + 4 <= extra.size();) {
        const unsigned tag = static_cast<unsigned>(Get(extra, pos, 2));
        const std::size_t size = static_cast<std::size_t>(Get(extra, pos + 2, 2));
        if (pos + 4 + size > extra.size()) return std::nullopt;
        if (tag == id) return extra.substr(pos + 4, size);
        pos += 4 + size;
    }
    return std::nullopt;
}

std::optional<std::int64_t> ModifiedFromExtra(std::string_view extra) {
    const std::optional<std::string_view> ut = ExtraField(extra, 0x5455);
    if (!ut || ut->size() < 5 || (static_cast<unsigned char>((*ut)[0]) & 1) == 0) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(Get(*ut, 1, 4));
}

// ---- packing ---------------------------------------------------------------

constexpr std::uint16_t kVersionMadeBy = 0x0B17;
constexpr std::uint16_t kVersionNeeded = 20;
constexpr std::uint16_t kVersionNeededZip64 = 45;
constexpr std::uint32_t kFolderAttributes = 0x41C00010;
constexpr std::uint32_t kFileAttributes = 0x20;  // archive
constexpr int kDeflateLevel = 8;
// Files up to this size are deflated in memory, so their header is written
// with its values; larger ones stream and get their header patched.
constexpr std::uint64_t kInMemoryFile = 4 * 1024 * 1024;

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

class Deflater {
  public:
    Deflater() {
        ok_ = deflateInit2(&zs_, kDeflateLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) ==
              Z_OK;
    }
    ~Deflater() {
        if (ok_) deflateEnd(&zs_);
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Appends the deflated form of `data` to `out`; `last` ends the stream.
    bool Feed(std::string_view data, bool last, std::string& out) {
        if (!ok_) return false;
        zs_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
        zs_.avail_in = static_cast<uInt>(data.size());
        char buffer[65536];
        for (;;) {
            zs_.next_out = reinterpret_cast<Bytef*>(buffer);
            zs_.avail_out = sizeof buffer;
            const int rc = deflate(&zs_, last ? Z_FINISH : Z_NO_FLUSH);
            if (rc == Z_STREAM_ERROR) return ok_ = false;
            out.append(buffer, sizeof buffer - zs_.avail_out);
            if (last ? rc == Z_STREAM_END : (zs_.avail_in == 0 && zs_.avail_out != 0)) break;
        }
        return true;
    }

    // The whole of `data` as one stream into `out`, restarting the deflater
    // (cheaper than a new one per entry); `scratch` holds the worst case, so
    // one call does it all.
    bool Whole(std::string_view data, std::string& scratch, std::string& out) {
        if (!ok_ || deflateReset(&zs_) != Z_OK) return false;
        const std::size_t bound = deflateBound(&zs_, static_cast<uLong>(data.size()));
        if (scratch.size() < bound) scratch.resize(bound);
        zs_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
        zs_.avail_in = static_cast<uInt>(data.size());
        zs_.next_out = reinterpret_cast<Bytef*>(scratch.data());
        zs_.avail_out = static_cast<uInt>(bound);
        if (deflate(&zs_, Z_FINISH) != Z_STREAM_END) return ok_ = false;
        out.assign(scratch.data(), bound - zs_.avail_out);
        return true;
    }

  private:
    z_stream zs_{};
    bool ok_ = false;
};

std::uint32_t Crc(std::uint32_t crc, std::string_view data) {
    return static_cast<std::uint32_t>(
        crc32(crc, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

struct Item {
    Text name;  // entry name
    Text path;  // on disk
    bool isFolder = false;
};

// The entries in archive order, or false naming the folder that cannot be
// listed (a failed search is not an empty folder).
bool Collect(platform::Files& files, const Text& folder, const Text& prefix,
             std::vector<Item>& items, Text& unlistable) {
    const auto entries = files.TrySearch(folder + "\\*", platform::EntryFilter::All);
    if (!entries) {
        unlistable = folder;
        return false;
    }
    for (const platform::DirEntry& e : *entries) {
        if (!e.isDirectory) items.push_back({prefix + e.name, folder + "\\" + e.name, false});
    }
    for (const platform::DirEntry& e : *entries) {
        if (!e.isDirectory) continue;
        items.push_back({prefix + e.name + "/", folder + "\\" + e.name, true});
        if (!Collect(files, folder + "\\" + e.name, prefix + e.name + "/", items, unlistable)) {
            return false;
        }
    }
    return true;
}

struct CentralEntry {
    Text name;
    std::uint16_t method = 0;
    std::uint32_t dosTime = 0, crc = 0, attributes = 0, modified = 0;
    std::uint64_t size = 0, compressed = 0, offset = 0;
    bool zip64Sizes = false;  // the local header carries ZIP64 sizes
};

class ZipWriter {
  public:
    explicit ZipWriter(ArchiveSink& sink) : sink_(sink) {}

    // The local header; sizes of a streamed entry are patched later.
    bool BeginEntry(CentralEntry& e, std::uint32_t accessed, std::uint32_t created,
                    bool patchable) {
        e.offset = written_;
        std::string h("PK\x03\x04", 4);
        Put(h, e.zip64Sizes ? kVersionNeededZip64 : kVersionNeeded, 2);
        Put(h, 0, 2);  // flags: sizes and CRC in the header, no data descriptor
        Put(h, e.method, 2);
        Put(h, e.dosTime, 4);
        Put(h, e.crc, 4);
        Put(h, e.zip64Sizes ? kMax32 : e.compressed, 4);
        Put(h, e.zip64Sizes ? kMax32 : e.size, 4);
        const std::string ut = LocalTimestamp(e.modified, accessed, created);
        std::string zip64;
        if (e.zip64Sizes) {
            zip64 = std::string("\x01\x00\x10\x00", 4);
            Put(zip64, e.size, 8);
            Put(zip64, e.compressed, 8);
        }
        Put(h, e.name.size(), 2);
        Put(h, ut.size() + zip64.size(), 2);
        h += e.name + ut + zip64;
        headerSize_ = h.size();
        return Emit(h, patchable);
    }

    bool Data(std::string_view bytes) { return Emit(bytes, false); }

    // Writes the final CRC and sizes into the patchable local header.
    bool PatchEntry(const CentralEntry& e) {
        std::string values;
        Put(values, e.crc, 4);
        if (!sink_.Patch(e.offset + 14, values)) return false;
        if (!e.zip64Sizes) {
            values.clear();
            Put(values, e.compressed, 4);
            Put(values, e.size, 4);
            return sink_.Patch(e.offset + 18, values);
        }
        values.clear();
        Put(values, e.size, 8);
        Put(values, e.compressed, 8);
        return sink_.Patch(e.offset + headerSize_ - 16, values);
    }

    void EndEntry(CentralEntry e) { central_.push_back(std::move(e)); }

    bool Finish() {
        const std::uint64_t centralAt = written_;
        std::string out;
        for (const CentralEntry& e : central_) {
            const bool bigSize = e.zip64Sizes || e.size >= kMax32 || e.compressed >= kMax32;
            const bool bigOffset = e.offset >= kMax32;
            std::string zip64;
            if (bigSize) Put(zip64, e.size, 8), Put(zip64, e.compressed, 8);
            if (bigOffset) Put(zip64, e.offset, 8);
            if (!zip64.empty()) {
                std::string field("\x01\x00", 2);
                Put(field, zip64.size(), 2);
                zip64 = field + zip64;
            }
            const std::string ut = CentralTimestamp(e.modified);
            out += std::string("PK\x01\x02", 4);
            Put(out, kVersionMadeBy, 2);
            Put(out, zip64.empty() ? kVersionNeeded : kVersionNeededZip64, 2);
            Put(out, 0, 2);
            Put(out, e.method, 2);
            Put(out, e.dosTime, 4);
            Put(out, e.crc, 4);
            Put(out, bigSize ? kMax32 : e.compressed, 4);
            Put(out, bigSize ? kMax32 : e.size, 4);
            Put(out, e.name.size(), 2);
            Put(out, ut.size() + zip64.size(), 2);
            Put(out, 0, 2);  // comment
            Put(out, 0, 2);  // disk
            Put(out, 0, 2);  // internal attributes
            Put(out, e.attributes, 4);
            Put(out, bigOffset ? kMax32 : e.offset, 4);
            out += e.name + ut + zip64;
            if (out.size() >= kChunk) {
                if (!Emit(out, false)) return false;
                out.clear();
            }
        }
        const std::uint64_t centralSize = written_ + out.size() - centralAt;
        const std::uint64_t count = central_.size();
        if (count >= kMax16 || centralSize >= kMax32 || centralAt >= kMax32) {
            const std::uint64_t recordAt = written_ + out.size();
            out += std::string("PK\x06\x06", 4);
            Put(out, 44, 8);
            Put(out, kVersionMadeBy, 2);
            Put(out, kVersionNeededZip64, 2);
            Put(out, 0, 4);
            Put(out, 0, 4);
            Put(out, count, 8);
            Put(out, count, 8);
            Put(out, centralSize, 8);
            Put(out, centralAt, 8);
            out += std::string("PK\x06\x07", 4);
            Put(out, 0, 4);
            Put(out, recordAt, 8);
            Put(out, 1, 4);
        }
        out += std::string("PK\x05\x06", 4);
        Put(out, 0, 4);
        Put(out, std::min<std::uint64_t>(count, kMax16), 2);
        Put(out, std::min<std::uint64_t>(count, kMax16), 2);
        Put(out, std::min<std::uint64_t>(centralSize, kMax32), 4);
        Put(out, std::min<std::uint64_t>(centralAt, kMax32), 4);
        Put(out, 0, 2);
        return Emit(out, false);
    }

  private:
    bool Emit(std::string_view bytes, bool patchable) {
        if (!sink_.Append(bytes, patchable)) return false;
        written_ += bytes.size();
        return true;
    }

    ArchiveSink& sink_;
    std::uint64_t written_ = 0;
    std::size_t headerSize_ = 0;
    std::vector<CentralEntry> central_;
};

// Reads the file to its end in pieces; false on a read error.
// A small file needs a buffer of its size (one byte more shows that it grew),
// and a short read is its end.
bool ReadAll(platform::FileReader& reader, std::string& buffer,
             const std::function<bool(std::string_view)>& f) {
    const std::size_t chunk =
        static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, reader.Size() + 1));
    if (buffer.size() < chunk) buffer.resize(chunk);
    for (std::uint64_t offset = 0;;) {
        const std::optional<std::size_t> n = reader.ReadAt(offset, buffer.data(), chunk);
        if (!n) return false;
        if (*n == 0) return true;
        if (!f(std::string_view(buffer.data(), *n))) return false;
        offset += *n;
        if (*n < chunk) return true;
    }
}

// What one entry needs before it is written: its header values and, for a
// file small enough, its data deflated in memory. Preparing is independent
// for every entry, so it can run on other cores; writing keeps the order.
struct Stream;
struct Prepared {
    CentralEntry e;
    std::uint32_t accessed = 0, created = 0;
    bool readable = true;
    bool streamed = false;  // too large for memory: deflated while written
    std::string data;
    // A worker's deflating of a streamed entry, and the size it had when
    // the worker opened it; without one the writer reads the file itself.
    std::shared_ptr<Stream> stream;
    std::uint64_t expected = 0;
};

// What a thread keeps from entry to entry: a deflater and its buffers.
struct Scratch {
    Deflater deflater;
    std::string content, packed;
};

// Reads a file of at most the in-memory size into `buffer` and sets its
// length; false on a read error. One byte more than its size shows that it
// grew, and a short read is its end; `tooLarge` when it grew past the
// in-memory size.
bool ReadSmall(platform::FileReader& reader, std::string& buffer, std::size_t& length,
               bool& tooLarge) {
    std::size_t want = static_cast<std::size_t>(reader.Size()) + 1;
    length = 0;
    for (;;) {
        if (buffer.size() < want) buffer.resize(want);
        const std::optional<std::size_t> n =
            reader.ReadAt(length, buffer.data() + length, want - length);
        if (!n) return false;
        length += *n;
        if (length < want) return true;
        if (length > kInMemoryFile) {
            tooLarge = true;
            return false;
        }
        want =
            static_cast<std::size_t>(std::min<std::uint64_t>(length + kChunk, kInMemoryFile + 1));
    }
}

Prepared Prepare(platform::Files& files, const Item& item, std::time_t now, Scratch& scratch) {
    Prepared p;
    p.e.name = item.name;
    const std::uint32_t packedAt = static_cast<std::uint32_t>(now);
    p.e.modified = p.accessed = p.created = packedAt;
    if (item.isFolder) {
        p.e.dosTime = DosDateTime(now);
        p.e.attributes = kFolderAttributes;
        return p;
    }
    p.e.attributes = kFileAttributes;
    p.e.method = StoredByName(item.name) ? 0 : Z_DEFLATED;
    std::unique_ptr<platform::FileReader> reader = files.OpenRead(item.path);
    // The open file tells its times without looking the path up again.
    std::optional<platform::FileTimes> times = reader ? reader->Times() : std::nullopt;
    if (!times) times = files.GetFileTimes(item.path);
    if (times) {
        p.e.modified = UnixFromFileTime(times->modified);
        p.accessed = UnixFromFileTime(times->accessed);
        p.created = UnixFromFileTime(times->created);
    }
    p.e.dosTime = DosDateTime(static_cast<std::time_t>(p.e.modified));
    if (!reader) {
        p.readable = false;
        return p;
    }
    if (reader->Size() > kInMemoryFile) {
        p.streamed = true;
        return p;
    }
    std::size_t length = 0;
    bool tooLarge = false;
    if (!ReadSmall(*reader, scratch.content, length, tooLarge)) {
        // Grown past the in-memory size while read: stream it instead.
        p.streamed = tooLarge;
        p.readable = tooLarge;
        return p;
    }
    const std::string_view content(scratch.content.data(), length);
    p.e.crc = Crc(0, content);
    p.e.size = content.size();
    if (p.e.method != 0) {
        if (!scratch.deflater.Whole(content, scratch.packed, p.data)) p.readable = false;
    } else {
        p.data.assign(content);
    }
    p.e.compressed = p.data.size();
    return p;
}

// How a streamed entry went: whether the file was read to its end (and
// deflated), whether the sink took every piece, and the entry's values.
struct StreamOutcome {
    bool read = false, sunk = true;
    std::uint32_t crc = 0;
    std::uint64_t size = 0, compressed = 0;
};
using PieceSink = std::function<bool(std::string_view)>;

// Reads a large file in pieces, deflated unless `method` stores it, and
// hands each piece of entry data to `sink` as it is made.
StreamOutcome StreamFile(platform::FileReader& reader, std::uint16_t method, std::string& buffer,
                         const PieceSink& sink) {
    StreamOutcome o;
    Deflater deflater;
    std::string packed;
    o.read = ReadAll(reader, buffer, [&](std::string_view piece) {
        o.crc = Crc(o.crc, piece);
        o.size += piece.size();
        std::string_view out = piece;
        if (method != 0) {
            packed.clear();
            if (!deflater.Feed(piece, false, packed)) return false;
            out = packed;
        }
        o.compressed += out.size();
        return o.sunk = sink(out);
    });
    if (!o.read || !o.sunk || method == 0) return o;
    packed.clear();
    o.read = deflater.Feed({}, true, packed);
    o.compressed += packed.size();
    if (o.read) o.sunk = sink(packed);
    return o;
}

// A streamed entry's data on its way from the worker that deflates it to
// the writer; its pieces are bounded, so a huge file never waits whole.
struct Stream {
    std::deque<std::string> pieces;
    std::size_t bytes = 0;
    bool done = false;
    StreamOutcome outcome;
};

// Prepares entries ahead of the writer on worker threads; with no workers
// each entry is prepared when asked. Workers take entries one by one from a
// shared counter and hand them over in batches, so the writer and workers
// rarely wait for each other; what is prepared but not yet written stays
// within a budget, so memory stays bounded. While the writer waits, it keeps
// the windows painted through the files' long-work hook.
class PrepareQueue {
  public:
    PrepareQueue(platform::Files& files, const std::vector<Item>& items, std::time_t now,
                 unsigned workers)
        : files_(files), items_(items), now_(now), slots_(workers > 0 ? items.size() : 0) {
        for (unsigned i = 0; i < workers; ++i) threads_.emplace_back([this] { Work(); });
    }
    ~PrepareQueue() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        room_.notify_all();
        for (std::thread& t : threads_) t.join();
    }
    PrepareQueue(const PrepareQueue&) = delete;
    PrepareQueue& operator=(const PrepareQueue&) = delete;

    // Entry k, once prepared; entries before it must have been taken.
    // Every entry ready in a row is taken at once, so the writer rarely
    // needs the lock.
    Prepared Take(std::size_t k) {
        if (threads_.empty()) return Prepare(files_, items_[k], now_, scratch_);
        if (k == takenEnd_) {
            std::unique_lock<std::mutex> lock(mutex_);
            WaitForWorkers(lock, [&] { return slots_[k].ready; });
            std::size_t freed = 0;
            for (; takenEnd_ < slots_.size() && slots_[takenEnd_].ready; ++takenEnd_) {
                freed += Charge(slots_[takenEnd_].p);
            }
            inFlight_.store(inFlight_.load(std::memory_order_relaxed) - freed,
                            std::memory_order_relaxed);
            if (workersWaiting_ > 0) room_.notify_all();
        }
        return std::move(slots_[k].p);
    }

    // The pieces of a streamed entry handed to `sink` as its worker makes
    // them; the outcome once the worker is done or the sink refused.
    // While the writer is on it, the other workers may prepare that much
    // more ahead (up to the entry's size), so they are not idle meanwhile.
    StreamOutcome Drain(Stream& s, std::uint64_t expected, const PieceSink& sink) {
        std::unique_lock<std::mutex> lock(mutex_);
        extraRoom_.store(static_cast<std::size_t>(std::min<std::uint64_t>(expected, kExtraBytes)),
                         std::memory_order_relaxed);
        if (workersWaiting_ > 0) room_.notify_all();
        struct Back {
            std::atomic<std::size_t>& extra;
            ~Back() { extra.store(0, std::memory_order_relaxed); }
        } back{extraRoom_};
        for (;;) {
            WaitForWorkers(lock, [&] { return !s.pieces.empty() || s.done; });
            if (s.pieces.empty()) return s.outcome;
            const std::string piece = std::move(s.pieces.front());
            s.pieces.pop_front();
            s.bytes -= piece.size();
            if (workersWaiting_ > 0) room_.notify_all();
            lock.unlock();
            const bool taken = sink(piece);
            lock.lock();
            if (!taken) {
                StreamOutcome refused;
                refused.sunk = false;
                return refused;
            }
        }
    }

  private:
    // Prepared data waiting for the writer; each worker adds at most its
    // batch and a streamed entry's pieces.
    static constexpr std::size_t kAheadBytes = 16 * 1024 * 1024;
    static constexpr std::size_t kExtraBytes = 64 * 1024 * 1024;
    static constexpr std::size_t kBatchItems = 64;
    static constexpr std::size_t kBatchBytes = 1024 * 1024;
    static constexpr std::size_t kStreamAheadBytes = 8 * 1024 * 1024;
    // How often a waiting writer lets the windows paint (the hook itself
    // decides how often they really do).
    static constexpr std::chrono::milliseconds kAliveStep{50};

    struct Slot {
        Prepared p;
        bool ready = false;
    };

    static std::size_t Charge(const Prepared& p) { return p.data.size() + 256; }
    std::size_t Room() const { return kAheadBytes + extraRoom_.load(std::memory_order_relaxed); }

    template <class Ready>
    void WaitForWorkers(std::unique_lock<std::mutex>& lock, Ready ready) {
        writerWaiting_ = true;
        while (!ready()) {
            ready_.wait_for(lock, kAliveStep);
            if (ready() || !files_.duringLongWork) continue;
            lock.unlock();
            files_.duringLongWork();
            lock.lock();
        }
        writerWaiting_ = false;
    }

    // Marks the worker's prepared entries ready; under the lock.
    void Publish(std::vector<std::size_t>& pending, std::size_t& bytes) {
        if (pending.empty()) return;
        for (std::size_t k : pending) slots_[k].ready = true;
        inFlight_.store(inFlight_.load(std::memory_order_relaxed) + bytes,
                        std::memory_order_relaxed);
        pending.clear();
        bytes = 0;
        if (writerWaiting_) ready_.notify_one();
    }

    // False when the queue stops before there is room for the piece.
    bool Push(Stream& s, std::string_view piece) {
        std::unique_lock<std::mutex> lock(mutex_);
        ++workersWaiting_;
        room_.wait(lock, [&] { return stop_ || s.bytes < kStreamAheadBytes; });
        --workersWaiting_;
        if (stop_) return false;
        s.pieces.emplace_back(piece);
        s.bytes += piece.size();
        if (writerWaiting_) ready_.notify_one();
        return true;
    }

    void Work() {
        Scratch scratch;
        std::vector<std::size_t> pending;
        std::size_t pendingBytes = 0;
        while (!stop_) {
            if (inFlight_.load(std::memory_order_relaxed) + pendingBytes >= Room()) {
                std::unique_lock<std::mutex> lock(mutex_);
                Publish(pending, pendingBytes);
                ++workersWaiting_;
                room_.wait(lock, [&] {
                    return stop_ || inFlight_.load(std::memory_order_relaxed) < Room();
                });
                --workersWaiting_;
                if (stop_) return;
            }
            const std::size_t k = next_.fetch_add(1, std::memory_order_relaxed);
            if (k >= items_.size()) {
                std::lock_guard<std::mutex> lock(mutex_);
                Publish(pending, pendingBytes);
                return;
            }
            Prepared& p = slots_[k].p;
            p = Prepare(files_, items_[k], now_, scratch);
            pending.push_back(k);
            pendingBytes += Charge(p);
            if (p.streamed) {
                StreamEntry(p, items_[k], scratch, pending, pendingBytes);
                continue;
            }
            if (pending.size() >= kBatchItems || pendingBytes >= kBatchBytes) {
                std::lock_guard<std::mutex> lock(mutex_);
                Publish(pending, pendingBytes);
            }
        }
    }

    // Hands the entry over at once, then deflates the file into its stream.
    void StreamEntry(Prepared& p, const Item& item, Scratch& scratch,
                     std::vector<std::size_t>& pending, std::size_t& pendingBytes) {
        std::unique_ptr<platform::FileReader> reader = files_.OpenRead(item.path);
        std::shared_ptr<Stream> stream;
        if (reader) {
            p.expected = reader->Size();
            p.stream = stream = std::make_shared<Stream>();
        } else {
            p.readable = false;
        }
        const std::uint16_t method = p.e.method;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            Publish(pending, pendingBytes);
        }
        if (!stream) return;
        const StreamOutcome outcome =
            StreamFile(*reader, method, scratch.content,
                       [&](std::string_view piece) { return Push(*stream, piece); });
        std::lock_guard<std::mutex> lock(mutex_);
        stream->outcome = outcome;
        stream->done = true;
        if (writerWaiting_) ready_.notify_one();
    }

    platform::Files& files_;
    const std::vector<Item>& items_;
    std::time_t now_;
    Scratch scratch_;  // preparing on the writer's thread
    std::vector<Slot> slots_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable ready_, room_;  // for the writer, for the workers
    std::atomic<std::size_t> next_{0}, inFlight_{0}, extraRoom_{0};
    std::size_t takenEnd_ = 0;  // the writer's: entries up to here are its own
    std::size_t workersWaiting_ = 0;
    bool writerWaiting_ = false;
    std::atomic<bool> stop_{false};
};

class Packer {
  public:
    explicit Packer(ArchiveSink& sink) : zip_(sink) {}

    // False when a file cannot be read (named in `unreadable`) or the sink
    // refuses the bytes (`writeFailed`).
    bool Add(platform::Files& files, const Item& item, Prepared p, PrepareQueue& queue) {
        if (!p.readable) return Unreadable(item.path);
        if (p.streamed) {
            bool added = false;
            if (const std::shared_ptr<Stream> stream = p.stream) {
                added = AddStreamed(p, p.expected, [&](const PieceSink& sink) {
                    return queue.Drain(*stream, p.expected, sink);
                });
            } else {
                std::unique_ptr<platform::FileReader> reader = files.OpenRead(item.path);
                if (!reader) return Unreadable(item.path);
                added = AddStreamed(p, reader->Size(), [&](const PieceSink& sink) {
                    return StreamFile(*reader, p.e.method, buffer_, sink);
                });
            }
            return added || writeFailed || Unreadable(item.path);
        }
        if (!zip_.BeginEntry(p.e, p.accessed, p.created, false) || !zip_.Data(p.data)) {
            return WriteFailed();
        }
        zip_.EndEntry(std::move(p.e));
        return true;
    }

    bool Finish() { return zip_.Finish() || WriteFailed(); }

    Text unreadable;
    bool writeFailed = false;

  private:
    bool WriteFailed() {
        writeFailed = true;
        return false;
    }
    bool Unreadable(const Text& path) {
        unreadable = path;
        return false;
    }

    // The header goes first with room for the values, the data after it as
    // it is made, then the header gets its values.
    bool AddStreamed(Prepared& p, std::uint64_t expected,
                     const std::function<StreamOutcome(const PieceSink&)>& produce) {
        CentralEntry& e = p.e;
        // Deflate may grow data a little; leave room so a size near the limit
        // still fits the header it was given.
        e.zip64Sizes = expected + expected / 128 + 1024 >= kMax32;
        e.size = expected;
        e.crc = 0;
        e.compressed = 0;
        if (!zip_.BeginEntry(e, p.accessed, p.created, true)) return WriteFailed();
        const StreamOutcome o = produce([&](std::string_view piece) { return zip_.Data(piece); });
        if (!o.sunk) return WriteFailed();
        if (!o.read) return false;
        // A file that grew past what its header can say cannot be packed.
        if (!e.zip64Sizes && (o.size >= kMax32 || o.compressed >= kMax32)) return false;
        e.crc = o.crc;
        e.size = o.size;
        e.compressed = o.compressed;
        if (!zip_.PatchEntry(e)) return WriteFailed();
        zip_.EndEntry(std::move(e));
        return true;
    }

    ZipWriter zip_;
    std::string buffer_;
};

// ---- reading ---------------------------------------------------------------

struct Span {
    std::uint64_t begin, end;
};

// Reads `size` bytes at `offset` into a string; false past the end.
bool ReadBytes(ArchiveSource& source, std::uint64_t offset, std::size_t size, std::string& out) {
    out.resize(size);
    if (size == 0) return offset <= source.Size();
    if (offset > source.Size() || source.Size() - offset < size) return false;
    return source.Read(offset, out.data(), size);
}

struct EndRecord {
    std::uint64_t count = 0, centralSize = 0, centralAt = 0;
    std::uint64_t recordAt = 0;  // where the directory must end
};

// The end-of-central-directory record, the last one whose comment reaches
// exactly to the end of the file, and its ZIP64 counterpart when present.
bool FindEnd(ArchiveSource& source, EndRecord& end) {
    const std::uint64_t size = source.Size();
    if (size < 22) return false;
    const std::uint64_t tail = std::min<std::uint64_t>(size, 22 + 65535);
    std::string bytes;
    if (!ReadBytes(source, size - tail, static_cast<std::size_t>(tail), bytes)) return false;
    for (std::size_t at = bytes.size() - 22 + 1; at-- > 0;) {
        if (bytes.compare(at, 4, "PK\x05\x06", 4) != 0) continue;
        if (at + 22 + Get(bytes, at + 20, 2) != bytes.size()) continue;
        const std::uint64_t eocdAt = size - tail + at;
        if (Get(bytes, at + 4, 2) != 0 || Get(bytes, at + 6, 2) != 0) return false;  // multi-disk
        end.count = Get(bytes, at + 10, 2);
        if (Get(bytes, at + 8, 2) != end.count) return false;
        end.centralSize = Get(bytes, at + 12, 4);
        end.centralAt = Get(bytes, at + 16, 4);
        end.recordAt = eocdAt;
        std::string locator;
        if (eocdAt >= 20 && ReadBytes(source, eocdAt - 20, 20, locator) &&
            locator.compare(0, 4, "PK\x06\x07", 4) == 0) {
            const std::uint64_t recordAt = Get(locator, 8, 8);
            std::string record;
            if (Get(locator, 4, 4) != 0 || recordAt > eocdAt - 20 ||
                !ReadBytes(source, recordAt, 56, record) ||
                record.compare(0, 4, "PK\x06\x06", 4) != 0 || Get(record, 16, 4) != 0 ||
                Get(record, 20, 4) != 0 || Get(record, 24, 8) != Get(record, 32, 8)) {
                return false;
            }
            end.count = Get(record, 32, 8);
            end.centralSize = Get(record, 40, 8);
            end.centralAt = Get(record, 48, 8);
            end.recordAt = recordAt;
        }
        return end.centralAt <= end.recordAt && end.recordAt - end.centralAt == end.centralSize;
    }
    return false;
}

// The values of a ZIP64 extended-information field that stand in for the
// header fields set to their maximum, in the order the format gives them.
bool ApplyZip64(std::string_view extra, std::uint64_t* size, std::uint64_t* compressed,
                std::uint64_t* offset) {
    const bool any = (size && *size == kMax32) || (compressed && *compressed == kMax32) ||
                     (offset && *offset == kMax32);
    if (!any) return true;
    const std::optional<std::string_view> field = ExtraField(extra, 0x0001);
    if (!field) return false;
    std::size_t at = 0;
    for (std::uint64_t* value : {size, compressed, offset}) {
        if (value == nullptr || *value != kMax32) continue;
        if (at + 8 > field->size()) return false;
        *value = Get(*field, at, 8);
        at += 8;
    }
    return true;
}

}  // namespace

// ---- sinks and sources -----------------------------------------------------

bool StringSink::Append(std::string_view data, bool) {
    bytes.append(data);
    return true;
}

bool StringSink::Patch(std::uint64_t offset, std::string_view data) {
    if (offset > bytes.size() || bytes.size() - offset < data.size()) return false;
    bytes.replace(static_cast<std::size_t>(offset), data.size(), data);
    return true;
}

bool WriterSink::Append(std::string_view bytes, bool) {
    if (!ok_) return false;
    buffer_.append(bytes);
    return buffer_.size() < kChunk || Flush();
}

bool WriterSink::Patch(std::uint64_t offset, std::string_view bytes) {
    if (!ok_) return false;
    if (offset >= flushed_) {
        const std::uint64_t at = offset - flushed_;
        if (at > buffer_.size() || buffer_.size() - at < bytes.size()) return ok_ = false;
        buffer_.replace(static_cast<std::size_t>(at), bytes.size(), bytes);
        return true;
    }
    return ok_ = writer_.WriteAt(offset, bytes);
}

bool WriterSink::Flush() {
    if (!ok_) return false;
    ok_ = buffer_.empty() || writer_.Write(buffer_);
    flushed_ += buffer_.size();
    buffer_.clear();
    return ok_;
}

bool CipherSink::Append(std::string_view bytes, bool patchable) {
    scratch_.assign(bytes);
    rc4_.Apply(scratch_.data(), scratch_.size());
    if (patchable) {
        patchableAt_ = size_;
        patchableKeystream_ = scratch_;
        for (std::size_t i = 0; i < bytes.size(); ++i) patchableKeystream_[i] ^= bytes[i];
    }
    size_ += bytes.size();
    return inner_.Append(scratch_, patchable);
}

bool CipherSink::Patch(std::uint64_t offset, std::string_view bytes) {
    if (offset < patchableAt_ || offset - patchableAt_ > patchableKeystream_.size() ||
        patchableKeystream_.size() - (offset - patchableAt_) < bytes.size()) {
        return false;
    }
    scratch_.assign(bytes);
    const std::size_t at = static_cast<std::size_t>(offset - patchableAt_);
    for (std::size_t i = 0; i < bytes.size(); ++i) scratch_[i] ^= patchableKeystream_[at + i];
    return inner_.Patch(offset, scratch_);
}

bool MemorySource::Read(std::uint64_t offset, char* buffer, std::size_t size) {
    if (offset > bytes_.size() || bytes_.size() - offset < size) return false;
    if (size > 0) std::memcpy(buffer, bytes_.data() + offset, size);
    return true;
}

bool ReaderSource::Read(std::uint64_t offset, char* buffer, std::size_t size) {
    constexpr std::size_t kWindow = 256 * 1024;
    if (size > kWindow / 4) {
        const std::optional<std::size_t> n = reader_.ReadAt(offset, buffer, size);
        return n && *n == size;
    }
    const auto holds = [&](const Window& w) {
        return offset >= w.at && offset - w.at <= w.bytes.size() &&
               w.bytes.size() - (offset - w.at) >= size;
    };
    int use = holds(windows_[0]) ? 0 : holds(windows_[1]) ? 1 : -1;
    if (use < 0) {
        use = older_;
        Window& w = windows_[use];
        w.bytes.resize(kWindow);
        const std::optional<std::size_t> n = reader_.ReadAt(offset, w.bytes.data(), kWindow);
        w.bytes.resize(n ? *n : 0);
        w.at = offset;
        if (!n || *n < size) return false;
    }
    older_ = 1 - use;
    if (size > 0)
        std::memcpy(buffer, windows_[use].bytes.data() + (offset - windows_[use].at), size);
    return true;
}

CipherSource::CipherSource(ArchiveSource& inner, std::string_view key)
    // At most about 16,000 saved states (16 MiB) whatever the size.
    : inner_(inner),
      step_(std::max<std::uint64_t>(64 * 1024, inner.Size() / 16384 + 1)),
      checkpoints_{crypto::Rc4Stream(key)},
      current_(checkpoints_.front()) {}

void CipherSource::SeekKeystream(std::uint64_t offset) {
    if (offset < position_ || offset - position_ > step_) {
        const std::uint64_t k = std::min<std::uint64_t>(offset / step_, checkpoints_.size() - 1);
        current_ = checkpoints_[static_cast<std::size_t>(k)];
        position_ = k * step_;
    }
    while (position_ < offset) {
        const std::uint64_t next = (position_ / step_ + 1) * step_;
        const std::uint64_t stop = std::min(next, offset);
        current_.Skip(stop - position_);
        position_ = stop;
        if (position_ == next && checkpoints_.size() == next / step_) {
            checkpoints_.push_back(current_);
        }
    }
}

bool CipherSource::Read(std::uint64_t offset, char* buffer, std::size_t size) {
    if (!inner_.Read(offset, buffer, size)) return false;
    SeekKeystream(offset);
    for (std::size_t done = 0; done < size;) {
        const std::uint64_t next = (position_ / step_ + 1) * step_;
        const std::size_t piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(size - done, next - position_));
        current_.Apply(buffer + done, piece);
        done += piece;
        position_ += piece;
        if (position_ == next && checkpoints_.size() == next / step_) {
            checkpoints_.push_back(current_);
        }
    }
    return true;
}

// ---- packing ---------------------------------------------------------------

PackResult PackFolder(platform::Files& files, const Text& source, std::time_t now,
                      const ProgressFn& progress, ArchiveSink& sink, unsigned threads) {
    PackResult result;
    std::vector<Item> items;
    if (!Collect(files, source, "", items, result.unreadable)) return result;
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    PrepareQueue queue(files, items, now, threads > 1 ? threads : 0);
    Packer packer(sink);
    int reported = -1;
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (!packer.Add(files, items[k], queue.Take(k), queue)) {
            result.unreadable = packer.unreadable;
            result.writeFailed = packer.writeFailed;
            return result;
        }
        const int percent = static_cast<int>((k + 1) * 100 / items.size());
        if (progress && percent != reported) progress(reported = percent);
    }
    if (!packer.Finish()) {
        result.writeFailed = true;
        return result;
    }
    result.ok = true;
    return result;
}

BuiltArchive BuildArchive(platform::Files& files, const Text& source, std::time_t now,
                          const ProgressFn& progress, unsigned threads) {
    StringSink sink;
    const PackResult packed = PackFolder(files, source, now, progress, sink, threads);
    BuiltArchive built;
    built.unreadable = packed.unreadable;
    if (packed.ok) built.archive = std::move(sink.bytes);
    return built;
}

// ---- reading ---------------------------------------------------------------

bool LooksLikeArchive(std::string_view bytes) {
    if (bytes.size() < 32 || bytes.substr(0, 4) != std::string_view("PK\x03\x04", 4)) return false;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(Get(bytes, 24, 4))) >= 1;
}

ReadStatus ReadDirectory(ArchiveSource& source, std::vector<EntryInfo>& entries) {
    entries.clear();
    std::string head;
    if (!ReadBytes(source, 0, 32, head) || !LooksLikeArchive(head)) return ReadStatus::NotArchive;
    EndRecord end;
    if (!FindEnd(source, end)) return ReadStatus::Corrupt;
    // Every record takes at least 46 bytes, which bounds what a lying count
    // can make us reserve.
    if (end.count > end.centralSize / 46) return ReadStatus::Corrupt;
    entries.reserve(static_cast<std::size_t>(end.count));
    std::vector<Span> spans;
    spans.reserve(static_cast<std::size_t>(end.count));
    std::string record, local, bytes;
    std::uint64_t at = end.centralAt;
    for (std::uint64_t k = 0; k < end.count; ++k) {
        if (!ReadBytes(source, at, 46, record) || record.compare(0, 4, "PK\x01\x02", 4) != 0) {
            return ReadStatus::Corrupt;
        }
        const unsigned flags = static_cast<unsigned>(Get(record, 8, 2));
        EntryInfo e;
        e.method = static_cast<std::uint16_t>(Get(record, 10, 2));
        const std::uint32_t dos = static_cast<std::uint32_t>(Get(record, 12, 4));
        e.crc = static_cast<std::uint32_t>(Get(record, 16, 4));
        e.compressedSize = Get(record, 20, 4);
        e.size = Get(record, 24, 4);
        const std::size_t nameLength = static_cast<std::size_t>(Get(record, 28, 2));
        const std::size_t extraLength = static_cast<std::size_t>(Get(record, 30, 2));
        const std::size_t commentLength = static_cast<std::size_t>(Get(record, 32, 2));
        std::uint64_t localAt = Get(record, 42, 4);
        const std::uint64_t recordEnd = at + 46 + nameLength + extraLength + commentLength;
        if (recordEnd > end.recordAt ||
            !ReadBytes(source, at + 46, nameLength + extraLength, bytes)) {
            return ReadStatus::Corrupt;
        }
        const std::string_view rawName = std::string_view(bytes).substr(0, nameLength);
        const std::string_view extra = std::string_view(bytes).substr(nameLength);
        if (!ApplyZip64(extra, &e.size, &e.compressedSize, &localAt)) return ReadStatus::Corrupt;
        // Encrypted entries and methods other than stored and deflate are not
        // this program's; a stored entry's two sizes are one.
        if ((flags & 0x41) != 0 || (e.method != 0 && e.method != Z_DEFLATED) ||
            (e.method == 0 && e.size != e.compressedSize)) {
            return ReadStatus::Corrupt;
        }
        // Bit 11: the name is UTF-8 (other tools); otherwise it is GBK.
        e.name = (flags & 0x800) != 0 ? text::FromUtf8(rawName) : Text(rawName);
        e.isFolder = !e.name.empty() && e.name.back() == '/';
        if (e.isFolder && e.size != 0) return ReadStatus::Corrupt;
        const std::optional<std::int64_t> unix = ModifiedFromExtra(extra);
        e.modified = FileTimeFromUnix(unix ? *unix : static_cast<std::int64_t>(TimeFromDos(dos)));

        // The local header must say the same and its data must lie before
        // the central directory.
        if (localAt > end.centralAt || end.centralAt - localAt < 30 ||
            !ReadBytes(source, localAt, 30, local) || local.compare(0, 4, "PK\x03\x04", 4) != 0) {
            return ReadStatus::Corrupt;
        }
        const unsigned localFlags = static_cast<unsigned>(Get(local, 6, 2));
        const std::size_t localName = static_cast<std::size_t>(Get(local, 26, 2));
        const std::size_t localExtra = static_cast<std::size_t>(Get(local, 28, 2));
        std::string localBytes;
        if (Get(local, 8, 2) != e.method || (localFlags & 0x849) != (flags & 0x849) ||
            localName != nameLength ||
            !ReadBytes(source, localAt + 30, localName + localExtra, localBytes) ||
            std::string_view(localBytes).substr(0, localName) != rawName) {
            return ReadStatus::Corrupt;
        }
        std::uint64_t descriptor = 0;
        if ((flags & 0x08) == 0) {
            std::uint64_t size = Get(local, 22, 4), compressed = Get(local, 18, 4);
            if (!ApplyZip64(std::string_view(localBytes).substr(localName), &size, &compressed,
                            nullptr) ||
                Get(local, 14, 4) != e.crc || size != e.size || compressed != e.compressedSize) {
                return ReadStatus::Corrupt;
            }
        } else {
            descriptor = 16;  // signature, CRC, two sizes: the largest 32-bit form
        }
        e.dataOffset = localAt + 30 + localName + localExtra;
        if (e.dataOffset > end.centralAt ||
            end.centralAt - e.dataOffset < e.compressedSize + descriptor) {
            // A data descriptor may be shorter than its largest form only
            // when it is the last thing before the directory; allow that.
            if (descriptor == 0 || e.dataOffset > end.centralAt ||
                end.centralAt - e.dataOffset < e.compressedSize + 12) {
                return ReadStatus::Corrupt;
            }
            descriptor = 12;
        }
        spans.push_back({localAt, e.dataOffset + e.compressedSize + descriptor});
        entries.push_back(std::move(e));
        at = recordEnd;
    }
    if (at != end.recordAt) return ReadStatus::Corrupt;
    // No two entries may share bytes: one local entry behind many central
    // entries, or data that holds another entry, would multiply the output.
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.begin < b.begin; });
    for (std::size_t i = 1; i < spans.size(); ++i) {
        if (spans[i].begin < spans[i - 1].end) {
            entries.clear();
            return ReadStatus::Corrupt;
        }
    }
    return ReadStatus::Ok;
}

namespace {

// Inflates entries one after another with one set of buffers.
class EntryReader {
  public:
    EntryReader() : in_(kChunk, '\0'), out_(kChunk, '\0') {
        ok_ = inflateInit2(&zs_, -MAX_WBITS) == Z_OK;
    }
    ~EntryReader() {
        if (ok_) inflateEnd(&zs_);
    }
    EntryReader(const EntryReader&) = delete;
    EntryReader& operator=(const EntryReader&) = delete;

    StreamStatus Stream(ArchiveSource& source, const EntryInfo& entry,
                        const std::function<bool(std::string_view)>& out) {
        return entry.method == 0 ? Stored(source, entry, out) : Deflated(source, entry, out);
    }

  private:
    StreamStatus Stored(ArchiveSource& source, const EntryInfo& entry,
                        const std::function<bool(std::string_view)>& out) {
        std::uint32_t crc = 0;
        for (std::uint64_t done = 0; done < entry.compressedSize;) {
            const std::size_t n = static_cast<std::size_t>(
                std::min<std::uint64_t>(in_.size(), entry.compressedSize - done));
            if (!source.Read(entry.dataOffset + done, in_.data(), n)) return StreamStatus::Corrupt;
            const std::string_view piece(in_.data(), n);
            crc = Crc(crc, piece);
            if (!out(piece)) return StreamStatus::OutputFailed;
            done += n;
        }
        return crc == entry.crc ? StreamStatus::Ok : StreamStatus::Corrupt;
    }

    StreamStatus Deflated(ArchiveSource& source, const EntryInfo& entry,
                          const std::function<bool(std::string_view)>& out) {
        if (!ok_ || inflateReset(&zs_) != Z_OK) return StreamStatus::Corrupt;
        zs_.avail_in = 0;
        std::uint32_t crc = 0;
        std::uint64_t produced = 0, consumed = 0;
        int rc = Z_OK;
        while (rc != Z_STREAM_END) {
            if (zs_.avail_in == 0) {
                const std::size_t n = static_cast<std::size_t>(
                    std::min<std::uint64_t>(in_.size(), entry.compressedSize - consumed));
                if (n == 0 || !source.Read(entry.dataOffset + consumed, in_.data(), n)) {
                    return StreamStatus::Corrupt;
                }
                consumed += n;
                zs_.next_in = reinterpret_cast<Bytef*>(in_.data());
                zs_.avail_in = static_cast<uInt>(n);
            }
            zs_.next_out = reinterpret_cast<Bytef*>(out_.data());
            zs_.avail_out = static_cast<uInt>(out_.size());
            rc = inflate(&zs_, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END) return StreamStatus::Corrupt;
            const std::string_view piece(out_.data(), out_.size() - zs_.avail_out);
            produced += piece.size();
            // More than the stated size is a lie: stop before passing it on.
            if (produced > entry.size) return StreamStatus::Corrupt;
            crc = Crc(crc, piece);
            if (!piece.empty() && !out(piece)) return StreamStatus::OutputFailed;
        }
        const bool exact = zs_.avail_in == 0 && consumed == entry.compressedSize &&
                           produced == entry.size && crc == entry.crc;
        return exact ? StreamStatus::Ok : StreamStatus::Corrupt;
    }

    z_stream zs_{};
    bool ok_ = false;
    std::string in_, out_;
};

}  // namespace

StreamStatus StreamEntry(ArchiveSource& source, const EntryInfo& entry,
                         const std::function<bool(std::string_view)>& out) {
    EntryReader reader;
    return reader.Stream(source, entry, out);
}

ReadStatus ReadArchive(std::string_view bytes, std::vector<ArchiveEntry>& entries) {
    entries.clear();
    MemorySource source(bytes);
    std::vector<EntryInfo> infos;
    const ReadStatus status = ReadDirectory(source, infos);
    if (status != ReadStatus::Ok) return status;
    EntryReader reader;
    for (const EntryInfo& info : infos) {
        ArchiveEntry entry{info.name, info.isFolder, {}, info.modified};
        if (reader.Stream(source, info, [&](std::string_view piece) {
                entry.content.append(piece);
                return true;
            }) != StreamStatus::Ok) {
            entries.clear();
            return ReadStatus::Corrupt;
        }
        entries.push_back(std::move(entry));
    }
    return ReadStatus::Ok;
}

// ---- unpacking -------------------------------------------------------------

namespace {

std::optional<std::vector<Text>> SafeComponents(const Text& entryName) {
    std::string_view name = entryName;
    if (!name.empty() && name.back() == '/') name.remove_suffix(1);
    if (name.empty()) return std::nullopt;
    std::vector<Text> parts;
    for (std::size_t start = 0;;) {
        const std::size_t slash = name.find('/', start);
        const std::string_view part = name.substr(start, slash - start);
        // The rule typed names follow; it also keeps ".. " from becoming "..".
        if (!platform::IsOrdinaryFileName(part)) return std::nullopt;
        parts.emplace_back(part);
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    return parts;
}

Text FoldedAscii(std::string_view name) {
    Text folded(name);
    for (std::size_t pos = 0; pos < folded.size();) {
        const std::size_t length = text::CharLength(folded, pos);
        if (length == 1 && folded[pos] >= 'A' && folded[pos] <= 'Z') folded[pos] += 'a' - 'A';
        pos += length;
    }
    return folded;
}

// Makes each folder on the way once per restore, and lists each folder once
// to know which names exist there already, however many entries lie in it.
class FolderMaker {
  public:
    FolderMaker(platform::Files& files, Text base) : files_(files), base_(std::move(base)) {}

    // The folder of parts[0..count) below the base, made where missing.
    std::optional<Text> Make(const std::vector<Text>& parts, std::size_t count) {
        Text path = base_;
        for (std::size_t i = 0; i < count; ++i) {
            path += "\\" + parts[i];
            if (names_.contains(path)) continue;
            if (!files_.CreateFolder(path)) return std::nullopt;
            names_[path];
        }
        return path;
    }

    // Whether `name` may exist in `folder` already (a folder that cannot be
    // listed may hold anything).
    bool MayExist(const Text& folder, const Text& name) {
        auto& listed = names_[folder];
        if (!listed) {
            listed.emplace();
            if (const auto entries = files_.TrySearch(folder + "\\*", platform::EntryFilter::All)) {
                for (const platform::DirEntry& e : *entries) listed->insert(FoldedAscii(e.name));
            } else {
                unlistable_.insert(folder);
            }
        }
        return unlistable_.contains(folder) || listed->contains(FoldedAscii(name));
    }

  private:
    platform::Files& files_;
    Text base_;
    std::map<Text, std::optional<std::set<Text>>> names_;
    std::set<Text> unlistable_;
};

}  // namespace

std::optional<Text> EntryTarget(const Text& destination, const Text& entryName) {
    const std::optional<std::vector<Text>> parts = SafeComponents(entryName);
    if (!parts) return std::nullopt;
    Text path = destination;
    for (const Text& part : *parts) path += "\\" + part;
    return path;
}

UnpackResult ExtractArchive(platform::Files& files, ArchiveSource& source, const Text& destination,
                            const ProgressFn& progress) {
    UnpackResult result;
    std::vector<EntryInfo> entries;
    const ReadStatus read = ReadDirectory(source, entries);
    if (read != ReadStatus::Ok) {
        result.status =
            read == ReadStatus::NotArchive ? UnpackStatus::NotArchive : UnpackStatus::Corrupt;
        return result;
    }
    // Every entry's data is checked before the first file is written, in the
    // order it lies in the package so the reads run forward.
    EntryReader reader;
    {
        std::vector<const EntryInfo*> byOffset;
        byOffset.reserve(entries.size());
        for (const EntryInfo& e : entries) byOffset.push_back(&e);
        std::sort(byOffset.begin(), byOffset.end(), [](const EntryInfo* a, const EntryInfo* b) {
            return a->dataOffset < b->dataOffset;
        });
        for (const EntryInfo* e : byOffset) {
            if (reader.Stream(source, *e, [](std::string_view) { return true; }) !=
                StreamStatus::Ok) {
                result.status = UnpackStatus::Corrupt;
                return result;
            }
        }
    }
    if (!files.CreateFolder(destination)) {
        result.status = UnpackStatus::WriteFailed;
        result.failedPath = destination;
        return result;
    }
    FolderMaker folders(files, destination);
    const std::size_t total = entries.size();
    int reported = -1;
    for (std::size_t k = 0; k < total; ++k) {
        const EntryInfo& entry = entries[k];
        const std::optional<std::vector<Text>> parts = SafeComponents(entry.name);
        if (!parts) {
            ++result.skipped;
        } else {
            const Text target = *EntryTarget(destination, entry.name);
            // What was written before stays, and is put in place.
            const auto fail = [&] {
                result.status = UnpackStatus::WriteFailed;
                result.failedPath = target;
                files.CompleteWrites();
                return result;
            };
            if (entry.isFolder) {
                if (!folders.Make(*parts, parts->size())) return fail();
            } else {
                const std::optional<Text> folder = folders.Make(*parts, parts->size() - 1);
                if (!folder) return fail();
                // A read-only file is replaced as well.
                if (folders.MayExist(*folder, parts->back())) files.ClearAttributes(target);
                // A file that was there is replaced crash-safely; a new one
                // needs no flush before the next. Either gets its time and
                // normal attributes as it is written.
                std::unique_ptr<platform::FileWriter> writer =
                    files.BeginWrite(target, platform::WriteMode::Batched);
                if (!writer) return fail();
                writer->SetModifiedTime(entry.modified);
                // The package was checked, so a failure now is the package
                // changing under us or the disk refusing: either way this
                // entry is not restored.
                if (reader.Stream(source, entry,
                                  [&](std::string_view piece) { return writer->Write(piece); }) !=
                        StreamStatus::Ok ||
                    !writer->Commit()) {
                    return fail();
                }
            }
        }
        const int percent = static_cast<int>(k * 100 / total);
        if (progress && percent != reported) progress(reported = percent);
    }
    if (!files.CompleteWrites(&result.failedPath)) {
        result.status = UnpackStatus::WriteFailed;
        return result;
    }
    if (progress) progress(100);
    return result;
}

UnpackResult ExtractArchive(platform::Files& files, std::string_view bytes, const Text& destination,
                            const ProgressFn& progress) {
    MemorySource source(bytes);
    return ExtractArchive(files, source, destination, progress);
}

}  // namespace tools
