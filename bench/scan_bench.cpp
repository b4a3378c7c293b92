// Speed of the search engine against a bare walk of the same tree and against find and fd.
//
// Builds a synthetic tree in a temporary folder (by default 200 000 files in 20 000 folders,
// names as they come in a home folder, some hidden, some read-only), warms the cache, then
// times in one run: a walk that only lists names and d_type, the same walk with an lstat of
// every entry, the engine with the shipped "Zaawansowany" list, the engine with a 500-mask
// list, miotlarz-cli with that list, GNU find with the equivalent -iname expression and
// fdfind with the equivalent glob set. Runs go in rounds (one of each per round, so a change
// in the machine's load touches all alike); prints the best and median wall time and the CPU
// time of each, then removes the tree. The engine lists folders ahead on a second core: its
// wall time shows that only when a core is free, the "one thread" rows show it without.
//
//   scan_bench [--files N] [--folders N] [--runs N] [--dir PARENT] [--quick] [--only TEXT]
#include "core/common/linelist.h"
#include "core/platform/eventpump.h"
#include "core/scan/easyfilesearch.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// ---- The synthetic tree ------------------------------------------------------------------

const std::vector<std::string> folderWords{
    "src", "docs", "Photos", "Music", "Downloads", "cache", "build", "lib", "include", "test",
    "assets", "img", "2019", "2020", "2021", "2022", "2023", "backup", "old", "tmp", "projects",
    "node_modules", "site-packages", "share", "config", "data", "logs", "reports", "Videos",
    "thumbnails", "fonts", "icons", "po", "plugins", "modules", "vendor", "dist", "out", "web"};
const std::vector<std::string> stems{
    "index", "main", "readme", "notes", "report", "invoice", "photo", "image", "setup", "config",
    "utils", "helper", "test", "data", "summary", "draft", "letter", "budget", "scan", "track",
    "chapter", "module", "widget", "parser", "server", "client", "style", "script", "schema", "app"};
const std::vector<std::string> extensions{
    "txt", "jpg", "JPG", "png", "pdf", "docx", "xlsx", "cpp", "h", "py", "js", "html", "css",
    "json", "xml", "mp3", "flac", "mp4", "zip", "gz", "so", "o", "md", "csv", "svg", "ini", "db", "dat"};
// What cleaners look for, a few in a hundred of the ordinary names.
const std::vector<std::string> junkExtensions{"log", "tmp", "bak", "old", "swp", "part", "pyc", "dmp"};

std::string fileName(std::mt19937& random, std::size_t serial)
{
    const auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    const unsigned roll = random() % 100;
    char number[16];
    std::snprintf(number, sizeof number, "%04u", unsigned(serial % 10000));
    if (roll < 8) return "IMG_" + std::string(number) + ".JPG";
    if (roll < 11) {  // content hashes, as caches name their files
        static const char hex[] = "0123456789abcdef";
        std::string name(32, '0');
        for (char& c : name) c = hex[random() % 16];
        return roll == 10 ? name + ".png" : name;
    }
    if (roll < 16) return "." + pick(stems) + (roll % 2 ? "rc" : "_history");  // hidden
    if (roll < 17) return "~$" + pick(stems) + ".docx";
    if (roll < 18) return pick(stems) + "." + pick(extensions) + "~";  // editor backups
    if (roll < 19) return "core." + std::to_string(1000 + serial % 9000);
    if (roll < 20) return roll % 2 ? "Makefile" : "README";
    if (roll < 21) return pick(stems) + ".log." + std::to_string(serial % 10);
    const std::string& extension = random() % 100 < 3 ? pick(junkExtensions) : pick(extensions);
    return pick(stems) + (roll % 3 ? "_" + std::string(number) : std::string()) + "." + extension;
}

struct Tree {
    fs::path root;
    std::size_t folders = 0;
    std::size_t files = 0;
    std::size_t hidden = 0;
    std::size_t readOnly = 0;
};

void fillTree(Tree& tree, std::size_t folderCount, std::size_t fileCount);

Tree buildTree(const fs::path& parent, std::size_t folderCount, std::size_t fileCount)
{
    Tree tree;
    std::string pattern = (parent / "miotlarz-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp: " + std::string(std::strerror(errno)));
    tree.root = pattern;
    try {
        fillTree(tree, folderCount, fileCount);
    } catch (...) {
        std::error_code ignored;
        fs::remove_all(tree.root, ignored);
        throw;
    }
    return tree;
}

