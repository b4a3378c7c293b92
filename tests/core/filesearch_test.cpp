// The search engine on real folder trees: acceptance, the breadth-first order, the filters,
// the records, the statistics, links that are never followed, and the walk that stops at a
// folder that cannot be listed (made to fail through the lister seam, since the tests may run
// as root, who can list everything).
#include "core/scan/easyfilesearch.h"
#include "core/scan/fileattributes.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace mtl;

namespace {

// Builds a tree from lines: "dir/" a folder, "name" an empty file, "name=N" a file of N
// bytes, "name (ro)" a file without write permission, "name -> target" a symbolic link.
void makeTree(const fs::path& root, const std::vector<std::string>& lines)
{
    for (std::string line : lines) {
        if (const auto arrow = line.find(" -> "); arrow != std::string::npos) {
            const fs::path link = root / line.substr(0, arrow);
            fs::create_directories(link.parent_path());
            fs::create_symlink(line.substr(arrow + 4), link);
            continue;
        }
        if (line.back() == '/') {
            fs::create_directories(root / line);
            continue;
        }
        bool readOnly = false;
        if (line.size() > 5 && line.ends_with(" (ro)")) {
            readOnly = true;
            line.resize(line.size() - 5);
        }
        std::size_t size = 0;
        if (const auto equals = line.find('='); equals != std::string::npos) {
            size = std::stoul(line.substr(equals + 1));
            line.resize(equals);
        }
        const fs::path file = root / line;
        fs::create_directories(file.parent_path());
        test::writeFile(file, std::string(size, 'x'));
        if (readOnly) fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }
}

// Folders f1 .. f(count-1) below `root`, numbered breadth first with `children` subfolders
// per folder (folder i is a child of folder (i-1)/children, the root being folder 0); each
// holds one file named by `fileName`.
void makeWideTree(const std::string& root, int count, int children, const std::function<std::string(int)>& fileName)
{
    std::vector<std::string> paths{root};
    for (int i = 1; i < count; ++i) {
        paths.push_back(paths[std::size_t((i - 1) / children)] + "/f" + std::to_string(i));
        fs::create_directory(paths.back());
        test::writeFile(paths.back() + "/" + fileName(i), "");
    }
}

// Wraps the system lister: chosen folders fail to open or break off after their first
// entry, types can be withheld (as file systems without d_type do), and what was listed is
// recorded in order. (Folders are opened and read on the engine's helper thread; the test
// looks at the records after the walk.)
class ScriptedLister : public DirectoryLister {
public:
    std::map<std::string, int> failOpen;  // path as opened -> errno
    std::map<std::string, int> breakOff;  // path as opened -> errno after one entry
    std::map<std::string, int> slowOpen;  // path as opened -> milliseconds it takes
    bool withholdTypes = false;
    std::vector<std::pair<std::string, bool>> opened;  // path, followLink
    std::map<std::string, std::vector<std::string>> listed;

    std::unique_ptr<DirectoryListing> open(const std::string& path, bool followLink, int& error) override
    {
        opened.emplace_back(path, followLink);
        if (const auto it = slowOpen.find(path); it != slowOpen.end())
            std::this_thread::sleep_for(std::chrono::milliseconds(it->second));
        if (const auto it = failOpen.find(path); it != failOpen.end()) {
            error = it->second;
            return nullptr;
        }
        auto inner = m_inner.open(path, followLink, error);
        if (!inner) return nullptr;
        const auto broken = breakOff.find(path);
        return std::make_unique<Listing>(*this, path, std::move(inner), broken == breakOff.end() ? 0 : broken->second);
    }

private:
    class Listing : public DirectoryListing {
    public:
        Listing(ScriptedLister& owner, std::string path, std::unique_ptr<DirectoryListing> inner, int breakOff)
            : m_owner(owner), m_path(std::move(path)), m_inner(std::move(inner)), m_breakOff(breakOff)
        {
        }
        bool next(DirEntry& entry) override
        {
            if (m_breakOff != 0 && m_count == 1) {
                m_error = m_breakOff;
                return false;
            }
            if (!m_inner->next(entry)) return false;
            ++m_count;
            m_owner.listed[m_path].emplace_back(entry.name);
            if (m_owner.withholdTypes) entry.type = EntryType::Unknown;
            return true;
        }
        int error() const override { return m_error ? m_error : m_inner->error(); }
        bool status(const char* name, EntryStatus& out) override { return m_inner->status(name, out); }

    private:
        ScriptedLister& m_owner;
        std::string m_path;
        std::unique_ptr<DirectoryListing> m_inner;
        int m_breakOff;
        int m_count = 0;
        int m_error = 0;
    };

