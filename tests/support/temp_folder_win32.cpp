#ifdef _WIN32
#include <windows.h>

#include <atomic>
#include <cwchar>
#include <stdexcept>
#include <string>

#include "platform/win32/files_win32.h"
#include "platform/win32/win_text.h"
#include "support/temp_folder.h"

#undef DeleteFile

namespace testing_support {
namespace {

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data{};
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring full = folder + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, base);
    if (n == 0 || n > MAX_PATH) throw std::runtime_error("GetTempPathW failed");
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t name[64];
        std::swprintf(name, 64, L"moxia-\u58A8\u5323-%lx-%x-%lx",
                      static_cast<unsigned long>(GetCurrentProcessId()), counter.fetch_add(1),
                      static_cast<unsigned long>(GetTickCount()));
        std::wstring folder = std::wstring(base) + name;
        if (CreateDirectoryW(folder.c_str(), nullptr)) {
            path = platform::win32::FromWide(folder);
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
    RemoveTree(platform::win32::Wide(path));
}

std::unique_ptr<platform::Files> MakeFiles(const TempFolder& folder) {
    return std::make_unique<platform::Win32Files>(folder.path);
}

bool MarkHidden(const Text& path) {
    const std::wstring wide = platform::win32::Wide(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return SetFileAttributesW(wide.c_str(),
                              attributes | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) != 0;
}

bool RemoveEmptyFolder(const Text& path) {
    return RemoveDirectoryW(platform::win32::Wide(path).c_str()) != 0;
}

namespace {

class HandleHold : public FileHold {
  public:
    explicit HandleHold(const std::wstring& path)
        : handle_(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {
        if (handle_ == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot hold the file");
    }
    ~HandleHold() override { CloseHandle(handle_); }

  private:
    HANDLE handle_;
};

}  // namespace

std::unique_ptr<FileHold> HoldUnreadable(const Text& path) {
    return std::make_unique<HandleHold>(platform::win32::Wide(path));
}

}  // namespace testing_support
#endif
