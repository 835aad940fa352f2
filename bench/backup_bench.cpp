// Backup packages, the file cipher tool and RC4 against their anchors (unzip,
// zip, openssl), natively in an optimised build. Makes its own data in a
// scratch folder, runs each case and its anchor alternately in the same run
// as separate processes (so each one's peak memory is its own), and prints
// one line per case:
//
//   restore 10k notes in 50 folders: 0.91x unzip -o (median of 5), peak 41 MiB
//
//   backup_bench [--quick] [--keep] [--scratch DIR] [CASE...]
//
// Cases: restore, restore-one-folder, restore-existing, restore-100k,
// hostile, rc4, cipher, pack, pack-mixed. Without CASE, all of them; --quick runs each
// case once, with a smaller file for the cipher tool, and leaves out
// restore-100k and hostile.
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "crypto/rc4.h"
#include "platform/posix/files_posix.h"
#include "tools/backup_package.h"
#include "tools/file_cipher.h"

namespace fs = std::filesystem;

namespace {

// ---- running and measuring --------------------------------------------------

struct Run {
    double seconds = 0;
    long peakKiB = 0;
    bool ok = false;
};

double Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

std::string Self() {
    return fs::read_symlink("/proc/self/exe").string();
}

// Runs argv as a child, stdout and stderr to /dev/null unless `output` is
// given; wall time and the child's own peak memory.
Run Spawn(const std::vector<std::string>& argv, std::string* output = nullptr) {
    int pipeFds[2] = {-1, -1};
    if (output && pipe(pipeFds) != 0) return {};
    const double start = Now();
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        if (output) {
            dup2(pipeFds[1], 1);
            close(pipeFds[0]);
            close(pipeFds[1]);
        } else {
            freopen("/dev/null", "w", stdout);
        }
        freopen("/dev/null", "w", stderr);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    if (output) {
        close(pipeFds[1]);
        char buffer[4096];
        ssize_t n;
        while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) output->append(buffer, n);
        close(pipeFds[0]);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Run run;
    run.seconds = Now() - start;
    run.peakKiB = usage.ru_maxrss;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

bool quick = false;
bool failed = false;

int Repeats() {
    return quick ? 1 : 5;
}

// Runs `ours` and `anchor` alternately, each after its `prepare`; prints the
// line and returns the ratio of the medians.
double Compare(const std::string& label, const std::string& anchorName,
               const std::function<void()>& prepare, const std::vector<std::string>& ours,
               const std::vector<std::string>& anchor, const std::function<void()>& check = {}) {
    std::vector<double> a, b;
    long peak = 0;
    for (int i = 0; i < Repeats(); ++i) {
        // Each side starts with nothing of the other's still being written
        // back, which would otherwise fall on whichever runs next. The sides
        // take turns going first, so that what one leaves behind on the disk
        // (inodes to skip, a cold or warm cache) does not always fall on the
        // same one.
        Run mine, theirs;
        const auto runOurs = [&] {
            prepare();
            ::sync();
            mine = Spawn(ours);
            if (!mine.ok) std::printf("%s: FAILED (%s)\n", label.c_str(), ours[1].c_str());
            if (mine.ok && check) check();
            return mine.ok;
        };
        const auto runAnchor = [&] {
            prepare();
            ::sync();
            theirs = Spawn(anchor);
            if (!theirs.ok) {
                std::printf("%s: anchor FAILED (%s)\n", label.c_str(), anchor[0].c_str());
            }
            return theirs.ok;
        };
        if (!(i % 2 == 0 ? runOurs() && runAnchor() : runAnchor() && runOurs())) {
            failed = true;
            return 0;
        }
        a.push_back(mine.seconds);
        b.push_back(theirs.seconds);
        peak = std::max(peak, mine.peakKiB);
    }
    const double ratio = Median(a) / Median(b);
    std::printf("%s: %.2fx %s (median of %d: %.3f s vs %.3f s), peak %ld MiB\n", label.c_str(),
                ratio, anchorName.c_str(), Repeats(), Median(a), Median(b), (peak + 1023) / 1024);
    std::fflush(stdout);
    return ratio;
}

// ---- data ---------------------------------------------------------------------

fs::path scratch;

void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A note of GBK text: common characters, punctuation and line breaks, 200 to
// 4,000 bytes, so it compresses as notes do.
std::string Note(std::mt19937& random) {
    std::string note;
    const std::size_t size = std::uniform_int_distribution<std::size_t>(200, 4000)(random);
    std::uniform_int_distribution<int> lead(0xB0, 0xD7), trail(0xA1, 0xFE), kind(0, 40);
    while (note.size() < size) {
        const int k = kind(random);
        if (k == 0) {
            note += "\r\n";
        } else if (k == 1) {
            note += "\xA3\xAC";  // full-width comma
        } else if (k < 6) {
            note += static_cast<char>('a' + k);
        } else {
            note += static_cast<char>(lead(random));
            note += static_cast<char>(trail(random));
        }
    }
    return note;
}

// `count` notes spread over `folders` folders below `root`.
void MakeCorpus(const fs::path& root, int folders, int count) {
    if (fs::exists(root / ".complete")) return;
    fs::remove_all(root);
    std::mt19937 random(11);
    for (int f = 0; f < folders; ++f) fs::create_directories(root / ("dir" + std::to_string(f)));
    for (int n = 0; n < count; ++n) {
        WriteBytes(
            root / ("dir" + std::to_string(n % folders)) / ("note" + std::to_string(n) + ".txt"),
            Note(random));
    }
    WriteBytes(root / ".complete", "");
}

fs::path CorpusFolder(const std::string& name, int folders, int count) {
    const fs::path root = scratch / name / "Default";
    MakeCorpus(root, folders, count);
    fs::remove(root / ".complete");
    return root;
}

// The marker file is put back so the corpus is reused next time.
void MarkComplete(const fs::path& root) {
    WriteBytes(root / ".complete", "");
}

fs::path PackageOf(const fs::path& root, const std::string& name) {
    const fs::path package = root.parent_path() / name;
    if (!fs::exists(package)) {
        const Run packed = Spawn({Self(), "--pack", root.string(), package.string(), "0"});
        if (!packed.ok) {
            std::printf("packing %s failed\n", root.c_str());
            std::exit(1);
        }
    }
    return package;
}

void RemoveAll(const fs::path& p) {
    std::error_code ignored;
    fs::remove_all(p, ignored);
}

// Every file below `root` with its size, to compare two trees.
std::set<std::pair<std::string, std::uintmax_t>> Tree(const fs::path& root) {
    std::set<std::pair<std::string, std::uintmax_t>> tree;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        tree.emplace(fs::relative(e.path(), root).string(),
                     e.is_regular_file() ? e.file_size() : 0);
    }
    return tree;
}

// ---- children: the program's own parts --------------------------------------

// Paths are given absolute; the program sees them with backslashes.
Text Win(const std::string& host) {
    Text t = text::FromUtf8(host);
    std::replace(t.begin(), t.end(), '/', '\\');
    return t;
}

int ChildRestore(const std::string& package, const std::string& destination,
                 const std::string& key) {
    platform::PosixFiles files("/");
    std::unique_ptr<platform::FileReader> reader = files.OpenRead(Win(package));
    if (!reader) return 2;
    tools::ReaderSource file(*reader);
    std::optional<tools::CipherSource> cipher;
    if (!key.empty()) cipher.emplace(file, key);
    tools::ArchiveSource& source = cipher ? static_cast<tools::ArchiveSource&>(*cipher) : file;
    const tools::UnpackResult result =
        tools::ExtractArchive(files, source, Win(destination), [](int) {});
    if (result.status == tools::UnpackStatus::Ok) return 0;
    // A hostile package refused is what it should do.
    return result.status == tools::UnpackStatus::Corrupt ? 3 : 1;
}

int ChildPack(const std::string& folder, const std::string& package, unsigned threads,
              const std::string& key) {
    platform::PosixFiles files("/");
    std::unique_ptr<platform::FileWriter> writer = files.BeginWrite(Win(package));
    if (!writer) return 2;
    tools::WriterSink file(*writer);
    std::optional<tools::CipherSink> cipher;
    if (!key.empty()) cipher.emplace(file, key);
    tools::ArchiveSink& sink = cipher ? static_cast<tools::ArchiveSink&>(*cipher) : file;
    const tools::PackResult packed = tools::PackFolder(
        files, Win(folder), std::time(nullptr), [](int) {}, sink, threads);
    return packed.ok && file.Flush() && writer->Commit() ? 0 : 1;
}

int ChildCipher(const std::string& source, const std::string& target, const std::string& key) {
    platform::PosixFiles files("/");
    return tools::CipherFile(files, Win(source), Win(target), key, false) == tools::CipherStatus::Ok
               ? 0
               : 1;
}

// Bytes per CPU second of Rc4Stream::Apply over blocks of `size` in one
// stream, as `openssl speed` counts its own.
int ChildRc4(std::size_t size, double seconds) {
    std::string block(size, 'x');
    crypto::Rc4Stream rc4("0123456789abcdef");
    const auto cpu = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
    };
    const double start = cpu();
    std::uint64_t bytes = 0;
    double elapsed = 0;
    // The clock is read every 256 KiB or so: reading it costs a system call.
    const std::size_t perReading = std::max<std::size_t>(1, (256 * 1024) / size);
    do {
        for (std::size_t n = 0; n < perReading; ++n) rc4.Apply(block.data(), block.size());
        bytes += size * perReading;
        elapsed = cpu() - start;
    } while (elapsed < seconds);
    std::printf("%.0f %d\n", static_cast<double>(bytes) / elapsed,
                static_cast<int>(block[size / 2]));
    return 0;
}

