#ifndef _WIN32
#include <ftw.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include "platform/posix/files_posix.h"
#include "support/temp_folder.h"

namespace testing_support {
namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
    ::remove(path);
    return 0;
}

std::string HostFolder(const Text& path) {
    return text::ToUtf8(path);
}

}  // namespace

TempFolder::TempFolder() {
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/moxia-" +
                          reinterpret_cast<const char*>(u8"墨匣") + "-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path = text::FromUtf8(pattern);
}

TempFolder::~TempFolder() {
    nftw(HostFolder(path).c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

std::unique_ptr<platform::Files> MakeFiles(const TempFolder& folder) {
    return std::make_unique<platform::PosixFiles>(HostFolder(folder.path));
}

bool MarkHidden(const Text& path) {
    struct stat st {};
    return ::stat(platform::PosixFiles("/").HostPath(path).c_str(), &st) == 0;
}

bool RemoveEmptyFolder(const Text& path) {
    return ::rmdir(platform::PosixFiles("/").HostPath(path).c_str()) == 0;
}

namespace {

class SymlinkHold : public FileHold {
  public:
    explicit SymlinkHold(std::string host) : host_(std::move(host)), aside_(host_ + ".held") {
        if (::rename(host_.c_str(), aside_.c_str()) != 0 ||
            ::symlink(host_.c_str(), host_.c_str()) != 0) {
            throw std::runtime_error("cannot hold " + host_);
        }
    }
    ~SymlinkHold() override {
        ::unlink(host_.c_str());
        ::rename(aside_.c_str(), host_.c_str());
    }

  private:
    std::string host_, aside_;
};

}  // namespace

std::unique_ptr<FileHold> HoldUnreadable(const Text& path) {
    return std::make_unique<SymlinkHold>(platform::PosixFiles("/").HostPath(path));
}

}  // namespace testing_support
#endif
