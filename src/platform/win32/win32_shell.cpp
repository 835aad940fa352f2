#include "platform/win32/win32_shell.h"

#include <windows.h>
//
#include <shellapi.h>

#include "platform/win32/win_text.h"

namespace platform {

bool Win32Shell::Open(const Text& target) {
    const std::wstring wide = win32::Wide(target);
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // Values above 32 mean success.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::uint64_t Win32Clock::NowMilliseconds() {
    return GetTickCount64();
}

}  // namespace platform
