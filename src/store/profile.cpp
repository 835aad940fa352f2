#include "store/profile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace store {
namespace {

// Blanks the profile functions strip from names and values in the file. None
// of them can be the trail byte of a double-byte character.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\r';
}

// Length of the character at `pos`, never reaching past the end (a cut-off
// double-byte character at the end counts as what is left of it).
std::size_t CharAt(std::string_view s, std::size_t pos) {
    std::size_t n = text::CharLength(s, pos);
    if (n == 0) n = 1;
    if (n > s.size() - pos) n = s.size() - pos;
    return n;
}

// Names passed by the caller lose their surrounding spaces (only spaces, as
// the profile functions do).
std::string_view TrimSpaces(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

enum class LineKind { Blank, Comment, Section, Key };

struct Line {
    std::size_t begin = 0;       // first byte of the line
    std::size_t contentEnd = 0;  // where the line end (CR LF or LF) starts
    std::size_t end = 0;         // first byte of the next line
    LineKind kind = LineKind::Blank;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value, trimmed; empty without '='
    bool hasEquals = false;
};

Line ParseLine(std::string_view bytes, std::size_t begin, std::size_t contentEnd, std::size_t end) {
    Line line;
    line.begin = begin;
    line.contentEnd = contentEnd;
    line.end = end;
    const std::string_view content = TrimBlanks(bytes.substr(begin, contentEnd - begin));
    if (content.empty()) return line;
    if (content.front() == '[') {
        // The name ends at the first ']' or, without one, at the line end.
        std::size_t pos = 1;
        while (pos < content.size() && content[pos] != ']') pos += CharAt(content, pos);
        line.kind = LineKind::Section;
        line.name = TrimBlanks(content.substr(1, pos - 1));
        return line;
    }
    if (content.front() == ';') {
        line.kind = LineKind::Comment;
        return line;
    }
    line.kind = LineKind::Key;
    std::size_t pos = 0;
    while (pos < content.size() && content[pos] != '=') pos += CharAt(content, pos);
    if (pos < content.size()) {
        line.hasEquals = true;
        line.name = TrimBlanks(content.substr(0, pos));
        line.value = TrimBlanks(content.substr(pos + 1));
    } else {
        line.name = content;
    }
    return line;
}

std::vector<Line> ParseLines(std::string_view bytes) {
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < bytes.size()) {
        std::size_t newline = bytes.find('\n', begin);
        std::size_t end = newline == std::string_view::npos ? bytes.size() : newline + 1;
        std::size_t contentEnd = newline == std::string_view::npos ? bytes.size() : newline;
        if (contentEnd > begin && bytes[contentEnd - 1] == '\r') --contentEnd;
        lines.push_back(ParseLine(bytes, begin, contentEnd, end));
        begin = end;
    }
    return lines;
}

// Index of the header line of the first section called `section`.
std::optional<std::size_t> FindSection(const std::vector<Line>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind == LineKind::Section &&
            text::SameIgnoringAsciiCase(lines[i].name, section))
            return i;
    return std::nullopt;
}

// One past the last line of the section whose header is at `header`.
std::size_t SectionEnd(const std::vector<Line>& lines, std::size_t header) {
    std::size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != LineKind::Section) ++i;
    return i;
}

std::optional<std::size_t> FindKey(const std::vector<Line>& lines, std::size_t header,
                                   std::string_view key) {
    const std::size_t end = SectionEnd(lines, header);
    for (std::size_t i = header + 1; i < end; ++i)
        if (lines[i].kind == LineKind::Key && text::SameIgnoringAsciiCase(lines[i].name, key))
            return i;
    return std::nullopt;
}

// A value in matching double or single quotes reads without them.
std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The longest prefix of whole characters that fits in `limit` bytes.
std::string_view CutToCharacters(std::string_view value, std::size_t limit) {
    if (value.size() <= limit) return value;
    std::size_t pos = 0;
    while (pos < value.size()) {
        std::size_t n = CharAt(value, pos);
        if (pos + n > limit) break;
        pos += n;
    }
    return value.substr(0, pos);
}

const std::string_view kLineEnd = "\r\n";

}  // namespace

Text ReadProfileKey(platform::Files& files, const Text& file, const Text& section,
                    const Text& key) {
    const std::optional<std::string> bytes = files.ReadFile(file);
    if (!bytes) return Text();
    const std::vector<Line> lines = ParseLines(*bytes);
    const std::optional<std::size_t> header = FindSection(lines, TrimSpaces(section));
    if (!header) return Text();
    const std::optional<std::size_t> found = FindKey(lines, *header, TrimSpaces(key));
    if (!found || !lines[*found].hasEquals) return Text();
    // The value is handed over as a C string would be: it ends at a zero byte.
    const Text value = text::BytesToText(Unquote(lines[*found].value));
    return Text(CutToCharacters(value, kMaxProfileValueBytes));
}

bool WriteProfileKey(platform::Files& files, const Text& file, const Text& section, const Text& key,
                     const Text& value) {
    const std::string_view sectionName = TrimSpaces(section);
    const std::string_view keyName = TrimSpaces(key);

    std::string bytes;
    const bool existed = files.Exists(file);
    if (existed) {
        std::optional<std::string> old = files.ReadFile(file);
        // An existing file that cannot be read is never written over.
        if (!old) return false;
        bytes = std::move(*old);
    }

    const std::vector<Line> lines = ParseLines(bytes);
    std::string updated;
    const std::optional<std::size_t> header = FindSection(lines, sectionName);
    if (!header) {
        updated = bytes;
        if (!updated.empty() && updated.back() != '\n') updated += kLineEnd;
        updated.append("[").append(sectionName).append("]").append(kLineEnd);
        updated.append(keyName).append("=").append(value).append(kLineEnd);
    } else if (const std::optional<std::size_t> found = FindKey(lines, *header, keyName)) {
        // The line keeps its line end and the name as the file spells it.
        const Line& line = lines[*found];
        updated.append(bytes, 0, line.begin);
        updated.append(line.name).append("=").append(value);
        updated.append(bytes, line.contentEnd, std::string::npos);
    } else {
        std::size_t after = *header;
        const std::size_t end = SectionEnd(lines, *header);
        for (std::size_t i = *header + 1; i < end; ++i)
            if (lines[i].kind == LineKind::Key) after = i;
        const Line& line = lines[after];
        updated.append(bytes, 0, line.end);
        if (bytes[line.end - 1] != '\n') updated += kLineEnd;  // the last line had no line end
        updated.append(keyName).append("=").append(value).append(kLineEnd);
        updated.append(bytes, line.end, std::string::npos);
    }

    if (existed && updated == bytes) return true;
    return files.WriteFile(file, updated);
}

}  // namespace store