// ---- cases ----------------------------------------------------------------------

void RestoreCase(const std::string& label, const std::string& name, int folders, int count,
                 bool existing) {
    const fs::path corpus = CorpusFolder(name, folders, count);
    const fs::path package = PackageOf(corpus, "Bak.zip");
    MarkComplete(corpus);
    fs::remove(corpus / ".complete");
    const fs::path target = scratch / name / "restored" / "Default";
    const auto expected = Tree(corpus);
    MarkComplete(corpus);
    // Earlier results are moved aside, not deleted, until the case ends:
    // ext4 skips recently freed inodes when it allocates, so deleting ten
    // thousand files before each run made every file creation after it
    // scan them, the greater part of either side's time.
    const fs::path aside = scratch / name / "restored-aside";
    int moved = 0;
    auto prepare = [&] {
        if (!existing) {
            if (fs::exists(target)) {
                fs::create_directories(aside);
                fs::rename(target, aside / std::to_string(moved++));
            }
            fs::create_directories(target.parent_path());
        } else if (!fs::exists(target)) {
            fs::create_directories(target.parent_path());
            Spawn({"unzip", "-o", "-q", package.string(), "-d", target.string()});
        }
    };
    Compare(label, "unzip -o", prepare, {Self(), "--restore", package.string(), target.string()},
            {"unzip", "-o", "-q", package.string(), "-d", target.string()}, [&] {
                if (Tree(target) != expected) {
                    std::printf("%s: the restored tree differs from the packed one\n",
                                label.c_str());
                    failed = true;
                }
            });
    if (!existing) {
        RemoveAll(target);
        RemoveAll(aside);
    }
}

