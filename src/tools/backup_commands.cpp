#include "tools/backup_commands.h"

#include <ctime>

#include "crypto/rc4.h"
#include "store/data_folder.h"
#include "store/settings.h"
#include "tools/backup_package.h"

namespace tools {
namespace {

Text PackagePath(app::App& app, const char* name) {
    return app.files().ProgramFolder() + "\\" + name;
}

bool ProtectedAllowed(app::App& app) {
    return store::IsPasswordSet(app.files());
}

// The bar shows while a package is made or restored and hides on every way
// out, failures included; showing it does not reset its position.
class ProgressShown {
  public:
    explicit ProgressShown(app::App& app) : app_(app) { app_.main.进度条1.Show(); }
    ~ProgressShown() { app_.main.进度条1.Hide(); }
    ProgressFn Callback() const {
        app::App* a = &app_;
        return [a](int percent) { a->main.进度条1.SetPosition(percent); };
    }

  private:
    app::App& app_;
};

// Packs Default into `path`, through the cipher when a key is given; true
// when the package was written whole. Every failure is told here, and leaves
// the old package as it was.
bool WritePackage(app::App& app, const Text& path, const std::string* key,
                  const ProgressShown& bar) {
    platform::Files& files = app.files();
    std::unique_ptr<platform::FileWriter> writer = files.BeginWrite(path);
    const auto writeFailed = [&] {
        app::ShowMessage(app, "打包失败：无法写入 " + path + "\r\n原有备份包未作任何更改。");
        return false;
    };
    if (!writer) return writeFailed();
    WriterSink file(*writer);
    std::optional<CipherSink> cipher;
    if (key != nullptr) cipher.emplace(file, *key);
    ArchiveSink& sink = cipher ? static_cast<ArchiveSink&>(*cipher) : file;
    const PackResult packed =
        PackFolder(files, store::DataRoot(files), std::time(nullptr), bar.Callback(), sink);
    if (!packed.ok && !packed.writeFailed) {
        app::ShowMessage(app,
                         "打包失败：无法读取 " + packed.unreadable + "\r\n备份包未作任何更改。");
        return false;
    }
    if (!packed.ok || !file.Flush() || !writer->Commit()) return writeFailed();
    return true;
}

// Restores the package at `path` into Default, through the cipher when a key
// is given; true when the success message may follow. Every failure is told
// here.
bool RestoreDataFolder(app::App& app, const Text& path, const std::string* key,
                       const ProgressShown& bar, int& skipped) {
    platform::Files& files = app.files();
    std::unique_ptr<platform::FileReader> reader = files.OpenRead(path);
    if (!reader) {
        app::ShowMessage(app, "无法读取 " + path + "，未复原任何文件。");
        return false;
    }
    ReaderSource file(*reader);
    std::optional<CipherSource> cipher;
    if (key != nullptr) cipher.emplace(file, *key);
    ArchiveSource& source = cipher ? static_cast<ArchiveSource&>(*cipher) : file;
    const UnpackResult result =
        ExtractArchive(files, source, store::DataRoot(files), bar.Callback());
    skipped = result.skipped;
    switch (result.status) {
        case UnpackStatus::Ok:
            return true;
        case UnpackStatus::NotArchive:
            app::ShowMessage(app, key != nullptr
                                      ? "有密备份包无法识别（密码与打包时不同，或文件已损坏），"
                                        "未复原任何文件。"
                                      : "无密备份包无法识别（文件已损坏），未复原任何文件。");
            return false;
        case UnpackStatus::Corrupt:
            app::ShowMessage(app, "备份包已损坏，未复原任何文件。");
            return false;
        case UnpackStatus::WriteFailed:
            app::ShowMessage(app, "复原中断：无法写入 " + result.failedPath +
                                      "\r\n在它之前的文件已复原，其余文件未复原。");
            return false;
    }
    return false;
}

Text WithSkipped(const Text& message, int skipped) {
    if (skipped == 0) return message;
    return message + "\r\n已跳过 " + DecimalText(skipped) + " 个会写到 Default 之外的条目。";
}

// The plain archive of a protected package lives only in memory; a RC.rcbak
// left on disk by older versions would be plain data, so it goes.
void RemovePlainLeftover(app::App& app) {
    const Text leftover = PackagePath(app, "RC.rcbak");
    if (app.files().Exists(leftover)) {
        app.files().ClearAttributes(leftover);
        app.files().DeleteFile(leftover);
    }
}

}  // namespace

void PackPlainBackup(app::App& app) {
    const ProgressShown bar(app);
    const Text path = PackagePath(app, "Bak.zip");
    if (!WritePackage(app, path, nullptr, bar)) return;
    app::ShowMessage(app, "无密打包完成!\r\n" + path);
}

void RestorePlainBackup(app::App& app) {
    const Text path = PackagePath(app, "Bak.zip");
    if (!app.files().Exists(path)) {
        app::ShowMessage(app, "未检测到无密备份数据!");
        return;
    }
    const ProgressShown bar(app);
    int skipped = 0;
    if (RestoreDataFolder(app, path, nullptr, bar, skipped)) {
        app::ShowMessage(app, WithSkipped("成功复原无密备份包!", skipped));
    }
}

// The protected package is encrypted as it is written and decrypted as it is
// read, so its plain archive never reaches the disk (no RC.rcbak).
void PackProtectedBackup(app::App& app) {
    if (!ProtectedAllowed(app)) return;
    const Text* key = app::RequireSessionKey(app);
    if (key == nullptr) return;
    RemovePlainLeftover(app);
    const ProgressShown bar(app);
    const Text path = PackagePath(app, "RC.bak");
    if (!WritePackage(app, path, key, bar)) return;
    app::ShowMessage(app, "有密打包完成!\r\n" + path);
}

void RestoreProtectedBackup(app::App& app) {
    if (!ProtectedAllowed(app)) return;
    const Text* key = app::RequireSessionKey(app);
    if (key == nullptr) return;
    RemovePlainLeftover(app);
    const Text path = PackagePath(app, "RC.bak");
    if (!app.files().Exists(path)) {
        app::ShowMessage(app, "未检测到有密备份数据!");
        return;
    }
    const ProgressShown bar(app);
    int skipped = 0;
    if (RestoreDataFolder(app, path, key, bar, skipped)) {
        app::ShowMessage(app, WithSkipped("成功复原有密备份包!", skipped));
    }
}

}  // namespace tools