    SystemDirectoryLister m_inner;
};

struct WalkRun {
    bool result = false;
    std::vector<std::string> reports;  // Path + Name, in report order
    std::vector<TFileInformations> records;
    std::vector<std::string> folders;  // OnChangeFolder, in order
    std::vector<TStatistics> statistics;
};

void connect(TEasyFileSearch& search, WalkRun& run)
{
    search.OnFileFound = [&run](const TFileInformations& info) {
        run.reports.push_back(info.Path + info.Name);
        run.records.push_back(info);
    };
    search.OnChangeFolder = [&run](const std::string& path) { run.folders.push_back(path); };
    search.OnStatistics = [&run](const TStatistics& stats) { run.statistics.push_back(stats); };
}

WalkRun execute(TEasyFileSearch& search)
{
    WalkRun run;
    connect(search, run);
    run.result = search.Execute();
    return run;
}

// Report paths relative to `root`, sorted (the order of one folder's entries is the file
// system's own).
std::vector<std::string> relativeSorted(const WalkRun& run, const fs::path& root)
{
    std::vector<std::string> out;
    const std::string prefix = root.string() + "/";
    for (const auto& report : run.reports) {
        EXPECT_TRUE(report.starts_with(prefix)) << report;
        out.push_back(report.substr(prefix.size()));
    }
    std::sort(out.begin(), out.end());
    return out;
}

constexpr std::uint32_t defaultOptions = 111;  // the main window's options: all but folder names

struct TreeCase {
    const char* name;
    std::vector<std::string> tree;
    std::vector<std::string> fileNames;
    std::vector<std::string> excluded;
    std::uint32_t options;
    std::vector<std::string> expected;  // sorted
    TStatistics statistics;             // ElapsedMs not compared
};

class EngineTree : public testing::TestWithParam<TreeCase> {};

TEST_P(EngineTree, ReportsExactlyTheAcceptedEntries)
{
    const TreeCase& c = GetParam();
    test::TempDir dir;
    makeTree(dir.path(), c.tree);
    NoEventPump pump;
    TEasyFileSearch search(pump);
    search.RootPath = dir.path().string();
    search.setFileNames(c.fileNames);
    search.setExcludedFiles(c.excluded);
    search.SearchOptions = TOptions::fromBits(c.options);
    const WalkRun run = execute(search);
    EXPECT_TRUE(run.result);
    EXPECT_EQ(relativeSorted(run, dir.path()), c.expected);
    ASSERT_EQ(run.statistics.size(), 1u);
    TStatistics got = run.statistics[0];
    got.ElapsedMs = 0;
    EXPECT_EQ(got, c.statistics);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EngineTree,
    testing::Values(
        TreeCase{"StarDotTmp", {"a.tmp", "b.TMP", "c.tmpx"}, {"*.tmp"}, {}, defaultOptions,
                 {"a.tmp", "b.TMP"}, {2, 1, 0}},
        TreeCase{"StarDotStarNeedsADot", {"README", "x.y"}, {"*.*"}, {}, defaultOptions, {"x.y"}, {1, 1, 0}},
        TreeCase{"HiddenFolderMatchingIsFound", {".old.tmp/", "old.tmp/", "in/.x.tmp/"}, {"*.tmp"}, {},
                 defaultOptions, {".old.tmp", "in/.x.tmp"}, {0, 0, 2}},
        TreeCase{"ExcludedNamesStillDescended",
                 {"x.log", "y.log/x.log", "y.log/keep.txt", "deep/z.LOG", "deep/k.txt"}, {"*.*"}, {"*.log"},
                 defaultOptions, {"deep/k.txt", "y.log/keep.txt"}, {2, 2, 0}},
        TreeCase{"NormalFilesNeedAnyFileOption", {"plain.txt", ".hidden.txt", "locked.txt (ro)"}, {"*.txt"},
                 {}, 1 + 2 + 4 + 8 + 32, {".hidden.txt", "locked.txt"}, {2, 1, 0}},
        TreeCase{"WithoutSubfoldersOnlyTheRoot", {"a.tmp", "sub/b.tmp"}, {"*.tmp"}, {}, defaultOptions - 1,
                 {"a.tmp"}, {1, 1, 0}},
        // With "*.*" in the list folders skip the name test: with the folder option every
        // folder is found, with a dot or without.
        TreeCase{"StarDotStarExemptsFolders", {"nodot/", "with.dot/", "nodot/file"}, {"*.*"}, {},
                 16 + 1, {"nodot", "with.dot"}, {0, 0, 2}},
        TreeCase{"FolderNamesTestedWithoutStarDotStar", {"cache/", "other/", "cache/cache"}, {"cache"}, {},
                 16 + 64 + 1, {"cache", "cache/cache"}, {1, 1, 1}},
        TreeCase{"FolderOptionOffHidesPlainFolders", {"cache/", "cache/a.tmp"}, {"cache", "*.tmp"}, {},
                 defaultOptions, {"cache/a.tmp"}, {1, 1, 0}},
        TreeCase{"FilesCountedOncePerFolder", {"a/1.tmp", "a/2.tmp", "b/3.tmp", "c/x.txt", "4.tmp"}, {"*.tmp"},
                 {}, defaultOptions, {"4.tmp", "a/1.tmp", "a/2.tmp", "b/3.tmp"}, {4, 3, 0}},
        // Links are entries of their own and never descended into.
        TreeCase{"LinkedFolderNotFollowed", {"real/a.tmp", "link.tmp -> real", "loop -> ."}, {"*.tmp", "loop"},
                 {}, defaultOptions, {"link.tmp", "loop", "real/a.tmp"}, {3, 2, 0}},
        TreeCase{"LinkLoopEnds", {"a/b/up -> ../..", "a/b/self -> .", "a/b/x.tmp"}, {"*"}, {}, defaultOptions,
                 {"a/b/self", "a/b/up", "a/b/x.tmp"}, {3, 1, 0}}),
    [](const testing::TestParamInfo<TreeCase>& p) { return std::string(p.param.name); });

// Breadth-first order as the listings returned the entries, computed from what they did.
std::pair<std::vector<std::string>, std::vector<std::string>> expectedOrder(const std::string& root,
                                                                            ScriptedLister& lister,
                                                                            std::string_view suffix)
{
    std::vector<std::string> folders{root};
    std::vector<std::string> reports;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const std::string path = folders[i].ends_with('/') ? folders[i] : folders[i] + "/";
        for (const auto& name : lister.listed[path]) {
            if (name == "." || name == "..") continue;
            if (fs::is_directory(fs::symlink_status(path + name))) folders.push_back(path + name);
            else if (name.ends_with(suffix)) reports.push_back(path + name);
        }
    }
    return {folders, reports};
}

