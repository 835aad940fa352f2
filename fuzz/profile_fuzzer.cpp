// The settings file reader and writer over any file: a read never exceeds the
// profile functions' buffer; a write of a plain key reads back as written,
// leaves every other key reading as before, and writing it again changes
// nothing.
#include <fuzzer/FuzzedDataProvider.h>

#include "check.h"
#include "store/profile.h"
#include "support/memory_files.h"

namespace {

const Text kFile = "M:\\Start.ini";

// Whole characters without control bytes or lone lead bytes: what a line of
// the file can hold without the line's structure changing around it.
bool IsPlain(std::string_view s) {
    for (std::size_t pos = 0; pos < s.size();) {
        const std::size_t length = text::CharLength(s, pos);
        const auto c = static_cast<unsigned char>(s[pos]);
        if (length == 1 && (c < 0x20 || c == 0x7F || (c >= 0x81 && c <= 0xFE))) return false;
        pos += length;
    }
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\r';
}

bool HasOuterBlanks(std::string_view s) {
    return !s.empty() && (IsBlank(s.front()) || IsBlank(s.back()));
}

// Section and key names as a caller would give them, and a value the file
// gives back unchanged (no outer blanks, no enclosing quotes, no zero byte).
bool IsPlainKey(std::string_view section, std::string_view key, std::string_view value) {
    if (!IsPlain(section) || !IsPlain(key) || !IsPlain(value)) return false;
    if (HasOuterBlanks(section) || HasOuterBlanks(key) || HasOuterBlanks(value)) return false;
    for (std::size_t pos = 0; pos < section.size(); pos += text::CharLength(section, pos)) {
        if (section[pos] == ']') return false;
    }
    for (std::size_t pos = 0; pos < key.size(); pos += text::CharLength(key, pos)) {
        if (key[pos] == '=') return false;
    }
    if (key.empty() || key.front() == '[' || key.front() == ';') return false;
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    return !quoted && value.size() <= store::kMaxProfileValueBytes;
}

// Whether two names a caller passes may name the same thing: spaces around
// them do not count, ASCII letters match either case.
bool MaySame(std::string_view a, std::string_view b) {
    const auto trim = [](std::string_view& s) {
        while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
        while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    };
    trim(a);
    trim(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const Text section = input.ConsumeRandomLengthString(24);
    const Text key = input.ConsumeRandomLengthString(24);
    const Text value = input.ConsumeRandomLengthString(64);
    const Text otherSection = input.ConsumeRandomLengthString(24);
    const Text otherKey = input.ConsumeRandomLengthString(24);
    const std::string file = input.ConsumeRemainingBytesAsString();

    testing_support::MemoryFiles files;
    FUZZ_CHECK(files.WriteFile(kFile, file));
    const Text before = store::ReadProfileKey(files, kFile, section, key);
    FUZZ_CHECK(before.size() <= store::kMaxProfileValueBytes);
    const Text otherBefore = store::ReadProfileKey(files, kFile, otherSection, otherKey);

    FUZZ_CHECK(store::WriteProfileKey(files, kFile, section, key, value));
    if (!IsPlainKey(section, key, value)) return 0;
    FUZZ_CHECK(store::ReadProfileKey(files, kFile, section, key) == value);
    // Another key keeps its value, unless it is the same key spelt otherwise.
    if (!MaySame(section, otherSection) || !MaySame(key, otherKey)) {
        FUZZ_CHECK(store::ReadProfileKey(files, kFile, otherSection, otherKey) == otherBefore);
    }
    const std::string written = *files.ReadFile(kFile);
    FUZZ_CHECK(store::WriteProfileKey(files, kFile, section, key, value));
    FUZZ_CHECK(*files.ReadFile(kFile) == written);
    return 0;
}
