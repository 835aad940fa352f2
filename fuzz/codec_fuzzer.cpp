// The one codec over any bytes: every byte string survives both round trips,
// CharLength steps over exactly the characters the codec converts, text that
// is valid UTF-16 or UTF-8 comes back unchanged, and the text-to-integer
// conversion reads as the C library does.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "check.h"
#include "text/text.h"

namespace {

bool IsValidUtf16(std::u16string_view units) {
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (units[i] >= 0xDC00 && units[i] <= 0xDFFF) return false;
        if (units[i] >= 0xD800 && units[i] <= 0xDBFF) {
            if (i + 1 == units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF) {
                return false;
            }
            ++i;
        }
    }
    return true;
}

// Well-formed UTF-8 as the Unicode standard defines it (table 3-7).
bool IsValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
        const unsigned char c = b(0);
        std::size_t n = c < 0x80                 ? 1
                        : c >= 0xC2 && c <= 0xDF ? 2
                        : c >= 0xE0 && c <= 0xEF ? 3
                        : c >= 0xF0 && c <= 0xF4 ? 4
                                                 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k) {
            if ((b(k) & 0xC0) != 0x80) return false;
        }
        if ((c == 0xE0 && b(1) < 0xA0) || (c == 0xED && b(1) > 0x9F) ||
            (c == 0xF0 && b(1) < 0x90) || (c == 0xF4 && b(1) > 0x8F)) {
            return false;
        }
        i += n;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    const std::u16string wide = text::ToUtf16(bytes);
    FUZZ_CHECK(text::FromUtf16(wide) == bytes);
    FUZZ_CHECK(text::FromUtf8(text::ToUtf8(bytes)) == bytes);

    std::size_t characters = 0;
    for (std::size_t pos = 0; pos < bytes.size(); ++characters) {
        const std::size_t length = text::CharLength(bytes, pos);
        FUZZ_CHECK(length == 1 || length == 2 || length == 4);
        pos += length;
        FUZZ_CHECK(pos <= bytes.size());
    }
    std::size_t codePoints = 0;
    for (std::size_t i = 0; i < wide.size(); ++i, ++codePoints) {
        if (wide[i] >= 0xD800 && wide[i] <= 0xDBFF) ++i;  // a pair is one character
    }
    FUZZ_CHECK(characters == codePoints);

    // The same bytes read as UTF-16 (what Windows hands over) and as UTF-8
    // (POSIX file names).
    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    }
    if (IsValidUtf16(units)) FUZZ_CHECK(text::ToUtf16(text::FromUtf16(units)) == units);
    if (IsValidUtf8(bytes)) FUZZ_CHECK(text::ToUtf8(text::FromUtf8(bytes)) == bytes);

    errno = 0;
    const long long theirs = std::strtoll(bytes.c_str(), nullptr, 10);
    FUZZ_CHECK(text::ToInteger(bytes.c_str()) == theirs);
    return 0;
}