TEST(EngineOrder, BreadthFirstInListingOrder)
{
    test::TempDir dir;
    makeTree(dir.path(), {"r1.tmp", "r2.tmp", "s1/a.tmp", "s1/t1/b.tmp", "s1/t2/c.tmp", "s2/d.tmp",
                          "s2/t3/e.tmp", "s3/f.txt", "s3/t4/u/g.tmp", "s3/t4/h.tmp"});
    for (const bool ahead : {true, false}) {
        SCOPED_TRACE(ahead ? "listing ahead" : "listing on the walking thread");
        NoEventPump pump;
        ScriptedLister lister;
        TEasyFileSearch search(pump, lister);
        const std::string root = dir.path().string();
        search.RootPath = root;
        search.ListAhead = ahead;
        search.setFileNames({"*.tmp"});
        const WalkRun run = execute(search);
        ASSERT_TRUE(run.result);

        // The order follows from what the listings returned: folders level by level, each
        // level in the order its parents were listed and their entries came.
        const auto [folders, reports] = expectedOrder(root, lister, ".tmp");
        EXPECT_EQ(folders.size(), 9u);
        EXPECT_EQ(run.folders, folders);
        EXPECT_EQ(run.reports, reports);
        EXPECT_EQ(reports.size(), 9u);
    }
}

