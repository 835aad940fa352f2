#include "platform/files.h"

#include <cstdio>

namespace platform {
namespace {

constexpr std::string_view kTemporaryPrefix = "~moxia-";
constexpr std::string_view kTemporarySuffix = ".mxtmp";

bool ParseHex(std::string_view digits, std::uint32_t& value) {
    if (digits.empty() || digits.size() > 8) return false;
    value = 0;
    for (char c : digits) {
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        if (d < 0) return false;
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return true;
}

bool IsDeviceStem(std::string stem) {
    for (char& c : stem) c = text::AsciiUpper(c);
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (stem == device) return true;
    }
    if (!stem.starts_with("COM") && !stem.starts_with("LPT")) return false;
    const std::string_view digit = std::string_view(stem).substr(3);
    if (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') return true;
    static const Text superscripts[] = {text::FromUtf8("\xC2\xB9"), text::FromUtf8("\xC2\xB2"),
                                        text::FromUtf8("\xC2\xB3")};
    for (const Text& s : superscripts) {
        if (digit == s) return true;
    }
    return false;
}

}  // namespace

bool IsOrdinaryFileName(std::string_view name) {
    if (!IsValidFileName(name)) return false;
    // Neither byte can be the second byte of a double-byte character.
    if (name.back() == '.' || name.back() == ' ') return false;
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    return !IsDeviceStem(stem);
}

Text TemporaryFileName(std::uint32_t processId, std::uint32_t counter) {
    char middle[24];
    std::snprintf(middle, sizeof middle, "%x-%x", static_cast<unsigned>(processId),
                  static_cast<unsigned>(counter));
    return Text(kTemporaryPrefix) + middle + Text(kTemporarySuffix);
}

bool IsTemporaryFileName(std::string_view name, std::uint32_t* processId) {
    if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) return false;
    name.remove_prefix(kTemporaryPrefix.size());
    name.remove_suffix(kTemporarySuffix.size());
    const std::size_t dash = name.find('-');
    std::uint32_t pid = 0, counter = 0;
    if (dash == std::string_view::npos || !ParseHex(name.substr(0, dash), pid) ||
        !ParseHex(name.substr(dash + 1), counter)) {
        return false;
    }
    if (processId != nullptr) *processId = pid;
    return true;
}

std::optional<std::string> Files::ReadFile(const Text& path) {
    std::unique_ptr<FileReader> reader = OpenRead(path);
    if (!reader) return std::nullopt;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(reader->Size()));
    char buffer[65536];
    for (std::uint64_t offset = 0;;) {
        const std::optional<std::size_t> n = reader->ReadAt(offset, buffer, sizeof buffer);
        if (!n) return std::nullopt;
        if (*n == 0) break;
        bytes.append(buffer, *n);
        offset += *n;
    }
    return bytes;
}

bool Files::WriteFile(const Text& path, std::string_view bytes) {
    std::unique_ptr<FileWriter> writer = BeginWrite(path);
    return writer && writer->Write(bytes) && writer->Commit();
}

}  // namespace platform
