#include "support/memory_files.h"

#include <algorithm>

namespace testing_support {
namespace {

// Separators unified, empty components dropped, ASCII letters folded.
Text Key(const Text& path) {
    const Text folded = text::AsciiLowerText(path);
    Text key;
    for (std::size_t pos = 0; pos < folded.size();) {
        const std::size_t length = text::CharLength(folded, pos);
        const bool separator = length == 1 && (folded[pos] == '/' || folded[pos] == '\\');
        if (separator && (key.empty() || key.back() == '\\')) {
            pos += 1;
            continue;
        }
        if (separator) {
            key += '\\';
        } else {
            key.append(folded, pos, length);
        }
        pos += length;
    }
    while (!key.empty() && key.back() == '\\') key.pop_back();
    return key;
}

// The last separator, stepping over double-byte characters whose second byte
// is 0x5C.
std::size_t LastSeparator(const Text& key) {
    std::size_t last = Text::npos;
    for (std::size_t pos = 0; pos < key.size();) {
        const std::size_t length = text::CharLength(key, pos);
        if (length == 1 && key[pos] == '\\') last = pos;
        pos += length;
    }
    return last;
}

Text LastComponent(const Text& key) {
    const std::size_t slash = LastSeparator(key);
    return slash == Text::npos ? key : Text(key.substr(slash + 1));
}

Text Parent(const Text& key) {
    const std::size_t slash = LastSeparator(key);
    return slash == Text::npos ? Text() : Text(key.substr(0, slash));
}

class MemoryReader : public platform::FileReader {
  public:
    explicit MemoryReader(std::shared_ptr<std::string> bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t Size() const override { return bytes_->size(); }
    std::optional<std::size_t> ReadAt(std::uint64_t offset, char* buffer,
                                      std::size_t size) override {
        if (offset >= bytes_->size()) return 0;
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(size, bytes_->size() - offset));
        bytes_->copy(buffer, n, static_cast<std::size_t>(offset));
        return n;
    }

  private:
    std::shared_ptr<std::string> bytes_;
};

}  // namespace

class MemoryWriter : public platform::FileWriter {
  public:
    MemoryWriter(MemoryFiles& files, Text path) : files_(files), path_(std::move(path)) {}
    bool Write(std::string_view bytes) override { return WriteAt(bytes_.size(), bytes); }
    bool WriteAt(std::uint64_t offset, std::string_view bytes) override {
        const std::uint64_t end = std::max<std::uint64_t>(offset + bytes.size(), bytes_.size());
        if (offset > bytes_.size() || files_.usedBytes_ + end > files_.maxBytes_) return false;
        if (offset + bytes.size() > bytes_.size()) bytes_.resize(offset + bytes.size());
        bytes_.replace(static_cast<std::size_t>(offset), bytes.size(), bytes);
        return true;
    }
    void SetModifiedTime(platform::FileTime time) override { modified_ = time; }
    bool Commit() override {
        if (files_.beforeReplace && !files_.beforeReplace(path_)) return false;
        const Text key = Key(path_);
        if (!files_.ParentExists(key)) return false;
        MemoryFiles::Node& node = files_.nodes_[key];
        if (node.folder || node.readOnly) return false;
        if (node.path.empty()) node.path = path_;
        if (node.bytes) files_.usedBytes_ -= node.bytes->size();
        files_.usedBytes_ += bytes_.size();
        node.bytes = std::make_shared<std::string>(std::move(bytes_));
        if (modified_) node.modified = *modified_;
        return true;
    }

