#include "platform/window/byte_limit.h"

#include <algorithm>

#include "text/text.h"

namespace ui {

namespace {

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::size_t Bytes(std::u16string_view text) {
    return text::FromUtf16(text).size();
}

}  // namespace

std::size_t CharacterUnits(std::u16string_view text, std::size_t i) {
    if (i + 1 < text.size()) {
        if (IsHighSurrogate(text[i]) && IsLowSurrogate(text[i + 1])) return 2;
        if (text[i] == u'\r' && text[i + 1] == u'\n') return 2;
    }
    return 1;
}

std::size_t BytesOutsideSelection(std::u16string_view text, std::size_t start, std::size_t end) {
    start = std::min(start, text.size());
    end = std::clamp(end, start, text.size());
    return Bytes(text.substr(0, start)) + Bytes(text.substr(end));
}

std::u16string_view WithinByteLimit(std::u16string_view incoming, std::size_t keptBytes,
                                    int byteLimit) {
    if (byteLimit <= 0) return incoming;
    const auto limit = static_cast<std::size_t>(byteLimit);
    std::size_t room = keptBytes < limit ? limit - keptBytes : 0;
    std::size_t taken = 0;
    while (taken < incoming.size()) {
        const std::size_t units = CharacterUnits(incoming, taken);
        const std::size_t cost = Bytes(incoming.substr(taken, units));
        if (cost > room) break;
        room -= cost;
        taken += units;
    }
    return incoming.substr(0, taken);
}

std::u16string_view FirstLine(std::u16string_view text) {
    return text.substr(0, std::min(text.find_first_of(u"\r\n"), text.size()));
}

}  // namespace ui
