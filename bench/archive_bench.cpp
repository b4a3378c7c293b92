// Throughput of the backup archive against the usual tools, on one mixed corpus of at least
// 200 MB made in a temporary folder (text, binaries, already-compressed data, many small
// files): archive creation at levels 1, 6, 9 and clNone, restore, gzip -1, pigz -1 on two
// threads, gzip -dc, cat to /dev/null (the read limit) and cp -r (the limit of creating the
// files, which bounds a restore), all on the same files, in MB/s of
// corpus content (1 MB = 10^6 bytes). It also times both codec libraries, the writer without
// encoding ahead and the restore without its writer thread, which is how the defaults were
// chosen.
//
//   archive_bench [--repeat N] [--keep]     (best of N runs per figure; default 1)
#include "core/backup/archiveformat.h"
#include "core/backup/backupfile.h"
#include "core/backup/filespec.h"
#include "core/platform/eventpump.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

namespace fs = std::filesystem;
namespace bk = mtl::backup;

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "miotlarz-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path = pattern;
    }
    ~TempFolder()
    {
        if (keep) return;
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
    bool keep = false;
};

void writeFile(const fs::path& file, const std::string& bytes)
{
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

// Text that compresses about as logs and documents do.
std::string makeText(std::size_t size, std::mt19937& random)
{
    static const char* words[] = {"plik", "folder", "usunięto", "kopia", "zapasowa", "the", "of", "and", "error",
                                  "warning", "info", "request", "GET", "/index.html", "200", "404", "user", "session",
                                  "zażółć", "gęślą", "jaźń", "temporary", "cache", "Miotlarz", "value", "key"};
    std::string text;
    text.reserve(size + 200);
    while (text.size() < size) {
        text += "2024-06-" + std::to_string(10 + random() % 20) + " " + std::to_string(random() % 24) + ":"
            + std::to_string(10 + random() % 50) + " [" + std::to_string(random() % 100000) + "] ";
        for (int w = 0, n = 4 + int(random() % 12); w < n; ++w) {
            text += words[random() % std::size(words)];
            text += ' ';
        }
        text += "\r\n";
    }
    text.resize(size);
    return text;
}

std::string makeNoise(std::size_t size, std::mt19937& random)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i + 4 <= size; i += 4) {
        const std::uint32_t v = random();
        std::memcpy(bytes.data() + i, &v, 4);
    }
    return bytes;
}

std::string deflated(const std::string& text)
{
    uLongf size = compressBound(text.size());
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(text.data()), text.size(), 9);
    out.resize(size);
    return out;
}

// Machine code and data as programs carry them: the system's own libraries, or structured
// synthetic data when there are none to read.
std::uint64_t addBinaries(const fs::path& folder, std::uint64_t want, std::mt19937& random)
{
    std::uint64_t added = 0;
    std::error_code ec;
    for (const char* source : {"/usr/lib/x86_64-linux-gnu", "/usr/lib", "/usr/bin"}) {
        for (auto it = fs::recursive_directory_iterator(source, fs::directory_options::skip_permission_denied, ec);
             it != fs::recursive_directory_iterator() && added < want; it.increment(ec)) {
            if (ec || it->is_symlink() || !it->is_regular_file(ec)) continue;
            const auto size = it->file_size(ec);
            if (ec || size < 4096 || size > 8'000'000) continue;
            std::ifstream in(it->path(), std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            writeFile(folder / ("bin" + std::to_string(added) + ".so"), bytes);
            added += bytes.size();
        }
    }
    for (int i = 0; added < want; ++i) {
        std::string bytes;
        while (bytes.size() < 2'000'000) {
            const std::uint32_t op = random() % 64, value = random() % 4096;
            const unsigned char word[4] = {static_cast<unsigned char>(0x48 + op % 8), static_cast<unsigned char>(op),
                                           static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)};
            bytes.append(reinterpret_cast<const char*>(word), 4);
        }
        writeFile(folder / ("synthetic" + std::to_string(i) + ".bin"), bytes);
        added += bytes.size();
    }
    return added;
}

