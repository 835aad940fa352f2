#pragma once
// The program's own text: GBK bytes, exactly as texts, file names and file
// contents are defined. Lengths and positions count bytes.
#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

class Text : public std::string {
public:
    using std::string::string;
    Text() = default;
    Text(const std::string& s) : std::string(s) {}
    Text(std::string&& s) : std::string(std::move(s)) {}
    Text(std::string_view s) : std::string(s) {}
};

// Integers as the settings file and the status texts write them.
Text DecimalText(long long value);

namespace text {

// Bytes to text stops at the first zero byte; the rest is dropped.
Text BytesToText(std::string_view bytes);

// Length in bytes of the character that starts at `pos`: 1 for a single byte,
// 2 for a GBK double-byte character, 4 for a GB18030 four-byte sequence.
std::size_t CharLength(std::string_view bytes, std::size_t pos);

// The program's text-to-integer conversion: optional blanks, optional sign,
// leading digits; "" and non-numeric text give 0.
long long ToInteger(std::string_view value);

// The one codec (GB18030: GBK bytes unchanged, anything else kept as its
// four-byte sequence, never "?").
std::u16string ToUtf16(std::string_view gbk);
Text FromUtf16(std::u16string_view utf16);
std::string ToUtf8(std::string_view gbk);
Text FromUtf8(std::string_view utf8);

}  // namespace text

// GoogleTest and diagnostics print Text as readable UTF-8 with its bytes.
void PrintTo(const Text& value, std::ostream* os);
