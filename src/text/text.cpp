#include "text/text.h"

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <ostream>

#include "text/gb18030_table.h"

namespace text {
namespace {

namespace g = gb18030;

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kEscapeBase = 0xDC00;  // U+DC80..U+DCFF carry bytes 0x80..0xFF

bool IsLead(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}
bool IsTwoByteTrail(unsigned char b) {
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}
bool IsFourByteDigit(unsigned char b) {
    return b >= 0x30 && b <= 0x39;
}

int TrailIndex(unsigned char b) {
    return b < 0x7F ? b - 0x40 : b - 0x41;
}

// One decoded character: its length in bytes and the code point it stands for.
// An undecodable byte gives length 1 and its escape code point.
struct Decoded {
    std::size_t length;
    char32_t codePoint;
};

const g::FourByteOverride* FindOverride(std::uint32_t linear) {
    const auto* end = g::kFourByteOverrides + g::kFourByteOverrideCount;
    const auto* it = std::lower_bound(
        g::kFourByteOverrides, end, linear,
        [](const g::FourByteOverride& o, std::uint32_t value) { return o.linear < value; });
    return it != end && it->linear == linear ? it : nullptr;
}

// 0 when the four-byte code is no character.
char32_t FourByteToCodePoint(std::uint32_t linear) {
    if (const g::FourByteOverride* o = FindOverride(linear)) return o->codePoint;
    if (linear < g::kFourByteBmpCount) {
        const auto* end = g::kFourByteRanges + g::kFourByteRangeCount;
        const auto* it = std::upper_bound(
            g::kFourByteRanges, end, linear,
            [](std::uint32_t value, const g::FourByteRange& r) { return value < r.linear; });
        --it;  // the first range starts at 0, so there is always one
        return it->first + (linear - it->linear);
    }
    if (linear >= g::kSupplementaryLinearBase &&
        linear - g::kSupplementaryLinearBase <= 0x10FFFF - 0x10000) {
        return 0x10000 + (linear - g::kSupplementaryLinearBase);
    }
    return 0;
}

Decoded DecodeOne(std::string_view bytes, std::size_t pos) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char b0 = at(pos);
    if (b0 < 0x80) return {1, b0};
    if (b0 == 0x80) return {1, g::kByte80};
    if (b0 == 0xFF) return {1, g::kByteFF};
    if (pos + 1 < bytes.size()) {
        const unsigned char b1 = at(pos + 1);
        if (IsTwoByteTrail(b1)) {
            const char16_t unit = g::kTwoByte[b0 - 0x81][TrailIndex(b1)];
            if (unit != 0) return {2, unit};
        } else if (IsFourByteDigit(b1) && pos + 3 < bytes.size() && IsLead(at(pos + 2)) &&
                   IsFourByteDigit(at(pos + 3))) {
            const std::uint32_t linear =
                (((b0 - 0x81) * 10u + (b1 - 0x30)) * 126u + (at(pos + 2) - 0x81)) * 10u +
                (at(pos + 3) - 0x30);
            if (const char32_t cp = FourByteToCodePoint(linear); cp != 0) return {4, cp};
        }
    }
    return {1, kEscapeBase + b0};
}

// Code page 936 backwards, built on first use: code unit -> lead<<8|trail, or
// the single byte; 0 for a code unit code page 936 lacks.
const std::array<std::uint16_t, 0x10000>& Cp936Codes() {
    static const std::unique_ptr<std::array<std::uint16_t, 0x10000>> codes = [] {
        auto table = std::make_unique<std::array<std::uint16_t, 0x10000>>();
        table->fill(0);
        (*table)[g::kByte80] = 0x80;
        (*table)[g::kByteFF] = 0xFF;
        for (int lead = 0; lead < g::kLeadCount; ++lead) {
            for (int t = 0; t < g::kTrailCount; ++t) {
                const char16_t unit = g::kTwoByte[lead][t];
                if (unit == 0) continue;
                const int trail = t < 0x3F ? t + 0x40 : t + 0x41;
                (*table)[unit] = static_cast<std::uint16_t>((lead + 0x81) << 8 | trail);
            }
        }
        return table;
    }();
    return *codes;
}

void AppendFourByte(Text& out, std::uint32_t linear) {
    const char b4 = static_cast<char>(0x30 + linear % 10);
    linear /= 10;
    const char b3 = static_cast<char>(0x81 + linear % 126);
    linear /= 126;
    const char b2 = static_cast<char>(0x30 + linear % 10);
    linear /= 10;
    const char b1 = static_cast<char>(0x81 + linear);
    out += b1;
    out += b2;
    out += b3;
    out += b4;
}

// Appends the GB18030 bytes of one code point. Escapes give back their byte.
void Encode(Text& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
        return;
    }
    if (cp >= kEscapeBase + 0x80 && cp <= kEscapeBase + 0xFF) {
        out += static_cast<char>(cp - kEscapeBase);
        return;
    }
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacement;
    if (cp >= 0x10000) {
        AppendFourByte(out, g::kSupplementaryLinearBase + (cp - 0x10000));
        return;
    }
    if (const std::uint16_t code = Cp936Codes()[cp]; code != 0) {
        if (code > 0xFF) out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
        return;
    }
    // What code page 936 lacks takes a four-byte code: an overridden one, or
    // the one the ranges give (they rise with both the linear index and the
    // code point).
    for (const g::FourByteOverride& o : g::kFourByteOverrides) {
        if (o.codePoint == cp) {
            AppendFourByte(out, o.linear);
            return;
        }
    }
    const auto* end = g::kFourByteRanges + g::kFourByteRangeCount;
    const auto* it = std::upper_bound(g::kFourByteRanges, end, cp,
                                      [](char32_t value, const g::FourByteRange& r) {
                                          return value < static_cast<char32_t>(r.first);
                                      });
    --it;
    AppendFourByte(out, it->linear + (cp - it->first));
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence; an invalid byte gives length 1 and its escape.
Decoded DecodeUtf8(std::string_view s, std::size_t pos) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = at(pos);
    if (b0 < 0x80) return {1, b0};
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2, cp = b0 & 0x1F, minimum = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3, cp = b0 & 0x0F, minimum = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4, cp = b0 & 0x07, minimum = 0x10000;
    } else {
        return {1, kEscapeBase + b0};
    }
    if (pos + length > s.size()) return {1, kEscapeBase + b0};
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char b = at(pos + i);
        if ((b & 0xC0) != 0x80) return {1, kEscapeBase + b0};
        cp = cp << 6 | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return {1, kEscapeBase + b0};
    }
    return {length, cp};
}

}  // namespace