std::uint64_t makeCorpus(const fs::path& root)
{
    std::mt19937 random(1234);
    std::uint64_t total = 0;
    for (int i = 0; total < 70'000'000; ++i) {  // text, from a few KB to 8 MB
        const std::size_t size = std::size_t(2000) << (random() % 13);
        writeFile(root / "text" / ("doc" + std::to_string(i) + ".log"), makeText(size, random));
        total += size;
    }
    total += addBinaries(root / "bin", 60'000'000, random);
    std::uint64_t packed = 0;
    for (int i = 0; packed < 25'000'000; ++i) {  // compressed archives and media
        const std::string bytes = deflated(makeText(3'000'000, random));
        writeFile(root / "packed" / ("old" + std::to_string(i) + ".gz"), bytes);
        packed += bytes.size();
    }
    for (int i = 0; packed < 50'000'000; ++i) {  // encrypted or media data
        const std::string bytes = makeNoise(1'000'000 + random() % 4'000'000, random);
        writeFile(root / "packed" / ("photo" + std::to_string(i) + ".jpg"), bytes);
        packed += bytes.size();
    }
    total += packed;
    for (int i = 0; i < 12000; ++i) {  // many small files in many folders
        const std::size_t size = 100 + random() % 4000;
        const std::string bytes = random() % 3 ? makeText(size, random) : makeNoise(size, random);
        writeFile(root / "small" / ("d" + std::to_string(i % 300)) / ("f" + std::to_string(i) + ".tmp"), bytes);
        total += size;
    }
    return total;
}