void fillTree(Tree& tree, std::size_t folderCount, std::size_t fileCount)
{
    std::mt19937 random(42);
    // Folder i > 0 lives in folder (i - 1) / 10: a tree five levels deep for 20 000 folders.
    std::vector<std::string> paths{tree.root.string()};
    std::vector<std::set<std::string>> names(1);
    for (std::size_t i = 1; i < folderCount; ++i) {
        const std::size_t parentIndex = (i - 1) / 10;
        std::string name = folderWords[random() % folderWords.size()];
        if (random() % 8 == 0) name = "." + name;
        while (!names[parentIndex].insert(name).second) name += "_" + std::to_string(random() % 100);
        paths.push_back(paths[parentIndex] + "/" + name);
        names.emplace_back();
        if (::mkdir(paths.back().c_str(), 0755) != 0) throw std::runtime_error("mkdir " + paths.back());
        if (name[0] == '.') ++tree.hidden;
    }
    tree.folders = paths.size();
    for (std::size_t f = 0; f < paths.size(); ++f) {
        const int folder = ::open(paths[f].c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder < 0) throw std::runtime_error("open " + paths[f]);
        const std::size_t count = fileCount / paths.size() + (f < fileCount % paths.size() ? 1 : 0);
        for (std::size_t k = 0; k < count; ++k) {
            std::string name = fileName(random, tree.files);
            while (!names[f].insert(name).second) name = std::to_string(random() % 1000) + name;
            const bool readOnly = random() % 100 < 3;
            const int fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, readOnly ? 0444 : 0644);
            if (fd < 0) throw std::runtime_error("create " + paths[f] + "/" + name);
            ::close(fd);
            ++tree.files;
            tree.readOnly += readOnly;
            tree.hidden += name[0] == '.';
        }
        ::close(folder);
    }
}

// ---- The mask lists ------------------------------------------------------------------------

// 500 masks of the kinds users collect: exact names, extensions, prefixes, suffixes and a
// few general ones. About one name in ten of the tree matches.
std::vector<std::string> fiveHundredMasks()
{
    std::vector<std::string> masks;
    std::mt19937 random(7);
    const char* exact[] = {"Thumbs.db", "desktop.ini", ".DS_Store", "npm-debug.log", "yarn-error.log",
                           ".lesshst", ".viminfo", "nohup.out", "core", "ehthumbs.db", "IconCache.db",
                           ".bash_history", ".python_history", "pip-log.txt", "debug.log", "Makefile.bak"};
    for (const char* name : exact) masks.push_back(name);
    for (std::size_t i = 0; masks.size() < 150; ++i)
        masks.push_back(stems[i % stems.size()] + "_" + std::to_string(9000 + i) + ".cfg");
    const char* realExtensions[] = {"tmp", "temp", "bak", "old", "swp", "swo", "log", "dmp", "chk", "gid",
                                    "ftg", "fts", "part", "crdownload", "pyc", "pyo", "orig", "rej",
                                    "$$$", "~mp", "wbk", "xlk", "asd", "bkp", "dpkg-old", "rpmsave"};
    for (const char* extension : realExtensions) masks.push_back(std::string("*.") + extension);
    for (std::size_t i = 0; masks.size() < 350; ++i) {
        std::string extension = "x";
        for (int k = 0; k < 3; ++k) extension += char('a' + random() % 26);
        masks.push_back("*." + extension + std::to_string(i % 10));
    }
    const char* prefixes[] = {"~$*", ".nfs*", ".#*", "._*", ".~lock.*", "gimpswap.*", "hs_err_pid*",
                              "ib_logfile*", "core.*", "tmp*"};
    for (const char* prefix : prefixes) masks.push_back(prefix);
    for (std::size_t i = 0; masks.size() < 410; ++i)
        masks.push_back(folderWords[i % folderWords.size()] + "-" + std::to_string(i) + "*");
    const char* suffixes[] = {"*~", "*-journal", "*-wal", "*-shm", "*_backup", "*.log.1", "*.log.gz",
                              "*.old.1", "*#", "*-lock"};
    for (const char* suffix : suffixes) masks.push_back(suffix);
    for (std::size_t i = 0; masks.size() < 470; ++i)
        masks.push_back("*-" + stems[i % stems.size()] + std::to_string(i));
    const char* general[] = {"*.log.[0-9]", "*.log.[0-9][0-9]", "core.[0-9][0-9][0-9][0-9]", "*.sw[a-p]",
                             "#*#", "*.~*", "[0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f]"
                             "[0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f]"
                             "[0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f]"
                             "[0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f]",
                             "*-le64.cache-?", "*.log-20??????", "ffastun*.ff?", "*.[0-9][0-9][0-9]",
                             "rb[0-9][0-9][0-9].cab", "FILE[0-9][0-9][0-9][0-9].CHK", "*.cpython-*.pyc",
                             "*cache*.db", "~*.tmp", "*.bak[0-9]", "[!a-z]*.old", "*.part[0-9]*",
                             "*.crash", "*.stackdump", "Backup of *", "*.dmp[0-9]", "??_*.tmp",
                             "*.[Tt][Mm][Pp][0-9]", "*(1)*.*", "*.tmp.*", "*.lnk~", "mscreate.dir"};
    for (const char* mask : general) masks.push_back(mask);
    masks.resize(500, "*.zz");
    return masks;
}

