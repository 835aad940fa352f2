#pragma once
// Text <-> the wide strings of the W functions, through the program's codec.
#include <string>
#include <string_view>

#include "text/text.h"

namespace platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

inline std::wstring Wide(std::string_view gbk) {
    const std::u16string utf16 = text::ToUtf16(gbk);
    return std::wstring(utf16.begin(), utf16.end());
}

inline Text FromWide(std::wstring_view wide) {
    return text::FromUtf16(std::u16string(wide.begin(), wide.end()));
}

}  // namespace platform::win32