void Restore100k() {
    const fs::path root = scratch / "tiny" / "Default";
    if (!fs::exists(root / ".complete")) {
        RemoveAll(root);
        fs::create_directories(root / "D");
        for (int n = 0; n < 100000; ++n) WriteBytes(root / "D" / (std::to_string(n) + ".txt"), "x");
        MarkComplete(root);
    }
    fs::remove(root / ".complete");
    const fs::path package = PackageOf(root, "Bak.zip");
    MarkComplete(root);
    const fs::path target = scratch / "tiny" / "restored" / "Default";
    Compare("restore 100k one-byte entries", "unzip -o",
            [&] {
                RemoveAll(target);
                fs::create_directories(target.parent_path());
            },
            {Self(), "--restore", package.string(), target.string()},
            {"unzip", "-o", "-q", package.string(), "-d", target.string()});
    RemoveAll(target);
}

// Little-endian helpers for the hand-made packages.
void Put(std::string& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// One stored local entry of `size` zero bytes behind `centrals` central
// entries that all point at it.
void SharedLocalPackage(const fs::path& path, std::uint64_t size, int centrals) {
    if (fs::exists(path)) return;
    std::string zeros(1 << 20, '\0');
    std::uint32_t crc = 0;
    {
        crc = 0;
        for (std::uint64_t done = 0; done < size; done += zeros.size()) {
            crc = static_cast<std::uint32_t>(
                ::crc32(crc, reinterpret_cast<const unsigned char*>(zeros.data()),
                        static_cast<unsigned>(std::min<std::uint64_t>(zeros.size(), size - done))));
        }
    }
    std::ofstream out(path, std::ios::binary);
    std::string local("PK\x03\x04", 4);
    Put(local, 20, 2), Put(local, 0, 2), Put(local, 0, 2), Put(local, 0x5158'6000, 4);
    Put(local, crc, 4), Put(local, size, 4), Put(local, size, 4), Put(local, 5, 2),
        Put(local, 0, 2);
    local += "a.txt";
    out << local;
    for (std::uint64_t done = 0; done < size; done += zeros.size()) {
        out.write(zeros.data(),
                  static_cast<std::streamsize>(std::min<std::uint64_t>(zeros.size(), size - done)));
    }
    std::string central;
    for (int k = 0; k < centrals; ++k) {
        std::string c("PK\x01\x02", 4);
        Put(c, 20, 2), Put(c, 20, 2), Put(c, 0, 2), Put(c, 0, 2), Put(c, 0x5158'6000, 4);
        Put(c, crc, 4), Put(c, size, 4), Put(c, size, 4), Put(c, 5, 2), Put(c, 0, 2);
        Put(c, 0, 2), Put(c, 0, 2), Put(c, 0, 2), Put(c, 0x20, 4), Put(c, 0, 4);
        c += "a.txt";
        central += c;
    }
    const std::uint64_t centralAt = local.size() + size;
    out << central;
    std::string end("PK\x05\x06", 4);
    Put(end, 0, 2), Put(end, 0, 2), Put(end, centrals, 2), Put(end, centrals, 2);
    Put(end, central.size(), 4), Put(end, centralAt, 4), Put(end, 0, 2);
    out << end;
}

void HostileCase() {
    const fs::path dir = scratch / "hostile";
    fs::create_directories(dir);
    // 40 central entries sharing one 200 MiB local entry.
    const fs::path shared = dir / "shared.zip";
    SharedLocalPackage(shared, 200ull << 20, 40);
    // A bomb: about 4 MB of deflated zeros that inflate to some GiB.
    const fs::path bomb = dir / "bomb.zip";
    if (!fs::exists(bomb)) {
        const fs::path zeros = dir / "zeros";
        Spawn({"sh", "-c",
               "head -c 4G /dev/zero > '" + (dir / "z.txt").string() + "' && cd '" + dir.string() +
                   "' && zip -q -9 bomb.zip z.txt && rm -f z.txt"});
    }
    for (const auto& [label, package] :
         {std::pair<std::string, fs::path>{"hostile: 40 entries sharing one 200 MiB entry", shared},
          {"hostile: 4 MB bomb of 4 GiB", bomb}}) {
        const fs::path target = dir / "restored" / "Default";
        RemoveAll(target);
        fs::create_directories(target.parent_path());
        const Run run = Spawn({Self(), "--restore", package.string(), target.string()});
        std::uintmax_t written = 0;
        if (fs::exists(target)) {
            for (const auto& e : fs::recursive_directory_iterator(target)) {
                if (e.is_regular_file()) written += e.file_size();
            }
        }
        std::printf("%s (%.1f MB): %s in %.2f s, %ju MiB written, peak %ld MiB\n", label.c_str(),
                    fs::file_size(package) / 1e6, run.ok ? "restored" : "refused", run.seconds,
                    written >> 20, (run.peakKiB + 1023) / 1024);
        RemoveAll(target);
    }
}

// OpenSSL's RC4 through `openssl speed`, in bytes per second.
std::optional<double> OpensslRc4(std::size_t size, double seconds) {
    std::string out;
    const Run run = Spawn(
        {"openssl", "speed", "-provider", "legacy", "-provider", "default", "-evp", "rc4", "-bytes",
         std::to_string(size), "-seconds", std::to_string(static_cast<int>(seconds)), "-mr"},
        &out);
    // Machine-readable: "+F:<n>:RC4:<bytes per second>"
    const std::size_t at = out.find("+F:");
    if (!run.ok || at == std::string::npos) return std::nullopt;
    const std::size_t colon = out.rfind(':', out.find('\n', at));
    return std::strtod(out.c_str() + colon + 1, nullptr);
}

// One thread's throughput differs between this machine's cores, and when it
// moves between them: both sides of a throughput case run on the same core.
class OnOneCore {
  public:
    OnOneCore() {
        sched_getaffinity(0, sizeof saved_, &saved_);
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(sched_getcpu(), &one);
        sched_setaffinity(0, sizeof one, &one);
    }
    ~OnOneCore() { sched_setaffinity(0, sizeof saved_, &saved_); }
    OnOneCore(const OnOneCore&) = delete;
    OnOneCore& operator=(const OnOneCore&) = delete;

  private:
    cpu_set_t saved_;
};

void Rc4Case() {
    const OnOneCore pinned;  // inherited by both sides' processes
    for (const auto& [label, size] : {std::pair<std::string, std::size_t>{"1 KiB", 1024},
                                      {"1 MiB", 1 << 20},
                                      {"256 MiB", 256u << 20}}) {
        const double seconds = quick ? 1 : 3;
        std::vector<double> ours, theirs;
        for (int i = 0; i < (quick ? 1 : 3); ++i) {
            std::string out;
            Spawn({Self(), "--rc4", std::to_string(size), std::to_string(seconds)}, &out);
            ours.push_back(std::strtod(out.c_str(), nullptr));
            const std::optional<double> anchor = OpensslRc4(size, seconds);
            if (!anchor) {
                std::printf("rc4 %s: openssl speed gave no figure\n", label.c_str());
                failed = true;
                return;
            }
            theirs.push_back(*anchor);
        }
        std::printf("rc4 %s blocks: %.2fx OpenSSL (median of %zu: %.0f vs %.0f MB/s)\n",
                    label.c_str(), Median(ours) / Median(theirs), ours.size(), Median(ours) / 1e6,
                    Median(theirs) / 1e6);
        std::fflush(stdout);
    }
}

void CipherCase() {
    const fs::path dir = scratch / "cipher";
    fs::create_directories(dir);
    const fs::path source = dir / "source.bin";
    const std::uintmax_t size = quick ? (256ull << 20) : (1ull << 30);
    if (!fs::exists(source) || fs::file_size(source) != size) {
        Spawn({"sh", "-c",
               "head -c " + std::to_string(size) + " /dev/urandom > '" + source.string() + "'"});
    }
    const fs::path target = dir / "target.rc";
    Compare(std::string("file cipher tool, ") + (quick ? "256 MiB" : "1 GiB"), "openssl enc -rc4",
            [&] { fs::remove(target); },
            {Self(), "--cipher", source.string(), target.string(), "0123456789abcdef"},
            {"openssl", "enc", "-rc4", "-provider", "legacy", "-provider", "default", "-K",
             "30313233343536373839616263646566", "-in", source.string(), "-out", target.string()});
    fs::remove(target);
}

// Packs `folder` on two cores against zip, the packages beside it.
void ComparePack(const std::string& label, const fs::path& folder) {
    fs::remove(folder / ".complete");
    const fs::path package = folder.parent_path() / "packed.zip";
    const fs::path anchor = folder.parent_path() / "anchor.zip";
    Compare(
        label, "zip -r -8",
        [&] {
            fs::remove(package);
            fs::remove(anchor);
        },
        {Self(), "--pack", folder.string(), package.string(), "2"},
        {"sh", "-c", "cd '" + folder.string() + "' && zip -q -r -8 '" + anchor.string() + "' ."});
    MarkComplete(folder);
    fs::remove(package);
    fs::remove(anchor);
}

void PackCase() {
    const fs::path corpus = CorpusFolder("corpus50", 50, 10000);
    MarkComplete(corpus);
    ComparePack("pack 10k notes on two cores", corpus);
}

// About `megabytes` MB in four folders: half in four large notes, half in
// notes of 100 KB, as a data folder grown over the years may hold.
fs::path MixedFolder(int megabytes) {
    const fs::path root = scratch / ("mixed" + std::to_string(megabytes)) / "Default";
    if (fs::exists(root / ".complete")) return root;
    fs::remove_all(root);
    std::mt19937 random(7);
    const std::size_t total = static_cast<std::size_t>(megabytes) * 1'000'000;
    std::size_t written = 0;
    for (int i = 0; written < total; ++i) {
        const fs::path dir = root / ("dir" + std::to_string(i % 4));
        fs::create_directories(dir);
        const std::size_t size = written < total / 2 ? total / 8 : 100'000;
        std::string note;
        note.reserve(size + 4096);
        while (note.size() < size) note += Note(random);
        note.resize(size);
        WriteBytes(dir / ("note" + std::to_string(i) + ".txt"), note);
        written += size;
    }
    MarkComplete(root);
    return root;
}

void PackMixedCase() {
    const int megabytes = quick ? 100 : 300;
    ComparePack("pack " + std::to_string(megabytes) + " MB mixed folder on two cores",
                MixedFolder(megabytes));
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // Children.
    if (!args.empty() && args[0] == "--restore") {
        return ChildRestore(args.at(1), args.at(2), args.size() > 3 ? args[3] : "");
    }
    if (!args.empty() && args[0] == "--pack") {
        return ChildPack(args.at(1), args.at(2), static_cast<unsigned>(std::stoul(args.at(3))),
                         args.size() > 4 ? args[4] : "");
    }
    if (!args.empty() && args[0] == "--cipher")
        return ChildCipher(args.at(1), args.at(2), args.at(3));
    if (!args.empty() && args[0] == "--rc4")
        return ChildRc4(std::stoul(args.at(1)), std::stod(args.at(2)));

    bool keep = false;
    std::vector<std::string> cases;
    scratch = fs::temp_directory_path() / "moxia-bench";
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--quick") {
            quick = true;
        } else if (args[i] == "--keep") {
            keep = true;
        } else if (args[i] == "--scratch" && i + 1 < args.size()) {
            scratch = args[++i];
        } else {
            cases.push_back(args[i]);
        }
    }
    fs::create_directories(scratch);
    const auto wanted = [&](const std::string& name) {
        return cases.empty() || std::find(cases.begin(), cases.end(), name) != cases.end();
    };
    if (wanted("restore"))
        RestoreCase("restore 10k notes in 50 folders", "corpus50", 50, 10000, false);
    if (wanted("restore-one-folder")) {
        RestoreCase("restore 10k notes in one folder", "corpus1", 1, 10000, false);
    }
    if (wanted("restore-existing")) {
        RestoreCase("restore 10k notes over existing ones", "corpus50", 50, 10000, true);
    }
    if (wanted("restore-100k") && (!quick || !cases.empty())) Restore100k();
    if (wanted("hostile") && (!quick || !cases.empty())) HostileCase();
    if (wanted("rc4")) Rc4Case();
    if (wanted("cipher")) CipherCase();
    if (wanted("pack")) PackCase();
    if (wanted("pack-mixed")) PackMixedCase();
    if (!keep) RemoveAll(scratch / "corpus50" / "restored");
    return failed ? 1 : 0;
}
