#include "tools/file_cipher.h"

#include <memory>
#include <optional>
#include <string>

#include "crypto/rc4.h"
#include "store/data_folder.h"
#include "store/settings.h"
#include "text/text.h"
#include "ui/windows/file_cipher_window.h"

namespace tools {
namespace {

using app::FileCipherDirection;

constexpr const char* kAnyFileFilterForOpen = "源文件类型(*.*,)|*.*";
constexpr const char* kAnyFileFilterForSave = "源文件类型(*.*)|*.*";
constexpr const char* kCipherFileFilter = "RC4加密文件(*.rc)|*.rc";

// One opening of the window. The file dialog keeps the last name chosen in
// it for as long as the window is open; the target proposal starts from it.
struct CipherSession {
    app::App& app;
    ui::FileCipherWindow& window;
    Text dialogFileName;
};

bool Encrypting(const app::App& app) {
    return app.fileCipherDirection == FileCipherDirection::Encrypt;
}

void ShowStartButton(CipherSession& s) {
    const bool encrypting = Encrypting(s.app);
    s.window.按钮3.SetVisible(encrypting);
    s.window.按钮4.SetVisible(!encrypting);
}

std::optional<Text> ShowDialog(CipherSession& s, bool save, const Text& filter,
                               const Text& initialPath) {
    const ui::ControlDef& def = s.window.通用对话框1.Peer().Definition();
    ui::FileDialogRequest request;
    request.save = save;
    request.title = def.dialogTitle;
    request.filter = filter;
    request.defaultExtension = def.defaultExtension;
    request.initialFolder = s.app.files().ProgramFolder();
    request.initialPath = initialPath;
    std::optional<Text> chosen = s.window.通用对话框1.Show(request);
    if (chosen) s.dialogFileName = *chosen;
    return chosen;
}

void ChooseSource(CipherSession& s) {
    const Text filter = Encrypting(s.app) ? kAnyFileFilterForOpen : kCipherFileFilter;
    ShowStartButton(s);
    if (const auto path = ShowDialog(s, false, filter, s.dialogFileName)) {
        s.window.编辑框1.SetText(*path);
    }
}

void ChooseTarget(CipherSession& s) {
    const Text filter = Encrypting(s.app) ? kCipherFileFilter : kAnyFileFilterForSave;
    ShowStartButton(s);
    const Text proposal = ProposeTargetName(s.dialogFileName, s.app.fileCipherDirection);
    if (const auto path = ShowDialog(s, true, filter, proposal)) {
        s.window.编辑框2.SetText(*path);
    }
}

// True when source and target name one file, so deleting the source would
// delete the result just written. Asked of the file system before the write,
// so any spelling counts (letter case, "..", trailing dots, short names);
// where it cannot say, equal paths still count.
bool SameFile(platform::Files& files, const Text& source, const Text& target) {
    if (store::SamePath(source, target)) return true;
    const std::optional<platform::FileIdentity> a = files.Identity(source);
    const std::optional<platform::FileIdentity> b = files.Identity(target);
    return a && b && *a == *b;
}

void Run(CipherSession& s, FileCipherDirection direction) {
    app::App& app = s.app;
    ui::FileCipherWindow& w = s.window;
    platform::Files& files = app.files();
    if (!store::IsPasswordSet(files)) return;
    const Text* key = app::RequireSessionKey(app);
    if (key == nullptr) return;
    const Text source = w.编辑框1.GetText();
    const Text target = w.编辑框2.GetText();
    if (source.empty() || target.empty()) {
        app::ShowMessage(app, kCipherMissingPathMessage);
        return;
    }
    const bool encrypting = direction == FileCipherDirection::Encrypt;
    const Text failed = encrypting ? kEncryptFailedPrefix : kDecryptFailedPrefix;
    const bool deleteSource = w.选择框1.IsChecked();
    const bool sameFile = deleteSource && SameFile(files, source, target);

    // RC4 is its own inverse: both directions run the same keystream.
    switch (CipherFile(files, source, target, *key, deleteSource && !sameFile)) {
        case CipherStatus::Ok:
            break;
        case CipherStatus::SourceUnreadable:
            // An unreadable source is not an empty file: writing it would
            // wipe a target that may hold data.
            app::ShowMessage(app, failed + kSourceUnreadableText + source);
            return;
        case CipherStatus::TargetNotWritten: {
            // The source is then the only copy, so it stays.
            Text message = failed + kTargetNotWrittenText + target;
            if (deleteSource) message += kSourceKeptText;
            app::ShowMessage(app, message);
            return;
        }
    }
    Text message = Text(encrypting ? "加密成功!" : "解密成功!") + target;
    if (deleteSource) {
        if (sameFile) {
            message += kSourceIsTargetText;
        } else if (files.DeleteFile(source) || !files.Exists(source)) {
            message += "\r\n源文件已删除!";
        } else {
            message += kSourceNotDeletedText;
        }
    }
    app::ShowMessage(app, message);
}

}  // namespace

CipherStatus CipherFile(platform::Files& files, const Text& source, const Text& target,
                        const Text& key, bool sourceDeletedAfter) {
    std::unique_ptr<platform::FileReader> reader = files.OpenRead(source);
    if (!reader) return CipherStatus::SourceUnreadable;
    // A new target next to a source that stays need not wait for the disk:
    // a power failure can cost only the copy just made.
    std::unique_ptr<platform::FileWriter> writer =
        files.BeginWrite(target, sourceDeletedAfter ? platform::WriteMode::Flush
                                                    : platform::WriteMode::FlushExisting);
    if (!writer) return CipherStatus::TargetNotWritten;
    crypto::Rc4Stream rc4(key);
    // Small enough that the piece stays in the core's cache between the read,
    // the cipher and the write: a 1 MiB one measured a third slower.
    std::string buffer(128 * 1024, '\0');
    for (std::uint64_t offset = 0;;) {
        const std::optional<std::size_t> n = reader->ReadAt(offset, buffer.data(), buffer.size());
        if (!n) return CipherStatus::SourceUnreadable;
        if (*n == 0) break;
        rc4.Apply(buffer.data(), *n);
        if (!writer->Write(std::string_view(buffer.data(), *n))) {
            return CipherStatus::TargetNotWritten;
        }
        offset += *n;
    }
    // Closed first: Windows will not replace a file that is still open, and
    // the target may be the source itself.
    reader.reset();
    return writer->Commit() ? CipherStatus::Ok : CipherStatus::TargetNotWritten;
}

Text ProposeTargetName(const Text& current, FileCipherDirection direction) {
    if (direction == FileCipherDirection::Encrypt) return current + ".rc";
    if (text::AsciiLowerText(current).find(".rc") == Text::npos) return current;
    // The last three bytes go; a double-byte character they would split goes
    // whole, so the proposal stays valid text.
    const std::size_t keep = current.size() - 3;
    std::size_t pos = 0;
    while (pos < keep) {
        const std::size_t length = text::CharLength(current, pos);
        if (pos + length > keep) break;
        pos += length;
    }
    return current.substr(0, pos);
}

void OpenFileCipherWindow(app::App& app, FileCipherDirection direction) {
    app.fileCipherDirection = direction;
    ui::FileCipherWindow window;
    window.Create(app.desktop(), &app.main.Peer());
    CipherSession session{app, window, Text()};
    ShowStartButton(session);

    CipherSession* s = &session;
    ui::FileCipherWindow* w = &window;
    window.按钮1.OnClick([s] { ChooseSource(*s); });
    window.按钮2.OnClick([s] { ChooseTarget(*s); });
    window.按钮3.OnClick([s] { Run(*s, FileCipherDirection::Encrypt); });
    window.按钮4.OnClick([s] { Run(*s, FileCipherDirection::Decrypt); });
    window.按钮5.OnClick([w] { w->Close(); });
    app.desktop().RunModal(window.Peer(), &app.main.Peer());
}

}  // namespace tools
