// The archive reader and the restore over files held in memory: whatever the
// package, nothing is written outside the destination; a package that is
// refused changes nothing; a restore that succeeds leaves every accepted file
// entry with the content the reader gives it; progress runs from 0 to 100.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "check.h"
#include "support/memory_files.h"
#include "tools/backup_package.h"

namespace {

const Text kRoot = "M:";
const Text kDestination = "M:\\Default";

// Every path below `folder` with the content of files (folders map to "/").
void Snapshot(testing_support::MemoryFiles& files, const Text& folder,
              std::map<Text, std::string>& out) {
    const auto entries = files.TrySearch(folder + "\\*", platform::EntryFilter::All);
    FUZZ_CHECK(entries.has_value());
    for (const platform::DirEntry& e : *entries) {
        const Text path = folder + "\\" + e.name;
        if (e.isDirectory) {
            out[path] = "/";
            Snapshot(files, path, out);
        } else {
            out[path] = files.ReadFile(path).value_or("?");
        }
    }
}

Text FoldedAscii(Text s) {
    for (std::size_t pos = 0; pos < s.size();) {
        const std::size_t length = text::CharLength(s, pos);
        if (length == 1 && s[pos] >= 'A' && s[pos] <= 'Z') s[pos] += 'a' - 'A';
        pos += length;
    }
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // A destination that holds notes already (one read-only), and a file
    // beside it that no package may touch.
    testing_support::MemoryFiles files(kRoot, 16 * 1024 * 1024);
    FUZZ_CHECK(files.CreateFolder(kDestination) && files.CreateFolder(kDestination + "\\Log"));
    FUZZ_CHECK(files.WriteFile(kDestination + "\\Log\\old.txt", "old"));
    FUZZ_CHECK(files.SetReadOnly(kDestination + "\\Log\\old.txt", true));
    FUZZ_CHECK(files.WriteFile(kRoot + "\\Start.ini", "[Start]\r\n"));
    std::map<Text, std::string> before;
    Snapshot(files, kRoot, before);

    std::vector<int> percents;
    const tools::UnpackResult result = tools::ExtractArchive(
        files, bytes, kDestination, [&](int percent) { percents.push_back(percent); });

    std::map<Text, std::string> after;
    Snapshot(files, kRoot, after);
    // Outside the destination nothing changes, whatever the package.
    for (const auto& [path, content] : before) {
        if (!path.starts_with(kDestination + "\\")) FUZZ_CHECK(after.at(path) == content);
    }
    for (const auto& [path, content] : after) {
        FUZZ_CHECK(path == kDestination || path.starts_with(kDestination + "\\") ||
                   before.contains(path));
    }

    std::vector<tools::ArchiveEntry> entries;
    const tools::ReadStatus read = tools::ReadArchive(bytes, entries);
    if (result.status == tools::UnpackStatus::NotArchive ||
        result.status == tools::UnpackStatus::Corrupt) {
        // Refused: not one byte written, and the reader refuses it as well.
        FUZZ_CHECK(after == before);
        FUZZ_CHECK(percents.empty());
        FUZZ_CHECK(read != tools::ReadStatus::Ok);
        return 0;
    }
    FUZZ_CHECK(read == tools::ReadStatus::Ok);
    for (std::size_t i = 1; i < percents.size(); ++i) FUZZ_CHECK(percents[i - 1] <= percents[i]);
    for (int percent : percents) FUZZ_CHECK(percent >= 0 && percent <= 100);
    if (result.status != tools::UnpackStatus::Ok) return 0;

    // Restored: each accepted file entry holds what the last entry of its
    // name (as the file system compares names) says, and the others count as
    // skipped.
    FUZZ_CHECK(!percents.empty() && percents.back() == 100);
    std::map<Text, std::pair<Text, const std::string*>> expected;
    int unsafe = 0;
    for (const tools::ArchiveEntry& entry : entries) {
        const std::optional<Text> target = tools::EntryTarget(kDestination, entry.name);
        if (!target) {
            ++unsafe;
            continue;
        }
        FUZZ_CHECK(target->starts_with(kDestination + "\\"));
        // One valid name per level below it: no "..", no drive, no device.
        const Text below = target->substr(kDestination.size() + 1);
        for (std::size_t start = 0;;) {
            std::size_t end = start;
            while (end < below.size() && below[end] != '\\') end += text::CharLength(below, end);
            FUZZ_CHECK(platform::IsOrdinaryFileName(below.substr(start, end - start)));
            if (end >= below.size()) break;
            start = end + 1;
        }
        if (entry.isFolder) {
            FUZZ_CHECK(files.TrySearch(*target + "\\*", platform::EntryFilter::All).has_value());
        } else {
            expected[FoldedAscii(*target)] = {*target, &entry.content};
        }
    }
    FUZZ_CHECK(result.skipped == unsafe);
    for (const auto& [key, value] : expected) {
        FUZZ_CHECK(files.ReadFile(value.first) == *value.second);
    }
    return 0;
}