  private:
    MemoryFiles& files_;
    Text path_;
    std::string bytes_;
    std::optional<platform::FileTime> modified_;
};

MemoryFiles::MemoryFiles(Text root, std::uint64_t maxBytes)
    : root_(std::move(root)), maxBytes_(maxBytes) {
    nodes_[Key(root_)] = Node{root_, true, false, nullptr, {}};
}

MemoryFiles::Node* MemoryFiles::Find(const Text& path) {
    const auto it = nodes_.find(Key(path));
    return it == nodes_.end() ? nullptr : &it->second;
}

bool MemoryFiles::ParentExists(const Text& key) {
    const auto it = nodes_.find(Parent(key));
    return it != nodes_.end() && it->second.folder;
}

std::optional<std::vector<platform::DirEntry>> MemoryFiles::TrySearch(
    const Text& pattern, platform::EntryFilter filter) {
    const Text key = Key(pattern);
    const Text folder = Parent(key);
    const Text mask = LastComponent(key);
    const auto parent = nodes_.find(folder);
    if (parent == nodes_.end() || !parent->second.folder || mask.empty()) return std::nullopt;
    std::vector<platform::DirEntry> result;
    for (auto it = nodes_.upper_bound(folder + "\\"); it != nodes_.end(); ++it) {
        if (!it->first.starts_with(folder + "\\")) break;
        const Text name = it->first.substr(folder.size() + 1);
        if (LastSeparator(name) != Text::npos || !platform::MatchesWildcard<char>(mask, name))
            continue;
        if (filter == platform::EntryFilter::DirectoriesOnly && !it->second.folder) continue;
        if (filter == platform::EntryFilter::FilesOnly && it->second.folder) continue;
        result.push_back({LastComponent(it->second.path), it->second.folder});
    }
    return result;
}

bool MemoryFiles::CreateFolder(const Text& path) {
    const Text key = Key(path);
    if (Node* node = Find(path)) return node->folder;
    if (!platform::IsValidFileName(LastComponent(key)) || !ParentExists(key)) return false;
    nodes_[key] = Node{path, true, false, nullptr, {}};
    return true;
}

std::unique_ptr<platform::FileReader> MemoryFiles::OpenRead(const Text& path) {
    Node* node = Find(path);
    if (node == nullptr || node->folder) return nullptr;
    return std::make_unique<MemoryReader>(node->bytes);
}

std::unique_ptr<platform::FileWriter> MemoryFiles::BeginWrite(const Text& path,
                                                              platform::WriteMode) {
    const Text key = Key(path);
    if (!platform::IsValidFileName(LastComponent(key)) || !ParentExists(key)) return nullptr;
    if (Node* node = Find(path); node != nullptr && (node->folder || node->readOnly)) {
        return nullptr;
    }
    return std::make_unique<MemoryWriter>(*this, path);
}

bool MemoryFiles::DeleteFile(const Text& path) {
    Node* node = Find(path);
    if (node == nullptr || node->folder || node->readOnly) return false;
    usedBytes_ -= node->bytes->size();
    nodes_.erase(Key(path));
    return true;
}

bool MemoryFiles::ClearAttributes(const Text& path) {
    return SetReadOnly(path, false);
}

bool MemoryFiles::SetReadOnly(const Text& path, bool readOnly) {
    Node* node = Find(path);
    if (node == nullptr) return false;
    if (!node->folder) node->readOnly = readOnly;
    return true;
}

std::optional<platform::FileTime> MemoryFiles::GetModifiedTime(const Text& path) {
    const Node* node = Find(path);
    if (node == nullptr) return std::nullopt;
    return node->modified;
}

std::optional<platform::FileTimes> MemoryFiles::GetFileTimes(const Text& path) {
    const Node* node = Find(path);
    if (node == nullptr) return std::nullopt;
    return platform::FileTimes{node->modified, node->modified, node->modified};
}

bool MemoryFiles::SetModifiedTime(const Text& path, platform::FileTime time) {
    Node* node = Find(path);
    if (node == nullptr) return false;
    node->modified = time;
    return true;
}

std::map<Text, std::string> MemoryFiles::Contents() const {
    std::map<Text, std::string> contents;
    for (const auto& [key, node] : nodes_) {
        if (!node.folder) contents[node.path] = *node.bytes;
    }
    return contents;
}

}  // namespace testing_support
