#include "store/data_folder.h"

#include <algorithm>

#include "crypto/rc4.h"

namespace store {

Text DataRoot(platform::Files& files) {
    return files.ProgramFolder() + "\\Default";
}

Text DirectoryPath(platform::Files& files, const Text& directory) {
    return DataRoot(files) + "\\" + directory;
}

Text DocumentExtension(Mode mode) {
    return mode == Mode::Password ? ".rc" : ".txt";
}

Text DocumentPath(platform::Files& files, const Text& directory, const Text& title, Mode mode) {
    return DirectoryPath(files, directory) + "\\" + title + DocumentExtension(mode);
}

std::vector<Text> ListDirectories(platform::Files& files) {
    std::vector<Text> names;
    for (const platform::DirEntry& entry :
         files.Search(DataRoot(files) + "\\*", platform::EntryFilter::DirectoriesOnly)) {
        names.push_back(entry.name);
    }
    return names;
}

std::vector<Text> ListDocuments(platform::Files& files, const Text& directory, Mode mode) {
    const Text extension = DocumentExtension(mode);
    std::vector<Text> titles;
    for (const platform::DirEntry& entry :
         files.Search(DirectoryPath(files, directory) + "\\*" + extension,
                      platform::EntryFilter::FilesOnly)) {
        // The search matched "*.rc" / "*.txt", so the name ends in the
        // extension (in any letter case); the title is what precedes it.
        if (entry.name.size() < extension.size()) continue;
        titles.push_back(entry.name.substr(0, entry.name.size() - extension.size()));
    }
    return titles;
}

DocumentText ReadDocument(platform::Files& files, const Text& directory, const Text& title,
                          Mode mode, const Text& sessionKey) {
    const Text path = DocumentPath(files, directory, title, mode);
    std::optional<std::string> bytes = files.ReadFile(path);
    // A file that vanished since it was listed reads as empty; one the
    // directory search still finds is there and could not be read.
    if (!bytes) return DocumentText{Text(), files.Exists(path)};
    if (mode == Mode::Password) *bytes = crypto::DecryptData(*bytes, sessionKey);
    return DocumentText{text::BytesToText(*bytes), false};
}

std::string DocumentFileBytes(const Text& content, Mode mode, const Text& sessionKey) {
    if (mode == Mode::Password) return crypto::EncryptData(content, sessionKey);
    return content;
}

namespace {

Text PathKey(const Text& path) {
    // '/' is never the trail byte of a character, so it can be swapped bytewise.
    Text key = text::AsciiLowerText(path);
    std::replace(key.begin(), key.end(), '/', '\\');
    return key;
}

}  // namespace

bool SamePath(const Text& a, const Text& b) {
    return PathKey(a) == PathKey(b);
}

Text DirectoryStatusText(int count, Mode mode) {
    return "共 " + DecimalText(count) +
           (mode == Mode::Password ? " 个文档目录_有密模式!" : " 个文档目录_无密模式!");
}

Text DocumentListStatusText(const Text& directory, int count, Mode mode) {
    return directory + " - 目录中共计 " + DecimalText(count) +
           (mode == Mode::Password ? " 份文档_已加密!" : " 份文档_未加密!");
}

bool IsSingleFileName(const Text& name) {
    return platform::IsOrdinaryFileName(name);
}

}  // namespace store