// ---- Walks ---------------------------------------------------------------------------------

struct Counts {
    std::size_t entries = 0;
    std::size_t matches = 0;
};

struct KernelDirent {
    std::uint64_t inode;
    std::int64_t offset;
    unsigned short length;
    unsigned char type;
    char name[1];
};

// Depth-first from an open folder, each subfolder opened relative to its parent.
void bareWalk(int folder, bool statEach, Counts& counts, std::vector<char>& buffer)
{
    std::vector<std::string> subfolders;
    for (;;) {
        const ssize_t read = ::getdents64(folder, buffer.data(), buffer.size());
        if (read <= 0) break;
        for (ssize_t at = 0; at < read;) {
            const auto* record = reinterpret_cast<const KernelDirent*>(buffer.data() + at);
            at += record->length;
            const char* name = record->name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
            ++counts.entries;
            bool isFolder = record->type == DT_DIR;
            if (statEach || record->type == DT_UNKNOWN) {
                struct stat status;
                if (::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) == 0) isFolder = S_ISDIR(status.st_mode);
            }
            if (isFolder) subfolders.emplace_back(name);
        }
    }
    for (const auto& name : subfolders) {
        const int sub = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub < 0) continue;
        bareWalk(sub, statEach, counts, buffer);
        ::close(sub);
    }
}

Counts bareWalk(const fs::path& root, bool statEach)
{
    Counts counts;
    std::vector<char> buffer(32 * 1024);
    const int folder = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    bareWalk(folder, statEach, counts, buffer);
    ::close(folder);
    return counts;
}

// The yield the window gives the engine: look at the clock, run messages every 15 ms.
class SlicedPump final : public mtl::EventPump {
public:
    void processPending() override { m_last = Clock::now(); }
    void yieldSliced() override
    {
        if (Clock::now() - m_last >= std::chrono::milliseconds(15)) processPending();
    }

private:
    Clock::time_point m_last = Clock::now();
};

Counts engineWalk(const fs::path& root, const std::vector<std::string>& masks, mtl::EventPump& pump,
                  bool ahead = true)
{
    Counts counts;
    mtl::TEasyFileSearch search(pump);
    search.ListAhead = ahead;
    search.RootPath = root.string();
    search.SearchOptions = mtl::TOptions::fromBits(111);
    search.setFileNames(masks);
    search.OnFileFound = [&](const mtl::TFileInformations&) { ++counts.matches; };
    if (!search.Execute()) std::fprintf(stderr, "warning: the engine stopped early\n");
    return counts;
}

// Runs a program with its standard output counted (lines) and thrown away.
Counts runProgram(const std::vector<std::string>& argv)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeFds[1], 1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        std::vector<char*> args;
        for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    Counts counts;
    char buffer[1 << 16];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        counts.matches += std::size_t(std::count(buffer, buffer + n, '\n'));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != 1))
        std::fprintf(stderr, "warning: %s ended with status %d\n", argv[0].c_str(), status);
    return counts;
}

bool programExists(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string paths = path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= paths.size();) {
        const std::size_t colon = std::min(paths.find(':', start), paths.size());
        if (::access((paths.substr(start, colon - start) + "/" + name).c_str(), X_OK) == 0) return true;
        start = colon + 1;
    }
    return false;
}