double seconds(const std::function<void()>& run, int repeat)
{
    double best = 1e300;
    for (int r = 0; r < repeat; ++r) {
        const auto start = std::chrono::steady_clock::now();
        run();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

bool shell(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

bool haveTool(const char* name)
{
    return shell(std::string("command -v ") + name + " > /dev/null 2>&1");
}

struct Figure {
    std::string name;
    double seconds = 0;
    std::uint64_t outputBytes = 0;
};

} // namespace

int main(int argc, char** argv)
{
    int repeat = 1;
    TempFolder temp;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--repeat") && i + 1 < argc) repeat = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--keep")) temp.keep = true;
    }

    const fs::path corpus = temp.path / "corpus";
    std::printf("making the corpus in %s ...\n", corpus.c_str());
    std::fflush(stdout);
    const std::uint64_t corpusBytes = makeCorpus(corpus);

    // The same files for everybody: the list the component collects.
    const std::vector<std::string> specs = {(corpus / "* /s").string()};
    const auto files = bk::collectFiles(specs, bk::systemFileSystem(), {});
    {
        std::ofstream list(temp.path / "files.list", std::ios::binary);
        for (const auto& f : files) list << f << '\0';
    }
    std::printf("corpus: %zu files, %.1f MB\n\n", files.size(), corpusBytes / 1e6);
    const std::string xargs = "xargs -0 -a '" + (temp.path / "files.list").string() + "' ";
    shell(xargs + "cat > /dev/null");  // warm the page cache

    std::vector<Figure> figures;
    auto mb = [&](double s) { return corpusBytes / 1e6 / s; };
    auto report = [&](const Figure& f) {
        figures.push_back(f);
        std::printf("%-42s %8.2f s %9.1f MB/s", f.name.c_str(), f.seconds, mb(f.seconds));
        if (f.outputBytes) std::printf("   %6.1f%% of the input", 100.0 * double(f.outputBytes) / double(corpusBytes));
        std::printf("\n");
        std::fflush(stdout);
    };

    mtl::NoEventPump pump;
    const fs::path archive = temp.path / "bench.mtb";
    auto create = [&](const std::string& name, mtl::TCompressionLevel level, bk::CodecLibrary library, int threads) {
        mtl::TBackupFile component(pump);
        component.CompressionLevel = level;
        component.SaveFileID = true;
        component.setCodecLibrary(library);
        if (threads >= 0) component.setCompressionThreads(threads);
        const double s = seconds([&] {
            if (!component.Backup(specs, archive.string())) throw std::runtime_error("backup failed");
        }, repeat);
        report({name, s, fs::file_size(archive)});
        return s;
    };
    auto restore = [&](const std::string& name, bk::CodecLibrary library, int threads = -1) {
        mtl::TBackupFile component(pump);
        component.setCodecLibrary(library);
        if (threads >= 0) component.setCompressionThreads(threads);
        component.RestoreFullPath = true;
        const fs::path out = temp.path / "restored";
        double best = 1e300;
        for (int r = 0; r < repeat; ++r) {
            fs::remove_all(out);
            best = std::min(best, seconds([&] {
                if (!component.Restore(archive.string(), out.string())) throw std::runtime_error("restore failed");
            }, 1));
        }
        fs::remove_all(out);
        report({name, best, 0});
        return best;
    };

    report({"cat > /dev/null (read limit)", seconds([&] { shell(xargs + "cat > /dev/null"); }, repeat), 0});
    {
        // What creating the same files costs on this file system, the floor of any restore.
        const fs::path copy = temp.path / "copy";
        double best = 1e300;
        for (int r = 0; r < repeat; ++r) {
            fs::remove_all(copy);
            best = std::min(best, seconds([&] { shell("cp -r '" + corpus.string() + "' '" + copy.string() + "'"); }, 1));
        }
        fs::remove_all(copy);
        report({"cp -r (read and create limit)", best, 0});
    }

    create("archive create, level 1 (clFastest)", mtl::clFastest, bk::kDefaultCodecLibrary, -1);
    restore("archive restore (from level 1)", bk::kDefaultCodecLibrary);
    create("archive create, level 6 (clDefault)", mtl::clDefault, bk::kDefaultCodecLibrary, -1);
    create("archive create, level 9 (clMax)", mtl::clMax, bk::kDefaultCodecLibrary, -1);
    create("archive create, clNone", mtl::clNone, bk::kDefaultCodecLibrary, -1);

    std::printf("\n-- how the codec was chosen --\n");
    create("level 1, libdeflate, no encoding ahead", mtl::clFastest, bk::CodecLibrary::Libdeflate, 0);
    create("level 1, zlib, encoding ahead", mtl::clFastest, bk::CodecLibrary::Zlib, -1);
    create("level 1, zlib, no encoding ahead", mtl::clFastest, bk::CodecLibrary::Zlib, 0);
    create("level 6, zlib, encoding ahead", mtl::clDefault, bk::CodecLibrary::Zlib, -1);
    create("level 1, libdeflate (archive for the restores)", mtl::clFastest, bk::CodecLibrary::Libdeflate, -1);
    restore("restore, inflating with zlib", bk::CodecLibrary::Zlib);
    restore("restore, inflating with libdeflate", bk::CodecLibrary::Libdeflate);
    restore("restore, libdeflate, no writer thread", bk::CodecLibrary::Libdeflate, 0);

    std::printf("\n-- the usual tools on the same files --\n");
    const fs::path gz = temp.path / "corpus.gz";
    double gzip1 = 0, pigz1 = 0, gunzip = 0;
    if (haveTool("gzip")) {
        gzip1 = seconds([&] { shell(xargs + "gzip -1 -f -c > '" + gz.string() + "'"); }, repeat);
        report({"gzip -1", gzip1, fs::file_size(gz)});
        gunzip = seconds([&] { shell("gzip -dc '" + gz.string() + "' > /dev/null"); }, repeat);
        report({"gzip -dc", gunzip, 0});
    } else {
        std::printf("gzip is not installed\n");
    }
    if (haveTool("pigz")) {
        const fs::path pz = temp.path / "corpus.pigz.gz";
        pigz1 = seconds([&] { shell(xargs + "pigz -1 -f -p 2 -c > '" + pz.string() + "'"); }, repeat);
        report({"pigz -1 -p 2", pigz1, fs::file_size(pz)});
    } else {
        std::printf("pigz is not installed (scripts/install-deps.sh installs it)\n");
    }

    // The targets are ratios; on a machine shared with other work the load changes from
    // minute to minute, so each pair is timed in alternation and the best of each is taken.
    std::printf("\n-- targets (pairs timed in alternation, best of %d) --\n", std::max(repeat, 3));
    auto alternate = [&](const std::function<void()>& ours, const std::function<void()>& theirs) {
        double a = 1e300, b = 1e300;
        for (int r = 0; r < std::max(repeat, 3); ++r) {
            a = std::min(a, seconds(ours, 1));
            b = std::min(b, seconds(theirs, 1));
        }
        return std::make_pair(a, b);
    };
    if (pigz1 > 0) {
        mtl::TBackupFile component(pump);
        component.SaveFileID = true;
        const auto [ours, theirs] = alternate(
            [&] { component.Backup(specs, archive.string()); },
            [&] { shell(xargs + "pigz -1 -f -p 2 -c > '" + (temp.path / "corpus.pigz.gz").string() + "'"); });
        std::printf("creation at level 1 %.1f MB/s, pigz -1 -p 2 %.1f MB/s: %.2fx (target 2x): %s\n", mb(ours),
                    mb(theirs), theirs / ours, theirs / ours >= 2 ? "met" : "NOT met");
    }
    if (gunzip > 0) {
        mtl::TBackupFile component(pump);
        component.RestoreFullPath = true;
        const fs::path out = temp.path / "restored";
        int round = 0;  // a fresh folder each time; removing one is not part of a restore
        const auto [ours, theirs] = alternate(
            [&] { component.Restore(archive.string(), (out / std::to_string(round++)).string()); },
            [&] { shell("gzip -dc '" + gz.string() + "' > /dev/null"); });
        fs::remove_all(out);
        std::printf("restore %.1f MB/s, gzip -dc %.1f MB/s: %.2fx (target 2x): %s\n", mb(ours), mb(theirs),
                    theirs / ours, theirs / ours >= 2 ? "met" : "NOT met");
    }
    return 0;
}
