#pragma once
// Backup packages: a ZIP archive of a folder tree, written and read as a
// stream in pieces, so memory stays bounded whatever the size of the data.
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/rc4.h"
#include "platform/files.h"

namespace tools {

// Percent done, 0 to 100; never cancels the work.
using ProgressFn = std::function<void(int percent)>;

// ---- where archive bytes go and come from -----------------------------------

// Receives the archive in order. A header whose values are known only after
// its data is appended as patchable and rewritten later with Patch; only the
// most recent patchable append can be patched.
class ArchiveSink {
  public:
    virtual ~ArchiveSink() = default;
    virtual bool Append(std::string_view bytes, bool patchable = false) = 0;
    virtual bool Patch(std::uint64_t offset, std::string_view bytes) = 0;
};

// The whole archive in memory.
class StringSink : public ArchiveSink {
  public:
    bool Append(std::string_view bytes, bool patchable = false) override;
    bool Patch(std::uint64_t offset, std::string_view bytes) override;
    std::string bytes;
};

// Into a file being written, through a buffer.
class WriterSink : public ArchiveSink {
  public:
    explicit WriterSink(platform::FileWriter& writer) : writer_(writer) {}
    bool Append(std::string_view bytes, bool patchable = false) override;
    bool Patch(std::uint64_t offset, std::string_view bytes) override;
    bool Flush();

  private:
    platform::FileWriter& writer_;
    std::string buffer_;
    std::uint64_t flushed_ = 0;
    bool ok_ = true;
};

// EncryptData of everything appended, passed on chunk by chunk: the sink
// behind it sees the protected package only.
class CipherSink : public ArchiveSink {
  public:
    CipherSink(ArchiveSink& inner, std::string_view key) : inner_(inner), rc4_(key) {}
    bool Append(std::string_view bytes, bool patchable = false) override;
    bool Patch(std::uint64_t offset, std::string_view bytes) override;

  private:
    ArchiveSink& inner_;
    crypto::Rc4Stream rc4_;
    std::uint64_t size_ = 0;
    std::uint64_t patchableAt_ = 0;
    std::string patchableKeystream_;
    std::string scratch_;
};

// Random access to an archive.
class ArchiveSource {
  public:
    virtual ~ArchiveSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Exactly `size` bytes at `offset`, or false.
    virtual bool Read(std::uint64_t offset, char* buffer, std::size_t size) = 0;
};

class MemorySource : public ArchiveSource {
  public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    bool Read(std::uint64_t offset, char* buffer, std::size_t size) override;

  private:
    std::string_view bytes_;
};

// Small reads (headers, the data of small entries) are served from a window
// read ahead, so a package of many small entries costs few reads.
class ReaderSource : public ArchiveSource {
  public:
    explicit ReaderSource(platform::FileReader& reader) : reader_(reader) {}
    std::uint64_t Size() const override { return reader_.Size(); }
    bool Read(std::uint64_t offset, char* buffer, std::size_t size) override;

  private:
    // Two: the central directory is read alternately with the local headers.
    struct Window {
        std::string bytes;
        std::uint64_t at = 0;
    };
    platform::FileReader& reader_;
    Window windows_[2];
    int older_ = 0;
};

// DecryptData of the source behind it, read at any offset. RC4 cannot seek,
// so the keystream state is kept at regular steps and a read starts from the
// nearest one at or before it.
class CipherSource : public ArchiveSource {
  public:
    CipherSource(ArchiveSource& inner, std::string_view key);
    std::uint64_t Size() const override { return inner_.Size(); }
    bool Read(std::uint64_t offset, char* buffer, std::size_t size) override;

