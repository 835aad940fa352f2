#pragma once
// Files through the Windows W functions.
#include <set>
#include <string>

#include "platform/files.h"

namespace platform {

class Win32Files : public Files {
  public:
    // The program folder is the folder of the running executable unless an
    // override is given (tests use a temporary folder).
    explicit Win32Files(Text programFolderOverride = {});

    std::optional<std::vector<DirEntry>> TrySearch(const Text& pattern,
                                                   EntryFilter filter) override;
    bool CreateFolder(const Text& path) override;
    std::unique_ptr<FileReader> OpenRead(const Text& path) override;
    std::unique_ptr<FileWriter> BeginWrite(const Text& path,
                                           WriteMode mode = WriteMode::Flush) override;
    std::optional<FileIdentity> Identity(const Text& path) override;
    bool DeleteFile(const Text& path) override;
    bool ClearAttributes(const Text& path) override;
    bool SetReadOnly(const Text& path, bool readOnly) override;
    std::optional<FileTime> GetModifiedTime(const Text& path) override;
    std::optional<FileTimes> GetFileTimes(const Text& path) override;
    bool SetModifiedTime(const Text& path, FileTime time) override;
    Text CurrentDirectory() override;
    Text ProgramFolder() override;

  private:
    Text programFolder_;
    // Folders (upper case) whose stale temporary files were already removed.
    std::set<std::wstring> cleanedFolders_;
};

}  // namespace platform
