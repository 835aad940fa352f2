#include "store/line_breaks.h"

#include <algorithm>
#include <string_view>

// CR and LF never occur inside a GBK or GB18030 character, so line breaks can
// be found byte by byte.
namespace store {
namespace {

// Bytes of the line break that starts at `pos`: 2 for CR LF, 1 for a lone CR
// or LF, 0 for anything else.
std::size_t BreakAt(std::string_view text, std::size_t pos) {
    if (text[pos] == '\r') return pos + 1 < text.size() && text[pos + 1] == '\n' ? 2 : 1;
    return text[pos] == '\n' ? 1 : 0;
}

std::string_view CommonBreak(std::string_view text) {
    std::size_t crlf = 0, cr = 0, lf = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = BreakAt(text, pos);
        if (length == 2) ++crlf;
        if (length == 1) ++(text[pos] == '\r' ? cr : lf);
        pos += std::max<std::size_t>(length, 1);
    }
    if (crlf >= lf && crlf >= cr) return "\r\n";
    return lf >= cr ? "\n" : "\r";
}

// How many bytes of `original` give the first `count` bytes of
// WithCrLfBreaks(original); `count` never ends inside a CR LF there.
std::size_t OriginalPrefix(std::string_view original, std::size_t count) {
    std::size_t pos = 0;
    for (std::size_t n = 0; n < count;) {
        const std::size_t length = BreakAt(original, pos);
        pos += std::max<std::size_t>(length, 1);
        n += length > 0 ? 2 : 1;
    }
    return pos;
}

// The same for the last `count` bytes.
std::size_t OriginalSuffix(std::string_view original, std::size_t count) {
    std::size_t end = original.size();
    for (std::size_t n = 0; n < count;) {
        const char c = original[end - 1];
        if (c == '\n' && end >= 2 && original[end - 2] == '\r') {
            end -= 2;
        } else {
            --end;
        }
        n += c == '\r' || c == '\n' ? 2 : 1;
    }
    return original.size() - end;
}

}  // namespace

Text WithCrLfBreaks(const Text& text) {
    Text out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = BreakAt(text, pos);
        if (length == 0) {
            out += text[pos++];
        } else {
            out += "\r\n";
            pos += length;
        }
    }
    return out;
}

Text RestoreLineBreaks(const Text& original, const Text& edited) {
    const Text normal = WithCrLfBreaks(original);
    if (edited == normal) return original;

    const std::size_t limit = std::min(normal.size(), edited.size());
    std::size_t prefix = 0;
    while (prefix < limit && normal[prefix] == edited[prefix]) ++prefix;
    if (prefix > 0 && normal[prefix - 1] == '\r') --prefix;  // not inside a CR LF
    std::size_t suffix = 0;
    while (suffix < limit - prefix &&
           normal[normal.size() - 1 - suffix] == edited[edited.size() - 1 - suffix]) {
        ++suffix;
    }
    if (suffix > 0 && normal[normal.size() - suffix] == '\n') --suffix;

    const std::string_view form = CommonBreak(original);
    Text out;
    out.reserve(edited.size());
    out.append(original, 0, OriginalPrefix(original, prefix));
    for (std::size_t pos = prefix; pos < edited.size() - suffix;) {
        const std::size_t length = BreakAt(edited, pos);
        if (length == 0) {
            out += edited[pos++];
        } else {
            out += form;
            pos += length;
        }
    }
    const std::size_t tail = OriginalSuffix(original, suffix);
    out.append(original, original.size() - tail, tail);
    return out;
}

}  // namespace store
