#pragma once
// Backup packages: a ZIP archive of a folder tree, built and read in memory so
// that the file system only ever sees whole, crash-safe writes.
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace tools {

// Percent done, 0 to 100; never cancels the work.
using ProgressFn = std::function<void(int percent)>;

struct PackResult {
    std::optional<std::string> archive;  // nullopt: a file could not be read
    Text unreadable;  // the file, or folder that cannot be listed, that stopped the packing
};

// Every file and folder below `source` (which gets no entry of its own): in
// each folder first its files, then each subfolder's entry followed by its
// contents, in the order the file system lists them. `now` dates the folder
// entries.
PackResult BuildArchive(platform::Files& files, const Text& source, std::time_t now,
                        const ProgressFn& progress);

// The quick check made before unpacking: a local file header whose first
// entry has a name.
bool LooksLikeArchive(std::string_view bytes);

struct ArchiveEntry {
    Text name;  // as stored, "/" separated; folders end with "/"
    bool isFolder = false;
    std::string content;
    std::optional<platform::FileTime> modified;
};

enum class ReadStatus { Ok, NotArchive, Corrupt };

// Reads and checks every entry (CRC included) in central-directory order.
ReadStatus ReadArchive(std::string_view bytes, std::vector<ArchiveEntry>& entries);

// The path an entry lands at below `destination`, or nullopt when its name is
// absolute, has a drive, "." or ".." components, or any component that is not
// one valid file name: such an entry would land outside the folder.
std::optional<Text> EntryTarget(const Text& destination, const Text& entryName);

enum class UnpackStatus { Ok, NotArchive, Corrupt, WriteFailed };

struct UnpackResult {
    UnpackStatus status = UnpackStatus::Ok;
    Text failedPath;  // WriteFailed: the file or folder that could not be made
    int skipped = 0;  // entries whose names would land outside the folder
};

// Checks the whole archive before writing anything, so a damaged package
// changes nothing; then extracts entry by entry, replacing same-named files
// (read-only ones included) and leaving all others alone.
UnpackResult ExtractArchive(platform::Files& files, std::string_view bytes, const Text& destination,
                            const ProgressFn& progress);

}  // namespace tools