// Many more folders than the walk lists ahead or hands over at once, and a walk that is
// slower than the listing, so that the listing has to wait for it.
TEST(EngineOrder, LargeTreeKeepsTheOrderWhenTheWalkLagsBehind)
{
    test::TempDir dir;
    makeWideTree(dir.path().string(), 700, 3, [](int i) { return "x" + std::to_string(i) + ".tmp"; });
    NoEventPump pump;
    ScriptedLister lister;
    TEasyFileSearch search(pump, lister);
    search.RootPath = dir.path().string();
    search.setFileNames({"*.tmp"});
    WalkRun run;
    connect(search, run);
    auto report = search.OnFileFound;
    search.OnFileFound = [&](const TFileInformations& info) {
        if (run.reports.size() % 32 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        report(info);
    };
    ASSERT_TRUE(search.Execute());
    const auto [folders, reports] = expectedOrder(dir.path().string(), lister, ".tmp");
    EXPECT_EQ(folders.size(), 700u);
    EXPECT_EQ(run.folders, folders);
    EXPECT_EQ(run.reports, reports);
    EXPECT_EQ(reports.size(), 699u);
}

TEST(EngineOrder, HandlerThatThrowsEndsTheWalkAtOnce)
{
    test::TempDir dir;
    makeWideTree(dir.path().string(), 300, 4, [](int) { return std::string("a.tmp"); });
    NoEventPump pump;
    TEasyFileSearch search(pump);
    search.RootPath = dir.path().string();
    search.setFileNames({"*.tmp"});
    int reports = 0;
    bool statistics = false;
    search.OnStatistics = [&](const TStatistics&) { statistics = true; };
    search.OnFileFound = [&](const TFileInformations&) {
        if (++reports == 5) throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(search.Execute(), std::runtime_error);
    EXPECT_EQ(reports, 5);
    EXPECT_FALSE(statistics);
    search.OnFileFound = [&](const TFileInformations&) { ++reports; };
    reports = 0;
    EXPECT_TRUE(search.Execute());  // nothing of the broken walk is left behind
    EXPECT_EQ(reports, 299);
}

// A folder that is slow to open (a network mount) must not freeze the window: the walking
// thread keeps yielding while it waits for the listing.
TEST(EngineOrder, WaitingForASlowFolderKeepsYielding)
{
    test::TempDir dir;
    makeTree(dir.path(), {"a.tmp", "slow/b.tmp"});
    test::FakeEventPump pump;
    ScriptedLister lister;
    lister.slowOpen[dir.path().string() + "/slow/"] = 300;
    TEasyFileSearch search(pump, lister);
    search.RootPath = dir.path().string();
    search.setFileNames({"*.tmp"});
    const WalkRun run = execute(search);
    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.reports.size(), 2u);
    // Three entries and two folders yield a handful of times; the rest is the waiting.
    EXPECT_GE(pump.slicedCalls, 15);
}

TEST(EngineOrder, TypesFromStatusWhenTheListingGivesNone)
{
    test::TempDir dir;
    makeTree(dir.path(), {"a.tmp", "s/b.tmp", "s/t/c.tmp", "l.tmp -> s", ".h.tmp/"});
    NoEventPump pump;
    ScriptedLister typed, untyped;
    untyped.withholdTypes = true;
    TEasyFileSearch withTypes(pump, typed), withoutTypes(pump, untyped);
    for (TEasyFileSearch* search : {&withTypes, &withoutTypes}) {
        search->RootPath = dir.path().string();
        search->setFileNames({"*.tmp"});
    }
    const WalkRun a = execute(withTypes);
    const WalkRun b = execute(withoutTypes);
    EXPECT_EQ(a.reports, b.reports);
    EXPECT_EQ(a.folders, b.folders);
    EXPECT_EQ(relativeSorted(b, dir.path()), (std::vector<std::string>{".h.tmp", "a.tmp", "l.tmp", "s/b.tmp", "s/t/c.tmp"}));
}

TEST(EngineFailure, RootThatDoesNotExist)
{
    test::TempDir dir;
    NoEventPump pump;
    TEasyFileSearch search(pump);
    search.RootPath = (dir.path() / "missing").string();
    const WalkRun run = execute(search);
    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.folders, std::vector<std::string>{search.RootPath});
    EXPECT_TRUE(run.reports.empty());
    ASSERT_EQ(run.statistics.size(), 1u);
    EXPECT_EQ(run.statistics[0].FilesFound + run.statistics[0].FoldersFound + run.statistics[0].FoldersWithFiles, 0);
    EXPECT_EQ(search.ListingError(), ENOENT);
}

TEST(EngineFailure, EmptyRootIsNotTheFileSystemRoot)
{
    NoEventPump pump;
    ScriptedLister lister;
    TEasyFileSearch search(pump, lister);
    search.RootPath = "";
    const WalkRun run = execute(search);
    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.folders, std::vector<std::string>{""});
    EXPECT_TRUE(lister.opened.empty());
    EXPECT_EQ(run.statistics.size(), 1u);
}

TEST(EngineFailure, UnlistableSecondFolderEndsTheWalk)
{
    test::TempDir dir;
    makeTree(dir.path(), {"r.tmp", "s1/a.tmp", "s1/deep/x.tmp", "s2/b.tmp", "s3/c.tmp"});
    for (const bool ahead : {true, false}) {
        SCOPED_TRACE(ahead ? "listing ahead" : "listing on the walking thread");
        NoEventPump pump;
        ScriptedLister lister;
        TEasyFileSearch search(pump, lister);
        const std::string root = dir.path().string();
        search.RootPath = root;
        search.setFileNames({"*.tmp"});
        search.ListAhead = ahead;
        // Which root folder comes second depends on the file system's order: learn it first.
        ASSERT_TRUE(execute(search).result);
        std::vector<std::string> queue;
        for (const auto& name : lister.listed[root + "/"])
            if (name.starts_with("s")) queue.push_back(root + "/" + name);
        ASSERT_EQ(queue.size(), 3u);

        lister.failOpen[queue[1] + "/"] = EACCES;
        lister.listed.clear();
        const WalkRun run = execute(search);
        EXPECT_FALSE(run.result);
        EXPECT_EQ(search.ListingError(), EACCES);
        // The failing folder is the last one announced; nothing after it is visited.
        EXPECT_EQ(run.folders, (std::vector<std::string>{root, queue[0], queue[1]}));
        const std::map<std::string, std::string> fileOf{{"s1", "a.tmp"}, {"s2", "b.tmp"}, {"s3", "c.tmp"}};
        std::vector<std::string> expected{root + "/r.tmp",
                                          queue[0] + "/" + fileOf.at(fs::path(queue[0]).filename().string())};
        std::sort(expected.begin(), expected.end());
        auto reports = run.reports;
        std::sort(reports.begin(), reports.end());
        EXPECT_EQ(reports, expected);
        ASSERT_EQ(run.statistics.size(), 1u);
        EXPECT_EQ(run.statistics[0].FilesFound, 2);
        EXPECT_EQ(lister.listed.count(queue[2] + "/"), 0u);
    }
}

