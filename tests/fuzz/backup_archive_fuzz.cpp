// Fuzzing the backup archive reader. Seed archives are made by the component itself (with and
// without the identity list, every level, several volumes); a deterministic mutation loop
// (bit flips, interesting values in length fields, truncations, splices between seeds)
// feeds them to GetArchiveInfo, to Restore into a scratch folder and to a full inflating
// walk. It is built with the address and undefined-behaviour sanitizers, so reading past a
// buffer stops it, and it checks after every input that nothing was written outside the
// destination and that no temporary file was left behind.
//
//   backup_archive_fuzz [--seconds S] [--iterations N] [--seed X]
//
// With MIOTLARZ_LIBFUZZER defined it is a libFuzzer target instead (one volume per input).
#include "core/backup/archiveformat.h"
#include "core/backup/archivereader.h"
#include "core/backup/backupfile.h"
#include "core/common/errors.h"
#include "core/platform/eventpump.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
namespace bk = mtl::backup;
using Volumes = std::vector<std::string>;

void writeFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Everything lives in one scratch folder; the destination lies deep inside it so that a name
// climbing out of the destination by a few levels would land where the check sees it.
class Scratch {
public:
    Scratch()
    {
        std::string pattern = (fs::temp_directory_path() / "miotlarz-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        root = pattern;
    }
    ~Scratch()
    {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    fs::path root;
    fs::path archive() const { return root / "in" / "a.mtb"; }
    fs::path destination() const { return root / "d1" / "d2" / "d3" / "d4" / "out"; }
};

Volumes makeSeed(const Scratch& scratch, const std::string& name, mtl::TCompressionLevel level, bool identity,
                 std::int32_t maxSize, const std::vector<std::pair<std::string, std::string>>& files)
{
    const fs::path src = scratch.root / "src" / name;
    std::vector<std::string> specs;
    for (const auto& [file, content] : files) {
        writeFile(src / file, content);
        specs.push_back((src / file).string());
    }
    mtl::NoEventPump pump;
    mtl::TBackupFile component(pump);
    component.CompressionLevel = level;
    component.SaveFileID = identity;
    component.MaxSize = maxSize;
    component.BackupTitle = "Plik z: " + name;
    component.OnNeedDisk = [](mtl::TBackupFile&, std::uint16_t, bool& go) { go = true; };
    const fs::path archive = scratch.root / "seeds" / (name + ".mtb");
    fs::create_directories(archive.parent_path());
    if (!component.Backup(specs, archive.string())) std::abort();
    Volumes volumes{readFile(archive)};
    for (int v = 2;; ++v) {
        const fs::path next = bk::volumeFileName(archive.string(), bk::volumeDigits(v));
        if (!fs::exists(next)) break;
        volumes.push_back(readFile(next));
    }
    return volumes;
}

std::string text(std::size_t size)
{
    std::string t;
    for (int i = 0; t.size() < size; ++i) t += "wiersz " + std::to_string(i) + " zażółć gęślą jaźń\r\n";
    t.resize(size);
    return t;
}

std::string noise(std::size_t size, unsigned seed)
{
    std::mt19937 g(seed);
    std::string n(size, '\0');
    for (auto& c : n) c = char(g());
    return n;
}

std::vector<Volumes> makeSeeds(const Scratch& scratch)
{
    std::vector<Volumes> seeds;
    seeds.push_back(makeSeed(scratch, "id", mtl::clFastest, true, 0,
                             {{"a.txt", text(20000)}, {"b.bin", noise(17000, 1)}, {"empty", ""}, {"c=d/e f", "x"}}));
    seeds.push_back(makeSeed(scratch, "plain", mtl::clNone, false, 0, {{"a.txt", text(40000)}, {"z", "z"}}));
    seeds.push_back(makeSeed(scratch, "max", mtl::clMax, true, 0, {{"t.txt", text(5000)}}));
    seeds.push_back(makeSeed(scratch, "volumes", mtl::clDefault, true, bk::kMinVolumeSize + 3000,
                             {{"n.bin", noise(40000, 2)}, {"t.txt", text(30000)}}));
    return seeds;
}

class Mutator {
public:
    explicit Mutator(std::uint64_t seed) : m_random(seed) {}

    Volumes mutate(const std::vector<Volumes>& seeds)
    {
        Volumes input = seeds[pick(seeds.size())];
        const int rounds = 1 + int(pick(4));
        for (int r = 0; r < rounds; ++r) {
            std::string& bytes = input[pick(input.size())];
            const std::string& other = seeds[pick(seeds.size())][0];
            switch (pick(7)) {
            case 0:  // bit flips
                for (int k = 0, n = 1 + int(pick(8)); k < n && !bytes.empty(); ++k) bytes[pick(bytes.size())] ^= char(1 << pick(8));
                break;
            case 1: {  // an interesting value where a length field may stand
                static const std::int32_t values[] = {0, -1, 1, 4, 12, 16383, 16384, 16385, -16384, -16385,
                                                      0x7FFFFFFF, std::int32_t(0x80000000), 1 << 20, -7};
                if (bytes.size() < 4) break;
                std::string field;
                bk::appendInt32(field, values[pick(std::size(values))]);
                bytes.replace(pick(bytes.size() - 3), 4, field);
                break;
            }
            case 2:  // truncation
                bytes.resize(pick(bytes.size() + 1));
                break;
            case 3: {  // splice a piece of another archive over this one
                if (other.empty() || bytes.empty()) break;
                const std::size_t from = pick(other.size()), length = 1 + pick(std::min<std::size_t>(other.size() - from, 64));
                const std::size_t at = pick(bytes.size());
                bytes.replace(at, std::min(length, bytes.size() - at), other, from, length);
                break;
            }
            case 4: {  // duplicate a range
                if (bytes.empty()) break;
                const std::size_t from = pick(bytes.size()), length = 1 + pick(std::min<std::size_t>(bytes.size() - from, 200));
                bytes.insert(pick(bytes.size() + 1), bytes.substr(from, length));
                break;
            }
            case 5:  // random bytes inserted
                bytes.insert(pick(bytes.size() + 1), noise(1 + pick(16), unsigned(m_random())));
                break;
            case 6:  // a range removed
                if (!bytes.empty()) {
                    const std::size_t at = pick(bytes.size());
                    bytes.erase(at, 1 + pick(std::min<std::size_t>(bytes.size() - at, 100)));
                }
                break;
            }
        }
        return input;
    }

private:
    std::size_t pick(std::size_t count) { return count == 0 ? 0 : std::size_t(m_random() % count); }
    std::mt19937_64 m_random;
};

// Entries the run may have made: the input, the destination (emptied after each input) and
// what the seeds were made from. Anything else is a write outside the destination.
bool somethingOutside(const Scratch& scratch, std::string& what)
{
    for (auto it = fs::recursive_directory_iterator(scratch.root); it != fs::recursive_directory_iterator(); ++it) {
        const fs::path relative = it->path().lexically_relative(scratch.root);
        const std::string first = relative.begin()->string();
        if (first == "in" || first == "src" || first == "seeds") {
            it.disable_recursion_pending();
            continue;
        }
        const std::string path = it->path().string(), destination = scratch.destination().string();
        const bool onTheWay = destination.starts_with(path) && destination[path.size()] == '/';
        if (onTheWay || path == destination || path.starts_with(destination + "/")) continue;
        what = it->path().string();
        return true;
    }
    return false;
}

bool temporaryLeft(const Scratch& scratch, std::string& what)
{
    if (!fs::exists(scratch.destination())) return false;
    for (const auto& entry : fs::recursive_directory_iterator(scratch.destination())) {
        if (entry.path().filename().string().starts_with(".mtl-restore-")) {
            what = entry.path().string();
            return true;
        }
    }
    return false;
}

// A reader's walk over every chunk, as `archive test` does it.
void walk(const Scratch& scratch)
{
    class Sink final : public bk::BlockSink {
    public:
        bool decodes() const override { return true; }
        bool goOn() const override { return true; }
        void write(std::span<const unsigned char>) override {}
        void afterChunk(std::size_t, bool) override {}
    } sink;
    try {
        auto file = bk::systemFileSystem().openArchive(scratch.archive());
        bk::ArchiveReader reader(*file);
        reader.readHeader();
        int volume = 1;
        for (;;) {
            const bk::ArchiveRecord record = reader.nextRecord();
            if (record.kind == bk::ArchiveRecord::Kind::End) return;
            if (record.kind == bk::ArchiveRecord::Kind::Continuation) {
                const auto number = bk::continuationVolume(record.name);
                if (!number || *number <= volume) return;
                volume = *number;
                const auto next = bk::volumeFileName(scratch.archive().string(), bk::volumeDigits(volume));
                if (!fs::exists(next)) return;
                file = bk::systemFileSystem().openArchive(next);
                reader.setSource(*file);
            }
            reader.readBlock(sink);
        }
    } catch (const bk::ArchiveDamage&) {
    } catch (const mtl::Error&) {
    }
}

// Runs one input; returns an empty text, or what went wrong.
std::string runOne(const Scratch& scratch, const Volumes& volumes, bool fullPath)
{
    std::error_code ec;
    fs::remove_all(scratch.root / "in", ec);
    writeFile(scratch.archive(), volumes[0]);
    for (std::size_t v = 1; v < volumes.size(); ++v) {
        writeFile(bk::volumeFileName(scratch.archive().string(), bk::volumeDigits(int(v) + 1)), volumes[v]);
    }

    mtl::NoEventPump pump;
    mtl::TBackupFile component(pump);
    component.OnError = [](mtl::TBackupFile&, std::int32_t, const std::string&) {};
    component.OnNeedDisk = [&](mtl::TBackupFile&, std::uint16_t disk, bool& go) {
        go = fs::exists(bk::volumeFileName(scratch.archive().string(), bk::volumeDigits(disk)));
    };
    std::vector<std::string> list;
    std::string title;
    component.GetArchiveInfo(scratch.archive().string(), &list, title);

    component.RestoreFullPath = fullPath;
    try {
        component.Restore(scratch.archive().string(), scratch.destination().string());
    } catch (const mtl::Error&) {
        // Errors passed to the caller are an expected answer to damage.
    }
    if (component.Busy()) return "Busy after Restore";
    walk(scratch);

    std::string what;
    if (somethingOutside(scratch, what)) return "written outside the destination: " + what;
    if (temporaryLeft(scratch, what)) return "temporary file left: " + what;
    fs::remove_all(scratch.destination(), ec);
    return {};
}

} // namespace

#ifdef MIOTLARZ_LIBFUZZER

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Scratch scratch;
    const std::string error = runOne(scratch, {std::string(reinterpret_cast<const char*>(data), size)}, size % 2 == 0);
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::abort();
    }
    return 0;
}