  private:
    void SeekKeystream(std::uint64_t offset);
    ArchiveSource& inner_;
    std::uint64_t step_;
    std::vector<crypto::Rc4Stream> checkpoints_;  // state at k * step_
    crypto::Rc4Stream current_;
    std::uint64_t position_ = 0;
};

// ---- packing ---------------------------------------------------------------

struct PackResult {
    bool ok = false;
    Text unreadable;  // the file, or folder that cannot be listed, that stopped the packing
    bool writeFailed = false;  // the sink refused the bytes
};

// Every file and folder below `source` (which gets no entry of its own): in
// each folder first its files, then each subfolder's entry followed by its
// contents, in the order the file system lists them. `now` dates the folder
// entries. Entries of 4 GiB or more, and archives that large or with that
// many entries, get the ZIP64 records that common tools read. Entries are
// deflated on `threads` cores (0: all there are); the archive is the same
// byte for byte whatever the number.
PackResult PackFolder(platform::Files& files, const Text& source, std::time_t now,
                      const ProgressFn& progress, ArchiveSink& sink, unsigned threads = 0);

// The same into memory: the archive, or nullopt (tests and tools).
struct BuiltArchive {
    std::optional<std::string> archive;
    Text unreadable;
};
BuiltArchive BuildArchive(platform::Files& files, const Text& source, std::time_t now,
                          const ProgressFn& progress, unsigned threads = 0);

// ---- reading ---------------------------------------------------------------

// The quick check made before unpacking: a local file header whose first
// entry has a name.
bool LooksLikeArchive(std::string_view first32);

enum class ReadStatus { Ok, NotArchive, Corrupt };

// One entry as the central directory and its local header agree on it.
struct EntryInfo {
    Text name;  // the program's text, "/" separated; folders end with "/"
    bool isFolder = false;
    std::uint16_t method = 0;
    std::uint32_t crc = 0;
    std::uint64_t size = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t dataOffset = 0;
    platform::FileTime modified;
};

// Reads the central directory and every local header, and refuses any
// archive whose entries disagree with their local headers, share or overlap
// their bytes, run past the central directory, are encrypted or use another
// method than stored or deflate. Entries come in central-directory order.
ReadStatus ReadDirectory(ArchiveSource& source, std::vector<EntryInfo>& entries);

// Inflates one entry in pieces into `out` (which may refuse, stopping it).
// Corrupt when the data does not end exactly at the stated sizes or its
// CRC-32 differs.
enum class StreamStatus { Ok, Corrupt, OutputFailed };
StreamStatus StreamEntry(ArchiveSource& source, const EntryInfo& entry,
                         const std::function<bool(std::string_view)>& out);

// Whole contents in memory, for tests: every entry read and checked.
struct ArchiveEntry {
    Text name;
    bool isFolder = false;
    std::string content;
    platform::FileTime modified;
};
ReadStatus ReadArchive(std::string_view bytes, std::vector<ArchiveEntry>& entries);

// ---- unpacking -------------------------------------------------------------

// The path an entry lands at below `destination`, or nullopt when its name is
// absolute, has a drive, "." or ".." components, or any component that is not
// an ordinary file name (platform::IsOrdinaryFileName): such an entry would
// land outside the folder or on a device.
std::optional<Text> EntryTarget(const Text& destination, const Text& entryName);

enum class UnpackStatus { Ok, NotArchive, Corrupt, WriteFailed };

struct UnpackResult {
    UnpackStatus status = UnpackStatus::Ok;
    Text failedPath;  // WriteFailed: the file or folder that could not be made
    int skipped = 0;  // entries whose names would land outside the folder
};

// Checks the whole archive (structure, then every entry's data and CRC)
// before writing anything, so a damaged package changes nothing; then
// extracts entry by entry, replacing same-named files (read-only ones
// included) and leaving all others alone.
UnpackResult ExtractArchive(platform::Files& files, ArchiveSource& source, const Text& destination,
                            const ProgressFn& progress);
UnpackResult ExtractArchive(platform::Files& files, std::string_view bytes, const Text& destination,
                            const ProgressFn& progress);

}  // namespace tools