TEST(EngineFailure, ListingThatBreaksOffEndsTheWalk)
{
    test::TempDir dir;
    makeTree(dir.path(), {"a.tmp", "b.tmp", "c.tmp", "sub/d.tmp"});
    NoEventPump pump;
    ScriptedLister lister;
    TEasyFileSearch search(pump, lister);
    search.RootPath = dir.path().string();
    lister.breakOff[dir.path().string() + "/"] = EIO;
    const WalkRun run = execute(search);
    EXPECT_FALSE(run.result);
    EXPECT_EQ(search.ListingError(), EIO);
    EXPECT_EQ(run.folders.size(), 1u);
    EXPECT_LE(run.reports.size(), 1u);
    EXPECT_EQ(run.statistics.size(), 1u);
}

TEST(EngineFailure, QueuedFoldersAreOpenedWithoutFollowingLinksTheRootWith)
{
    test::TempDir dir;
    makeTree(dir.path(), {"real/sub/a.tmp", "root -> real"});
    NoEventPump pump;
    ScriptedLister lister;
    TEasyFileSearch search(pump, lister);
    search.RootPath = (dir.path() / "root").string();  // a link the user chose is followed
    search.setFileNames({"*.tmp"});
    const WalkRun run = execute(search);
    EXPECT_TRUE(run.result);
    ASSERT_EQ(lister.opened.size(), 2u);
    EXPECT_TRUE(lister.opened[0].second);
    EXPECT_FALSE(lister.opened[1].second);
    EXPECT_EQ(run.reports, std::vector<std::string>{search.RootPath + "/sub/a.tmp"});
}

struct InvalidMaskCase {
    const char* name;
    std::vector<std::string> fileNames;
    std::vector<std::string> excluded;
    std::vector<std::string> tree;
    std::uint32_t options;
    const char* message;  // nullptr: the walk ends normally
};

class EngineInvalidMask : public testing::TestWithParam<InvalidMaskCase> {};

TEST_P(EngineInvalidMask, RaisedWhenTheMaskIsTried)
{
    const InvalidMaskCase& c = GetParam();
    test::TempDir dir;
    makeTree(dir.path(), c.tree);
    NoEventPump pump;
    TEasyFileSearch search(pump);
    search.RootPath = dir.path().string();
    search.setFileNames(c.fileNames);
    search.setExcludedFiles(c.excluded);
    search.SearchOptions = TOptions::fromBits(c.options);
    WalkRun run;
    connect(search, run);
    if (!c.message) {
        EXPECT_TRUE(search.Execute());
        EXPECT_EQ(run.statistics.size(), 1u);
        return;
    }
    try {
        search.Execute();
        FAIL() << "no error";
    } catch (const InvalidMaskError& error) {
        EXPECT_STREQ(error.what(), c.message);
    }
    EXPECT_TRUE(run.statistics.empty());
    EXPECT_EQ(run.folders, std::vector<std::string>{search.RootPath});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EngineInvalidMask,
    testing::Values(
        InvalidMaskCase{"UnclosedSetOnFirstEntry", {"[abc"}, {}, {"x"}, defaultOptions,
                        "'[abc' is an invalid mask at (5)"},
        InvalidMaskCase{"ExcludedListFirst", {"[]"}, {"*.log", "[-a]"}, {"x.txt"}, defaultOptions,
                        "'[-a]' is an invalid mask at (2)"},
        InvalidMaskCase{"EarlierMaskCoversEverything", {"*", "[abc"}, {}, {"x", "y.tmp"}, defaultOptions, nullptr},
        // Entries that fail an earlier test never reach the masks.
        InvalidMaskCase{"NoEntryReachesTheMasks", {"[abc"}, {}, {"plain"}, 1 + 2, nullptr},
        InvalidMaskCase{"FoldersExemptByStarDotStar", {"*.*", "[abc"}, {}, {"sub/", ".hidden/"}, defaultOptions,
                        nullptr},
        InvalidMaskCase{"FileWithoutDotReachesIt", {"*.*", "[abc"}, {}, {"a.b", "README"}, defaultOptions,
                        "'[abc' is an invalid mask at (5)"}),
    [](const testing::TestParamInfo<InvalidMaskCase>& p) { return std::string(p.param.name); });

