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

}  // namespace

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