std::vector<std::string> findCommand(const fs::path& root, const std::vector<std::string>& masks)
{
    std::vector<std::string> argv{"find", root.string(), "-mindepth", "1", "("};
    for (std::size_t i = 0; i < masks.size(); ++i) {
        if (i) argv.push_back("-o");
        argv.push_back("-iname");
        argv.push_back(masks[i]);
    }
    argv.insert(argv.end(), {")", "-print"});
    return argv;
}

std::vector<std::string> fdCommand(const fs::path& root, const std::vector<std::string>& masks)
{
    // One glob of alternatives; masks with braces or commas would break the alternation.
    std::string glob = "{";
    for (const auto& mask : masks) {
        if (mask.find_first_of("{},") != std::string::npos) continue;
        if (glob.size() > 1) glob += ",";
        glob += mask;
    }
    glob += "}";
    return {"fdfind", "--unrestricted", "--ignore-case", "--color", "never", "--glob", glob, root.string()};
}

struct Measurement {
    std::string name;
    int runs = 0;
    std::function<Counts()> body;
    std::vector<double> times;  // wall ms
    std::vector<double> cpu;    // user + system ms, of this process and the programs it ran
    Counts counts;

    double best() const { return *std::min_element(times.begin(), times.end()); }
    double median() const
    {
        auto sorted = times;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
    double bestCpu() const { return *std::min_element(cpu.begin(), cpu.end()); }
};

double cpuMs()
{
    auto ms = [](const timeval& t) { return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0; };
    rusage self{}, children{};
    ::getrusage(RUSAGE_SELF, &self);
    ::getrusage(RUSAGE_CHILDREN, &children);
    return ms(self.ru_utime) + ms(self.ru_stime) + ms(children.ru_utime) + ms(children.ru_stime);
}

// Runs the measurements in rounds, one run of each per round, so that a change in the load
// of the machine during the benchmark touches all of them alike.
void runAll(std::vector<Measurement>& measurements)
{
    int rounds = 0;
    for (const auto& m : measurements) rounds = std::max(rounds, m.runs);
    for (int round = 0; round < rounds; ++round) {
        for (auto& m : measurements) {
            if (round >= m.runs) continue;
            const double cpuBefore = cpuMs();
            const auto start = Clock::now();
            m.counts = m.body();
            m.times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            m.cpu.push_back(cpuMs() - cpuBefore);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::size_t files = 200000, folders = 20000;
    int runs = 5;
    fs::path parent = fs::temp_directory_path();
    bool quick = false;  // leave out find and fdfind, for trying changes to the engine
    std::string only;    // run only the measurements whose name holds this (and the two compared)
    for (int i = 1; i < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--quick") {
            quick = true;
            --i;
        } else if (i + 1 >= argc) {
            std::fprintf(stderr, "scan_bench: %s needs a value\n", option.c_str());
            return 2;
        } else if (option == "--only") {
            only = argv[i + 1];
        } else if (option == "--files") files = std::stoul(argv[i + 1]);
        else if (option == "--folders") folders = std::stoul(argv[i + 1]);
        else if (option == "--runs") runs = std::max(1, std::stoi(argv[i + 1]));
        else if (option == "--dir") parent = argv[i + 1];
        else {
            std::fprintf(stderr, "usage: scan_bench [--files N] [--folders N] [--runs N] [--dir PARENT] [--quick] [--only TEXT]\n");
            return 2;
        }
    }

    std::printf("building %zu files in %zu folders below %s ...\n", files, folders, parent.c_str());
    std::fflush(stdout);
    const auto built = Clock::now();
    const Tree tree = buildTree(parent, folders, files);
    std::printf("built in %.1f s: %zu files (%zu hidden entries, %zu read-only files), %zu folders\n",
                std::chrono::duration<double>(Clock::now() - built).count(), tree.files, tree.hidden,
                tree.readOnly, tree.folders);

    int status = 0;
    try {
        const auto advanced = mtl::readLineList(fs::path(MIOTLARZ_PROGRAM_DIR) / "Filtry" / "filtr_a3.dat");
        const auto masks500 = fiveHundredMasks();
        const fs::path maskFile = tree.root.string() + ".masks";
        const fs::path advancedFile = tree.root.string() + ".a3";
        mtl::writeLineList(maskFile, masks500);
        mtl::writeLineList(advancedFile, advanced);

        bareWalk(tree.root, true);  // warm the cache
        mtl::NoEventPump noPump;
        SlicedPump slicedPump;
        std::vector<Measurement> results;
        auto add = [&](std::string name, int count, std::function<Counts()> body) {
            Measurement& m = results.emplace_back();
            m.name = std::move(name);
            m.runs = count;
            m.body = std::move(body);
        };
        const std::string walkName = "bare walk, names and d_type";
        const std::string engineName = "engine, 500 masks";
        const std::string cliName = "miotlarz-cli scan, 500 masks";
        const std::string findName = "find -iname, 500 masks";
        add(walkName, runs, [&] { return bareWalk(tree.root, false); });
        add("bare walk + lstat of every entry", runs, [&] { return bareWalk(tree.root, true); });
        add("engine, 1 mask matching nothing", runs, [&] { return engineWalk(tree.root, {"*.zzz"}, noPump); });
        add("engine, Zaawansowany (" + std::to_string(advanced.size()) + " masks)", runs,
            [&] { return engineWalk(tree.root, advanced, noPump); });
        add(engineName, runs, [&] { return engineWalk(tree.root, masks500, noPump); });
        add("engine, 500 masks, one thread", runs, [&] { return engineWalk(tree.root, masks500, noPump, false); });
        add("engine, 1 mask matching nothing, one thread", runs,
            [&] { return engineWalk(tree.root, {"*.zzz"}, noPump, false); });
        add("engine, 500 masks, sliced yields", runs, [&] { return engineWalk(tree.root, masks500, slicedPump); });
        add(cliName, runs, [&] {
            return runProgram({MIOTLARZ_CLI, "scan", "--masks", maskFile.string(), tree.root.string()});
        });
        const int slowRuns = std::min(runs, 2);
        if (!quick) {
            add("find -iname, Zaawansowany", slowRuns, [&] { return runProgram(findCommand(tree.root, advanced)); });
            add(findName, slowRuns, [&] { return runProgram(findCommand(tree.root, masks500)); });
        }
        const bool haveFd = programExists("fdfind");
        if (!quick && haveFd) {
            add("fdfind --glob, Zaawansowany", runs, [&] { return runProgram(fdCommand(tree.root, advanced)); });
            add("fdfind --glob, 500 masks", runs, [&] { return runProgram(fdCommand(tree.root, masks500)); });
        }
        if (!only.empty())
            std::erase_if(results, [&](const Measurement& m) {
                return m.name.find(only) == std::string::npos && m.name != walkName && m.name != engineName;
            });
        runAll(results);

        const double entries = double(tree.files + tree.folders - 1);
        std::printf("\n%-40s %9s %9s %9s %12s %8s\n", "measurement (warm cache)", "best ms", "median ms",
                    "cpu ms", "entries/s", "matches");
        for (const Measurement& m : results)
            std::printf("%-40s %9.1f %9.1f %9.1f %12.0f %8zu\n", m.name.c_str(), m.best(), m.median(),
                        m.bestCpu(), entries / (m.best() / 1000.0), m.counts.matches);
        if (quick) std::printf("%-40s left out (--quick)\n", "find, fdfind");
        else if (!haveFd) std::printf("%-40s skipped: fdfind is not installed (Debian package fd-find)\n", "fdfind");

        auto best = [&](const std::string& name) {
            for (const auto& m : results)
                if (m.name == name) return m.best();
            return 0.0;
        };
        const double walk = best(walkName);
        const double engine = best(engineName);
        std::printf("\nengine with 500 masks / d_type-only walk: %.2fx (target at most 1.30x)\n", engine / walk);
        if (const double find = best(findName); find > 0) {
            std::printf("find with 500 masks / engine with 500 masks: %.1fx (target at least 3x)\n", find / engine);
            std::printf("find / miotlarz-cli, 500 masks, both printing paths: %.1fx\n", find / best(cliName));
        }
        fs::remove(maskFile);
        fs::remove(advancedFile);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "scan_bench: %s\n", error.what());
        status = 1;
    }

    std::error_code error;
    fs::remove_all(tree.root, error);
    if (error) std::fprintf(stderr, "scan_bench: could not remove %s: %s\n", tree.root.c_str(), error.message().c_str());
    return status;
}