TEST(EngineRecord, FieldsOfTheReportedEntries)
{
    test::TempDir dir;
    makeTree(dir.path(), {"data.bin=1234", ".hidden.bin", "locked.bin (ro)", ".dir.bin/", "link.bin -> data.bin"});
    // A known modification and access time.
    const timespec times[2] = {{1700000000, 250000000}, {1600000000, 0}};  // access, modify
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir.path() / "data.bin").c_str(), times, 0), 0);
    NoEventPump pump;
    TEasyFileSearch search(pump);
    search.RootPath = dir.path().string() + "/";  // already ending in '/': not doubled
    search.setFileNames({"*.bin"});
    const WalkRun run = execute(search);
    ASSERT_TRUE(run.result);
    std::map<std::string, TFileInformations> byName;
    for (const auto& record : run.records) {
        EXPECT_EQ(record.Path, dir.path().string() + "/");
        byName[record.Name] = record;
    }
    ASSERT_EQ(byName.size(), 5u);
    EXPECT_EQ(byName["data.bin"].Attr, fileattr::normal);
    EXPECT_EQ(byName["data.bin"].Size, 1234);
    EXPECT_EQ(byName[".hidden.bin"].Attr, fileattr::hidden);
    EXPECT_EQ(byName["locked.bin"].Attr, fileattr::readOnly);
    EXPECT_EQ(byName[".dir.bin"].Attr, fileattr::directory | fileattr::hidden);
    EXPECT_EQ(byName["link.bin"].Attr, fileattr::normal);  // the link itself, not data.bin
    EXPECT_EQ(byName["link.bin"].Size, std::int64_t(std::string("data.bin").size()));
    EXPECT_EQ(byName["data.bin"].LastWriteTime, localSystemTime(times[1]));
    EXPECT_EQ(byName["data.bin"].LastAccessTime, localSystemTime(times[0]));
    EXPECT_EQ(byName["data.bin"].LastAccessTime.wMilliseconds, 250);

    std::tm local{};
    const std::time_t seconds = 1600000000;
    ::localtime_r(&seconds, &local);
    const TSystemTime written = byName["data.bin"].LastWriteTime;
    EXPECT_EQ(written.wYear, local.tm_year + 1900);
    EXPECT_EQ(written.wMonth, local.tm_mon + 1);
    EXPECT_EQ(written.wDay, local.tm_mday);
    EXPECT_EQ(written.wDayOfWeek, local.tm_wday);
    EXPECT_EQ(written.wHour, local.tm_hour);
}

TEST(EngineRecord, SizesPastFourGibibytesAreKeptWhole)
{
    test::TempDir dir;
    const fs::path file = dir.path() / "big.iso";
    test::writeFile(file, "");
    std::error_code error;
    fs::resize_file(file, 5ull << 30, error);  // sparse: costs no disk space
    ASSERT_FALSE(error) << error.message();
    NoEventPump pump;
    TEasyFileSearch search(pump);
    search.RootPath = dir.path().string();
    search.FilterKind = TFilter{fkFilterOnSize};
    search.SizeFilterKind = sfkBiggerOrEqualTo;
    search.SizeFilterSize = 4ll << 30;
    const WalkRun run = execute(search);
    ASSERT_EQ(run.records.size(), 1u);
    EXPECT_EQ(run.records[0].Size, std::int64_t(5ull << 30));
}

struct SizeCase {
    TSizeFilterKind kind;
    std::int64_t limit;
    std::vector<std::string> expected;
};

void PrintTo(const SizeCase& c, std::ostream* out) { *out << "kind " << c.kind << " limit " << c.limit; }

class EngineSizeFilter : public testing::TestWithParam<SizeCase> {};

