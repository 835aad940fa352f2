#pragma once
// What of typed or pasted text an edit box takes: one rule for both desktops.
// The box works in UTF-16 (as the real control does); its limit counts the
// GBK (GB18030) bytes of the program's own text.
#include <cstddef>
#include <string_view>

namespace ui {

// Units of the character that starts at `i`: a surrogate pair and CR LF are
// each one character, typed or pasted whole or not at all.
std::size_t CharacterUnits(std::u16string_view text, std::size_t i);

// GBK bytes of `text` outside the selection [start, end), positions in units
// and clamped to the text: what stays when the selection is replaced.
std::size_t BytesOutsideSelection(std::u16string_view text, std::size_t start, std::size_t end);

// The leading whole characters of `incoming` that fit beside `keptBytes` in a
// box of `byteLimit` bytes (0 or less: unlimited).
std::u16string_view WithinByteLimit(std::u16string_view incoming, std::size_t keptBytes,
                                    int byteLimit);

// A single-line box takes the first line of pasted text only.
std::u16string_view FirstLine(std::u16string_view text);

}  // namespace ui
