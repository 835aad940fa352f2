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
// 2 for a double-byte character, 4 for a GB18030 four-byte sequence. A lead
// byte that does not start a whole valid character (for example the last byte
// of the text) counts 1, exactly as the codec steps. 0 when pos is at or past
// the end.
std::size_t CharLength(std::string_view bytes, std::size_t pos);

// ASCII letters folded, every other byte as it is.
constexpr char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal but for the case of ASCII letters, compared character by character
// as CharLength steps, so the trail byte of a double-byte character is never
// folded (as the ANSI functions of Windows compare names).
bool SameIgnoringAsciiCase(std::string_view a, std::string_view b);

// The text with its ASCII letters in lower case, stepping as CharLength does:
// a key under which names equal but for case meet.
Text AsciiLowerText(std::string_view value);

// The program's text-to-integer conversion: optional blanks, optional sign,
// leading digits; "" and non-numeric text give 0. Values beyond the range of
// long long are clamped to it.
long long ToInteger(std::string_view value);

// The one codec: code page 936 for every character it has (GBK, the single
// byte 0x80 for U+20AC and 0xFF for U+F8F5, its private-use codes), exactly as
// Windows maps it both ways; any other character as its GB18030 four-byte
// sequence, never "?".
//
// Bytes that are no such character (a lead byte without a valid continuation,
// a four-byte sequence of a character that has a code page 936 code) are
// never dropped or replaced: each such byte b becomes the unpaired low
// surrogate U+DC00 + b in UTF-16, and the raw byte b in UTF-8 output (the
// "surrogate escape" used by Python for file names). Converting back restores
// the byte, so every byte string survives ToUtf16 -> FromUtf16 and ToUtf8 ->
// FromUtf8 unchanged. Other unpaired surrogates, which no GBK text produces,
// encode as U+FFFD. FromUtf8 treats invalid UTF-8 bytes the same way (escape,
// then the raw byte in the text).
std::u16string ToUtf16(std::string_view gbk);
Text FromUtf16(std::u16string_view utf16);
std::string ToUtf8(std::string_view gbk);
Text FromUtf8(std::string_view utf8);

}  // namespace text

// GoogleTest and diagnostics print Text as readable UTF-8 with its bytes.
void PrintTo(const Text& value, std::ostream* os);