TEST_P(EngineSizeFilter, ComparesWithTheLimitIncluded)
{
    test::TempDir dir;
    makeTree(dir.path(), {"s0.dat=0", "s10.dat=10", "s11.dat=11"});
    NoEventPump pump;
    TEasyFileSearch search(pump);
    search.RootPath = dir.path().string();
    search.FilterKind = TFilter{fkFilterOnSize};
    search.SizeFilterKind = GetParam().kind;
    search.SizeFilterSize = GetParam().limit;
    EXPECT_EQ(relativeSorted(execute(search), dir.path()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, EngineSizeFilter,
                         testing::Values(SizeCase{sfkSmallerOrEqualTo, 10, {"s0.dat", "s10.dat"}},
                                         SizeCase{sfkBiggerOrEqualTo, 10, {"s10.dat", "s11.dat"}},
                                         SizeCase{sfkSmallerOrEqualTo, -1, {}},
                                         SizeCase{sfkBiggerOrEqualTo, 0, {"s0.dat", "s10.dat", "s11.dat"}}));

struct DateCase {
    const char* name;
    TDateFilterAccessKind access;
    TDateFilterKind kind;
    DateTime first;
    DateTime second;
    std::vector<std::string> expected;
};

class EngineDateFilter : public testing::TestWithParam<DateCase> {};

// Local noon of a day, so that the whole day is the same in every time zone.
timespec localNoon(int year, int month, int day)
{
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = 12;
    local.tm_isdst = -1;
    return timespec{std::mktime(&local), 0};
}

TEST_P(EngineDateFilter, ComparesWholeDays)
{
    const DateCase& c = GetParam();
    test::TempDir dir;
    // Modified and opened on the days named in the file names (the creation or status
    // change date is today for all of them).
    const std::vector<std::tuple<std::string, timespec, timespec>> files{
        {"m0310-a0310", localNoon(2020, 3, 10), localNoon(2020, 3, 10)},
        {"m0311-a0401", localNoon(2020, 3, 11), localNoon(2020, 4, 1)},
        {"m0312-a0312", localNoon(2020, 3, 12), localNoon(2020, 3, 12)},
    };
    for (const auto& [name, modified, accessed] : files) {
        test::writeFile(dir.path() / name, "");
        const timespec times[2] = {accessed, modified};
        ASSERT_EQ(::utimensat(AT_FDCWD, (dir.path() / name).c_str(), times, 0), 0);
    }
    NoEventPump pump;
    TEasyFileSearch search(pump);
    search.RootPath = dir.path().string();
    search.setFileNames({"*"});
    search.FilterKind = TFilter{fkFilterOnDate};
    search.DateFilterFileAccess = c.access;
    search.DateFilterKind = c.kind;
    search.DateFilterFirstDate = c.first;
    search.DateFilterSecondDate = c.second;
    EXPECT_EQ(relativeSorted(execute(search), dir.path()), c.expected);
}

const DateTime march11{2020, 3, 11, 23, 59, 59};  // the time of day does not count
const DateTime march12{2020, 3, 12, 0, 0, 1};

INSTANTIATE_TEST_SUITE_P(
    Cases, EngineDateFilter,
    testing::Values(
        DateCase{"ModifiedSame", dfakModifiedFiles, dfkSame, march11, {}, {"m0311-a0401"}},
        DateCase{"ModifiedBefore", dfakModifiedFiles, dfkBefore, march11, {}, {"m0310-a0310"}},
        DateCase{"ModifiedAfter", dfakModifiedFiles, dfkAfter, march11, {}, {"m0312-a0312"}},
        DateCase{"ModifiedBetween", dfakModifiedFiles, dfkBetween, march11, march12, {"m0311-a0401", "m0312-a0312"}},
        DateCase{"ModifiedBetweenReversed", dfakModifiedFiles, dfkBetween, march12, march11, {}},
        DateCase{"OpenedAfter", dfakOpenedFiles, dfkAfter, march12, {}, {"m0311-a0401"}},
        DateCase{"CreatedBefore", dfakCreatedFiles, dfkBefore, march12, {}, {}},
        DateCase{"AnyDateSame", dfakAnyFiles, dfkSame, DateTime{2020, 4, 1}, {}, {"m0311-a0401"}},
        DateCase{"AnyDateBefore", dfakAnyFiles, dfkBefore, march11, {}, {"m0310-a0310"}}),
    [](const testing::TestParamInfo<DateCase>& p) { return std::string(p.param.name); });

TEST(EngineDateFilter, CreatedTodayHitsTheDefaultDates)
{
    test::TempDir dir;
    makeTree(dir.path(), {"fresh.txt"});
    const timespec old[2] = {localNoon(2001, 1, 1), localNoon(2001, 1, 1)};
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir.path() / "fresh.txt").c_str(), old, 0), 0);
    NoEventPump pump;
    TEasyFileSearch search(pump);  // dates start as today, the comparison as "same"
    search.RootPath = dir.path().string();
    search.FilterKind = TFilter{fkFilterOnDate};
    search.DateFilterFileAccess = dfakCreatedFiles;
    EXPECT_EQ(execute(search).reports.size(), 1u);
    search.DateFilterFileAccess = dfakModifiedFiles;
    EXPECT_TRUE(execute(search).reports.empty());
}

