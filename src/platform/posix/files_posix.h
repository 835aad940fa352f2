#pragma once
// Files on Linux with the semantics the program sees on Windows: backslash
// paths in GBK, names found case-insensitively, Windows name rules, read-only
// files that cannot be replaced or deleted, crash-safe replacing writes.
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"

namespace platform {

class PosixFiles : public Files {
  public:
    // Both folders are Linux paths in UTF-8; an empty current directory means
    // the program folder.
    explicit PosixFiles(std::string programFolder, std::string currentDirectory = {});
    ~PosixFiles() override;
    PosixFiles(const PosixFiles&) = delete;
    PosixFiles& operator=(const PosixFiles&) = delete;

    std::optional<std::vector<DirEntry>> TrySearch(const Text& pattern,
                                                   EntryFilter filter) override;
    bool CreateFolder(const Text& path) override;
    std::unique_ptr<FileReader> OpenRead(const Text& path) override;
    std::unique_ptr<FileWriter> BeginWrite(const Text& path,
                                           WriteMode mode = WriteMode::Flush) override;
    bool CompleteWrites(Text* failed = nullptr) override;
    std::optional<FileIdentity> Identity(const Text& path) override;
    bool DeleteFile(const Text& path) override;
    bool ClearAttributes(const Text& path) override;
    bool SetReadOnly(const Text& path, bool readOnly) override;
    std::optional<FileTime> GetModifiedTime(const Text& path) override;
    std::optional<FileTimes> GetFileTimes(const Text& path) override;
    bool SetModifiedTime(const Text& path, FileTime time) override;
    Text CurrentDirectory() override;
    Text ProgramFolder() override;

    // The Linux path a program path stands for: every existing component is
    // resolved case-insensitively; the rest is kept as written. Empty when the
    // path cannot name a file on Windows.
    std::string HostPath(const Text& path);

    // A batched replace of an existing file, waiting to be moved into place.
    struct QueuedReplace {
        Text path;
        std::string temp, target, folder;
    };
    void Queue(QueuedReplace replace);

  private:
    static constexpr std::size_t kQueuedReplaces = 2048;
    bool ReplaceQueued();

    std::string programFolder_;
    std::string currentDirectory_;
    // Folders whose stale temporary files were already removed in this run.
    std::set<std::string> cleanedFolders_;
    std::vector<QueuedReplace> queued_;
    Text lastFailed_;   // the first target the last ReplaceQueued could not replace
    Text queueFailed_;  // the first failure of a batch replaced before CompleteWrites
};

}  // namespace platform