#else

int main(int argc, char** argv)
{
    double seconds = 40;
    long long iterations = -1;
    std::uint64_t seed = 20240611;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--seconds")) seconds = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--iterations")) iterations = std::atoll(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--seed")) seed = std::strtoull(argv[i + 1], nullptr, 10);
    }

    Scratch scratch;
    const std::vector<Volumes> seeds = makeSeeds(scratch);
    // The seeds themselves must restore cleanly.
    for (const auto& volumes : seeds) {
        const std::string error = runOne(scratch, volumes, true);
        if (!error.empty()) {
            std::fprintf(stderr, "seed: %s\n", error.c_str());
            return 1;
        }
    }

    Mutator mutator(seed);
    const auto start = std::chrono::steady_clock::now();
    long long done = 0;
    while (iterations < 0 || done < iterations) {
        if (iterations < 0 && std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >= seconds) break;
        const Volumes input = mutator.mutate(seeds);
        const std::string error = runOne(scratch, input, done % 2 == 0);
        if (!error.empty()) {
            const fs::path kept = fs::current_path() / "backup_archive_fuzz_failure.mtb";
            writeFile(kept, input[0]);
            std::fprintf(stderr, "input %lld: %s (first volume kept in %s)\n", done, error.c_str(), kept.c_str());
            return 1;
        }
        ++done;
    }
    std::printf("backup_archive_fuzz: %lld inputs in %.1f s, no fault\n", done,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return 0;
}

#endif