TEST(EngineEvents, AcceptVetoDropsTheEntrySilently)
{
    test::TempDir dir;
    makeTree(dir.path(), {"keep.tmp", "drop.tmp", "sub/drop.tmp"});
    NoEventPump pump;
    TEasyFileSearch search(pump);
    search.RootPath = dir.path().string();
    search.setFileNames({"*.tmp"});
    search.OnAcceptFile = [](const TFileInformations& info) { return info.Name != "drop.tmp"; };
    const WalkRun run = execute(search);
    EXPECT_EQ(relativeSorted(run, dir.path()), std::vector<std::string>{"keep.tmp"});
    ASSERT_EQ(run.statistics.size(), 1u);
    EXPECT_EQ(run.statistics[0].FilesFound, 1);
    EXPECT_EQ(run.statistics[0].FoldersWithFiles, 1);
}

TEST(EngineEvents, ChangesDuringTheWalkApplyToTheNextRun)
{
    test::TempDir dir;
    makeTree(dir.path(), {"a.tmp", "b.tmp", "c.log", "sub/d.tmp", "sub/e.log"});
    test::FakeEventPump pump;
    TEasyFileSearch search(pump);
    search.RootPath = dir.path().string();
    search.setFileNames({"*.tmp"});
    int reports = 0;
    search.OnFileFound = [&](const TFileInformations&) {
        ++reports;
        search.FileNames().assign({"*.log"});
        search.RootPath = "/nonexistent";
        search.SearchOptions = TOptions{};
        search.OnFileFound = nullptr;
    };
    // Messages handled inside the walk's yields change settings too.
    pump.onPending = [&] { search.ExcludedFiles().assign({"*"}); };
    EXPECT_TRUE(search.Execute());
    EXPECT_EQ(reports, 3);
    EXPECT_GE(pump.slicedCalls, 6);  // at least once for each of the six entries
}

TEST(EngineEvents, SecondExecuteFromAHandlerIsRefused)
{
    test::TempDir dir;
    makeTree(dir.path(), {"a.tmp"});
    NoEventPump pump;
    TEasyFileSearch search(pump);
    search.RootPath = dir.path().string();
    bool refused = false;
    search.OnChangeFolder = [&](const std::string&) {
        try {
            search.Execute();
        } catch (const Error&) {
            refused = true;
        }
    };
    EXPECT_TRUE(search.Execute());
    EXPECT_TRUE(refused);
    search.OnChangeFolder = nullptr;
    EXPECT_TRUE(search.Execute());  // and the component is usable again afterwards
}

TEST(EngineComponent, InitialValues)
{
    test::FakeEventPump pump;
    TEasyFileSearch search(pump);
    EXPECT_EQ(search.Version(), "TEasyFileSearch v1.03");
    search.setVersion("other");
    EXPECT_EQ(search.Version(), "TEasyFileSearch v1.03");
    EXPECT_EQ(search.SearchOptions.bits(), 127u);
    EXPECT_TRUE(search.FilterKind.empty());
    EXPECT_EQ(search.DateFilterFileAccess, dfakAnyFiles);
    EXPECT_EQ(search.DateFilterKind, dfkSame);
    EXPECT_EQ(search.SizeFilterKind, sfkSmallerOrEqualTo);
    EXPECT_EQ(search.SizeFilterSize, 0);
    EXPECT_EQ(search.RootPath, "./");
    EXPECT_TRUE(search.ExcludedFiles().empty());
    const DateTime now = SystemClock().now();
    EXPECT_EQ(search.DateFilterFirstDate, (DateTime{now.year, now.month, now.day}));
    EXPECT_EQ(search.DateFilterSecondDate, search.DateFilterFirstDate);

    // Reading the mask list lets pending messages run once.
    EXPECT_EQ(pump.pendingCalls, 0);
    EXPECT_EQ(search.FileNames(), std::vector<std::string>{"*.*"});
    EXPECT_EQ(pump.pendingCalls, 1);
    // The bit values are the interface of the option byte.
    EXPECT_EQ((TOptions{okIncludeSubfolder, okLookForDirectory, okLookForAnyFile}.bits()), 1u + 16u + 64u);
    EXPECT_TRUE(TOptions::fromBits(111).contains(okLookForSystemFile));
    EXPECT_FALSE(TOptions::fromBits(111).contains(okLookForDirectory));
}

TEST(EngineComponent, RootWithoutTrailingSlashIsAnnouncedAsSet)
{
    test::TempDir dir;
    makeTree(dir.path(), {"sub/a.tmp"});
    NoEventPump pump;
    TEasyFileSearch search(pump);
    search.RootPath = dir.path().string();
    search.setFileNames({"*.tmp"});
    const WalkRun run = execute(search);
    EXPECT_EQ(run.folders, (std::vector<std::string>{dir.path().string(), dir.path().string() + "/sub"}));
    ASSERT_EQ(run.records.size(), 1u);
    EXPECT_EQ(run.records[0].Path, dir.path().string() + "/sub/");
}

} // namespace
