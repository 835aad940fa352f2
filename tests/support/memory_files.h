#pragma once
// Files held in memory with the Windows rules the program relies on (names
// found without regard to ASCII letter case, one folder level per
// CreateFolder, read-only files that cannot be replaced), so archive code can
// run without a disk: in tests and under a fuzzer. Not thread-safe.
#include <map>
#include <memory>

#include "platform/files.h"

namespace testing_support {

class MemoryFiles : public platform::Files {
  public:
    // `root` exists from the start; `maxBytes` bounds what all files may hold
    // together (a write past it fails), so hostile input cannot exhaust memory.
    explicit MemoryFiles(Text root = "M:", std::uint64_t maxBytes = 64 * 1024 * 1024);

    std::optional<std::vector<platform::DirEntry>> TrySearch(const Text& pattern,
                                                             platform::EntryFilter filter) override;
    bool CreateFolder(const Text& path) override;
    std::unique_ptr<platform::FileReader> OpenRead(const Text& path) override;
    std::unique_ptr<platform::FileWriter> BeginWrite(
        const Text& path, platform::WriteMode mode = platform::WriteMode::Flush) override;
    bool DeleteFile(const Text& path) override;
    bool ClearAttributes(const Text& path) override;
    bool SetReadOnly(const Text& path, bool readOnly) override;
    std::optional<platform::FileTime> GetModifiedTime(const Text& path) override;
    std::optional<platform::FileTimes> GetFileTimes(const Text& path) override;
    bool SetModifiedTime(const Text& path, platform::FileTime time) override;
    Text CurrentDirectory() override { return root_; }
    Text ProgramFolder() override { return root_; }

    // Every file's path as first written, with its content.
    std::map<Text, std::string> Contents() const;

  private:
    struct Node {
        Text path;  // as first spelled
        bool folder = false;
        bool readOnly = false;
        std::shared_ptr<std::string> bytes;
        platform::FileTime modified;
    };
    friend class MemoryWriter;
    Node* Find(const Text& path);
    bool ParentExists(const Text& key);

    Text root_;
    std::uint64_t maxBytes_;
    std::uint64_t usedBytes_ = 0;
    std::map<Text, Node> nodes_;  // by folded path
};

}  // namespace testing_support