Text BytesToText(std::string_view bytes) {
    const std::size_t zero = bytes.find('\0');
    return Text(bytes.substr(0, zero));
}

std::size_t CharLength(std::string_view bytes, std::size_t pos) {
    if (pos >= bytes.size()) return 0;
    return DecodeOne(bytes, pos).length;
}

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t length = CharLength(a, i);
        if (length != CharLength(b, i)) return false;
        if (length == 1 ? AsciiUpper(a[i]) != AsciiUpper(b[i])
                        : a.substr(i, length) != b.substr(i, length)) {
            return false;
        }
        i += length;
    }
    return true;
}

Text AsciiLowerText(std::string_view value) {
    Text folded(value);
    for (std::size_t i = 0; i < folded.size();
         i += std::max<std::size_t>(CharLength(folded, i), 1)) {
        folded[i] = AsciiLower(folded[i]);
    }
    return folded;
}

long long ToInteger(std::string_view value) {
    std::size_t i = 0;
    const auto isBlank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    };
    while (i < value.size() && isBlank(value[i])) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    // Accumulate as a negative number so LLONG_MIN needs no special case.
    long long result = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        const int digit = value[i] - '0';
        if (result < (LLONG_MIN + digit) / 10) return negative ? LLONG_MIN : LLONG_MAX;
        result = result * 10 - digit;
    }
    if (negative) return result;
    return result == LLONG_MIN ? LLONG_MAX : -result;
}

std::u16string ToUtf16(std::string_view gbk) {
    std::u16string out;
    out.reserve(gbk.size());
    for (std::size_t pos = 0; pos < gbk.size();) {
        const Decoded d = DecodeOne(gbk, pos);
        pos += d.length;
        if (d.codePoint >= 0x10000) {
            const char32_t v = d.codePoint - 0x10000;
            out += static_cast<char16_t>(0xD800 + (v >> 10));
            out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
        } else {
            out += static_cast<char16_t>(d.codePoint);
        }
    }
    return out;
}

Text FromUtf16(std::u16string_view utf16) {
    Text out;
    out.reserve(utf16.size() * 2);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        }
        Encode(out, cp);
    }
    return out;
}

std::string ToUtf8(std::string_view gbk) {
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    for (std::size_t pos = 0; pos < gbk.size();) {
        const Decoded d = DecodeOne(gbk, pos);
        pos += d.length;
        if (d.codePoint >= kEscapeBase + 0x80 && d.codePoint <= kEscapeBase + 0xFF) {
            out += static_cast<char>(d.codePoint - kEscapeBase);
        } else {
            AppendUtf8(out, d.codePoint);
        }
    }
    return out;
}

Text FromUtf8(std::string_view utf8) {
    Text out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const Decoded d = DecodeUtf8(utf8, pos);
        pos += d.length;
        Encode(out, d.codePoint);
    }
    return out;
}

}  // namespace text

Text DecimalText(long long value) {
    return Text(std::to_string(value));
}

void PrintTo(const Text& value, std::ostream* os) {
    // Readable form first: UTF-8 with escapes for quotes, controls and bytes
    // that are not valid GB18030; then the bytes themselves unless pure ASCII.
    std::string shown = "\"";
    bool ascii = true;
    const std::u16string wide = text::ToUtf16(value);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t cp = wide[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size()) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        }
        static const char kHex[] = "0123456789ABCDEF";
        if (cp >= 0xDC80 && cp <= 0xDCFF) {
            shown += "\\x";
            shown += kHex[(cp - 0xDC00) >> 4];
            shown += kHex[cp & 0xF];
        } else if (cp == '"' || cp == '\\') {
            shown += '\\';
            shown += static_cast<char>(cp);
        } else if (cp == '\n') {
            shown += "\\n";
        } else if (cp == '\r') {
            shown += "\\r";
        } else if (cp == '\t') {
            shown += "\\t";
        } else if (cp < 0x20 || cp == 0x7F) {
            shown += "\\x";
            shown += kHex[cp >> 4];
            shown += kHex[cp & 0xF];
        } else if (cp < 0x80) {
            shown += static_cast<char>(cp);
        } else {
            text::AppendUtf8(shown, cp);
        }
    }
    shown += '"';
    for (unsigned char c : value) ascii = ascii && c < 0x80;
    *os << shown;
    if (!ascii) {
        static const char kHex[] = "0123456789abcdef";
        *os << " (bytes";
        for (unsigned char c : value) *os << ' ' << kHex[c >> 4] << kHex[c & 0xF];
        *os << ')';
    }
}
