// Restore and GetArchiveInfo: the five rules, the three ways of placing files, the refusal of
// names that lead out of the destination, symbolic links, files replaced only when complete,
// volumes, every reader error and the errors passed to the caller.
#include "backup_fixture.h"

#include <gtest/gtest.h>

namespace {

using namespace mtl::test::backup;
using mtl::TBackupFile;
namespace bk = mtl::backup;

constexpr std::int32_t kStored = (40 << 25) | (6 << 21) | (15 << 16) | (12 << 11) | (30 << 5) | 10;  // 2020-06-15 12:30:20
constexpr std::int32_t kOlder = kStored - 1;   // two seconds earlier
constexpr std::int32_t kNewer = kStored + 1;

// --- Archives built by hand from the format --------------------------------------------

std::string header(std::int32_t total, std::int32_t count, const std::string& title = "t")
{
    return int32Bytes(std::int32_t(title.size())) + title + int32Bytes(total) + int32Bytes(count);
}

std::string rawBlock(const std::string& content)
{
    std::string block = magic();
    for (std::size_t at = 0; at < content.size(); at += 16384) {
        const std::string piece = content.substr(at, 16384);
        block += int32Bytes(-std::int32_t(piece.size())) + piece;
    }
    return block + int32Bytes(0);
}

std::string record(const std::string& name, std::int32_t date, const std::string& block)
{
    return int32Bytes(std::int32_t(name.size())) + name + int32Bytes(date) + block;
}

const std::string kEnd = int32Bytes(0);

struct Fixture {
    mtl::test::TempDir dir;
    mtl::test::FakeEventPump pump;
    FaultyFileSystem files;
    TBackupFile component{pump, nullptr, &files};
    Recorder recorder;

    // `threads` 0 restores on the calling thread only; 1 writes files on a second thread.
    explicit Fixture(int threads = 1)
    {
        recorder.attach(component);
        component.setCompressionThreads(threads);
    }
    fs::path path(const std::string& name) const { return dir.path() / name; }
    fs::path file(const std::string& name, const std::string& content, std::int32_t date = kStored)
    {
        const auto p = path(name);
        fs::create_directories(p.parent_path());
        mtl::test::writeFile(p, content);
        setDosDate(p, date);
        return p;
    }
    std::string archive(const std::string& bytes)
    {
        const auto p = path("a.mtb");
        mtl::test::writeFile(p, bytes);
        return p.string();
    }
    std::string backup(const std::vector<fs::path>& paths, bool identity = false)
    {
        std::vector<std::string> specs;
        for (const auto& p : paths) specs.push_back(p.string());
        component.SaveFileID = identity;
        const auto archive = path("made.mtb").string();
        EXPECT_TRUE(component.Backup(specs, archive));
        recorder.progress.clear();
        return archive;
    }
    // Files of a folder apart from the archives, relative names.
    std::set<std::string> tree(const fs::path& root) const
    {
        std::set<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(root)) {
            if (!e.is_directory()) names.insert(fs::relative(e.path(), root).string());
        }
        return names;
    }
};

TEST(BackupRestoreRules, EachRuleAgainstWhatStandsAtTheTarget)
{
    enum State { Missing, Older, Newer };
    const struct {
        mtl::TRestoreMode mode;
        bool written[3];
    } rules[] = {{mtl::rmAll, {true, true, true}},
                 {mtl::rmNoOverwrite, {true, false, false}},
                 {mtl::rmNewer, {true, true, false}},
                 {mtl::rmExisting, {false, true, true}},
                 {mtl::rmExistingNewer, {false, true, false}}};
    for (const auto& rule : rules) {
        for (const State state : {Missing, Older, Newer}) {
            SCOPED_TRACE("rule " + std::to_string(rule.mode) + " state " + std::to_string(state));
            Fixture f;
            const auto archive = f.archive(header(8, 1) + record("/src/plik.txt", kStored, rawBlock("archived")) + kEnd);
            const auto dest = f.path("dest");
            fs::create_directories(dest);
            if (state != Missing) f.file("dest/plik.txt", "on disk", state == Older ? kOlder : kNewer);
            f.component.RestoreMode = rule.mode;
            EXPECT_TRUE(f.component.Restore(archive, dest.string()));
            const bool written = rule.written[state];
            EXPECT_EQ(f.component.FilesDone(), written ? 1 : 0);
            if (written) {
                EXPECT_EQ(mtl::test::readFile(dest / "plik.txt"), "archived");
                EXPECT_EQ(dosDateOf(dest / "plik.txt"), kStored);
            } else {
                EXPECT_EQ(fs::exists(dest / "plik.txt"), state != Missing);
            }
            EXPECT_EQ(f.tree(dest).size(), written || state != Missing ? 1u : 0u) << "no temporary file is left";
        }
    }
}

// The tests below run with and without the writer thread: both must restore alike.
class BackupRestoreBoth : public testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(Threads, BackupRestoreBoth, testing::Values(0, 1));

TEST_P(BackupRestoreBoth, StoredPathsOtherFolderAndFullPath)
{
    Fixture f(GetParam());
    const auto upper = f.file("src/Duże Litery.TXT", textBytes(40000));
    const auto empty = f.file("src/sub/empty", "", kOlder);
    const auto twin = f.file("src/sub/Duże Litery.TXT", "the twin");
    const auto archive = f.backup({upper, empty, twin}, true);

    // Stored paths: the files come back where they were, names as they were.
    fs::remove_all(f.path("src"));
    f.component.RestoreMode = mtl::rmAll;
    ASSERT_TRUE(f.component.Restore(archive, ""));
    EXPECT_EQ(f.component.FilesDone(), 3);
    EXPECT_EQ(f.component.FileCount(), 3);
    EXPECT_EQ(mtl::test::readFile(upper), textBytes(40000));
    EXPECT_EQ(mtl::test::readFile(empty), "");
    EXPECT_EQ(dosDateOf(empty), kOlder);
    EXPECT_EQ(f.recorder.progress.back(), std::make_pair(std::string(), 100));

    // Another folder: file names only, so the twins meet the rule in archive order.
    f.component.RestoreMode = mtl::rmNoOverwrite;
    ASSERT_TRUE(f.component.Restore(archive, f.path("flat").string()));
    EXPECT_EQ(f.tree(f.path("flat")), (std::set<std::string>{"Duże Litery.TXT", "empty"}));
    EXPECT_EQ(mtl::test::readFile(f.path("flat/Duże Litery.TXT")), textBytes(40000));
    f.component.RestoreMode = mtl::rmAll;
    ASSERT_TRUE(f.component.Restore(archive, f.path("flat").string() + "/"));
    EXPECT_EQ(mtl::test::readFile(f.path("flat/Duże Litery.TXT")), "the twin");

    // Full path: the stored path without its leading "/" below the folder.
    f.component.RestoreFullPath = true;
    ASSERT_TRUE(f.component.Restore(archive, f.path("full").string()));
    const auto relative = upper.relative_path();
    EXPECT_EQ(mtl::test::readFile(f.path("full") / relative), textBytes(40000));
    EXPECT_EQ(f.tree(f.path("full")).size(), 3u) << "the identity list is never written back";
}

TEST(BackupRestoreSafety, NamesLeadingOutOfTheDestinationAreRefused)
{
    Fixture f;
    const auto outside = f.path("outside");
    fs::create_directories(outside);
    const auto dest = f.path("dest");
    fs::create_directories(dest);
    fs::create_symlink(outside, dest / "link");
    const auto archive = f.archive(header(0, 5) + record("/a/../../../escape.txt", kStored, rawBlock("x"))
                                   + record("/link/through.txt", kStored, rawBlock("y"))
                                   + record("/ok/good.txt", kStored, rawBlock("good"))
                                   + record("/ok/dir/", kStored, rawBlock("z"))
                                   + record(std::string("/ok/nul\0.txt", 12), kStored, rawBlock("n")) + kEnd);
    f.component.RestoreFullPath = true;
    EXPECT_FALSE(f.component.Restore(archive, dest.string()));
    EXPECT_EQ(f.recorder.codes(), std::vector<std::int32_t>{1}) << "reported once, at the end";
    EXPECT_EQ(f.component.FilesDone(), 1);
    EXPECT_EQ(mtl::test::readFile(dest / "ok/good.txt"), "good");
    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_FALSE(fs::exists(f.path("escape.txt")));
    EXPECT_FALSE(fs::exists(f.dir.path().parent_path() / "escape.txt"));

    // To the stored paths: only absolute names without "..".
    Fixture g;
    const auto target = g.path("stored.txt");
    const auto stored = g.archive(header(0, 3) + record("relative.txt", kStored, rawBlock("r"))
                                  + record(g.path("x/../up.txt").string(), kStored, rawBlock("u"))
                                  + record(target.string(), kStored, rawBlock("s")) + kEnd);
    EXPECT_FALSE(g.component.Restore(stored, ""));
    EXPECT_EQ(g.recorder.codes(), std::vector<std::int32_t>{1});
    EXPECT_EQ(mtl::test::readFile(target), "s");
    EXPECT_FALSE(fs::exists(g.path("up.txt")));
    EXPECT_FALSE(fs::exists(fs::current_path() / "relative.txt"));
}

TEST(BackupRestoreSafety, LinkAtTheTargetIsReplacedNotFollowed)
{
    Fixture f;
    const auto victim = f.file("victim.txt", "must stay");
    fs::create_directories(f.path("dest"));
    fs::create_symlink(victim, f.path("dest/file.txt"));
    const auto archive = f.archive(header(8, 1) + record("/x/file.txt", kStored, rawBlock("restored")) + kEnd);
    ASSERT_TRUE(f.component.Restore(archive, f.path("dest").string()));
    EXPECT_FALSE(fs::is_symlink(f.path("dest/file.txt")));
    EXPECT_EQ(mtl::test::readFile(f.path("dest/file.txt")), "restored");
    EXPECT_EQ(mtl::test::readFile(victim), "must stay");
}

TEST_P(BackupRestoreBoth, AFileIsReplacedOnlyWhenComplete)
{
    const std::string content = randomBytes(3 * 16384, 8);
    const std::string damagedZlib = int32Bytes(20) + randomBytes(20, 1);
    const struct {
        const char* name;
        std::string block;          // the data block of the file record
        std::int32_t code;
    } cases[] = {
        {"damaged stream", magic() + int32Bytes(-16384) + content.substr(0, 16384) + damagedZlib + int32Bytes(0), 6},
        {"chunk longer than a piece", magic() + int32Bytes(-16384) + content.substr(0, 16384) + int32Bytes(16385)
                                          + std::string(16385, 'x') + int32Bytes(0), 1},
        {"cut short", magic() + int32Bytes(-16384) + content.substr(0, 16384) + int32Bytes(-16384) + "abc", 1},
        {"no magic", "XYZ!" + int32Bytes(0), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f(GetParam());
        const auto original = f.file("dest/file.bin", "the original");
        bool restoredEvent = false;
        f.component.OnFileRestored = [&](TBackupFile&, std::string& name, bk::WritableFile&) {
            restoredEvent = true;
            EXPECT_EQ(name, original.string());
        };
        const auto archive = f.archive(header(0, 2) + record("/x/file.bin", kStored, c.block)
                                       + record("/x/never.txt", kStored, rawBlock("n")) + kEnd);
        EXPECT_FALSE(f.component.Restore(archive, f.path("dest").string()));
        EXPECT_EQ(f.recorder.codes(), std::vector<std::int32_t>{c.code});
        EXPECT_EQ(f.recorder.errors[0].second, std::string(bk::errorText(c.code)));
        EXPECT_EQ(mtl::test::readFile(original), "the original");
        EXPECT_EQ(f.tree(f.path("dest")), std::set<std::string>{"file.bin"});
        EXPECT_TRUE(restoredEvent);
        EXPECT_EQ(f.component.FilesDone(), 0);
    }
}

TEST_P(BackupRestoreBoth, StopKeepsTheOriginalAndMissingArchiveSaysNothing)
{
    Fixture f(GetParam());
    const auto original = f.file("dest/big.txt", "the original");
    const auto archive = f.archive(header(0, 1) + record("/x/big.txt", kStored, rawBlock(textBytes(5 * 16384))) + kEnd);
    f.component.OnProgress = [&](TBackupFile& sender, const std::string& name, mtl::TPercentage, bool&) {
        if (!name.empty()) sender.Stop();
    };
    EXPECT_FALSE(f.component.Restore(archive, f.path("dest").string()));
    EXPECT_EQ(f.component.ErrorCode(), 0);
    EXPECT_EQ(mtl::test::readFile(original), "the original");
    EXPECT_EQ(f.tree(f.path("dest")).size(), 1u);
    EXPECT_FALSE(f.component.Busy());

    // A missing archive: false, no event, no message.
    Fixture g;
    EXPECT_FALSE(g.component.Restore(g.path("none.mtb").string(), ""));
    EXPECT_TRUE(g.recorder.progress.empty());
    EXPECT_TRUE(g.recorder.errors.empty());
    std::string title = "x";
    g.component.GetArchiveInfo(g.path("none.mtb").string(), nullptr, title);
    EXPECT_EQ(title, "");
    EXPECT_TRUE(g.recorder.errors.empty());
}

TEST(BackupRestoreRun, EventsMayRedirectVetoAndWriteToTheOpenFile)
{
    Fixture f;
    const auto archive = f.archive(header(0, 2) + record("/x/one.txt", kStored, rawBlock("one"))
                                   + record("/x/two.txt", kStored, rawBlock("two")) + kEnd);
    std::vector<std::int32_t> dates;
    f.component.OnRestoreFile = [&](TBackupFile&, std::string& name, std::int32_t date, bool& doRestore) {
        dates.push_back(date);
        if (name.ends_with("two.txt")) doRestore = false;
        else name = f.path("elsewhere/renamed.txt").string();
    };
    f.component.OnFileRestored = [](TBackupFile&, std::string&, bk::WritableFile& stream) { stream.write("!"); };
    ASSERT_TRUE(f.component.Restore(archive, f.path("dest").string()));
    EXPECT_EQ(dates, (std::vector<std::int32_t>{kStored, kStored}));
    EXPECT_EQ(mtl::test::readFile(f.path("elsewhere/renamed.txt")), "one!");
    EXPECT_FALSE(fs::exists(f.path("dest/two.txt")));
    EXPECT_EQ(f.component.FilesDone(), 1);
}

TEST_P(BackupRestoreBoth, FailuresOfTheFileSystem)
{
    const struct {
        const char* name;
        Op op;
        std::vector<std::int32_t> codes;
        bool result;
        std::set<std::string> restored;
    } cases[] = {
        {"target cannot be created", Op::CreateRestored, {1}, false, {"x/a.txt"}},
        {"target cannot be written", Op::WriteRestored, {1}, false, {"x/a.txt"}},
        {"target cannot replace the old file", Op::CommitRestored, {1}, false, {"x/a.txt"}},
        {"folder cannot be made: the file is passed over", Op::MakeFolder, {}, true, {"x/a.txt", "x/second.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f(GetParam());
        const auto archive = f.archive(header(0, 3) + record("/x/a.txt", kStored, rawBlock("a"))
                                       + record("/x/new/first.txt", kStored, rawBlock(textBytes(40000)))
                                       + record("/x/second.txt", kStored, rawBlock("2")) + kEnd);
        f.component.RestoreFullPath = true;
        f.files.failOn({c.op, c.op == Op::MakeFolder ? "new" : "first"});
        EXPECT_EQ(f.component.Restore(archive, f.path("dest").string()), c.result);
        EXPECT_EQ(f.recorder.codes(), c.codes);
        EXPECT_EQ(f.component.FilesDone(), int(c.restored.size()));
        // Nothing after the failing file, and no temporary file left.
        EXPECT_EQ(f.tree(f.path("dest")), c.restored);
    }
}

TEST(BackupRestoreErrors, ErrorsPassedToTheCaller)
{
    const struct {
        const char* name;
        std::string bytes;
        std::string text;
    } cases[] = {
        {"header cut short", int32Bytes(5) + "ab", "Nie można odczytać pliku kopii zapasowej !"},
        {"negative title length", int32Bytes(-1) + header(0, 0), "Nie można odczytać pliku kopii zapasowej !"},
        {"passed-over block without magic",
         header(0, 1) + int32Bytes(-7) + record(std::string(bk::kIdentityListName), 0, "BAD!" + int32Bytes(0)) + kEnd,
         "To nie jest plik kopii zapasowej programu Miotlarz !"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        const auto archive = f.archive(c.bytes);
        try {
            f.component.Restore(archive, f.path("dest").string());
            ADD_FAILURE() << "no error passed";
        } catch (const mtl::FileError& error) {
            EXPECT_EQ(std::string(error.what()), c.text);
        }
        EXPECT_FALSE(f.component.Busy());
        EXPECT_TRUE(f.recorder.errors.empty());
    }
    // A record cut short is the platform's read error naming the archive.
    Fixture f;
    const auto archive = f.archive(header(0, 1) + record("/x/a", kStored, rawBlock("a")) + int32Bytes(50) + "/x/b");
    EXPECT_THROW(f.component.Restore(archive, f.path("dest").string()), mtl::FileError);
    EXPECT_EQ(mtl::test::readFile(f.path("dest/a")), "a") << "the complete file before it stays";
}

TEST_P(BackupRestoreBoth, PromptsForEachVolumeAndNeverLeavesAPart)
{
    Fixture f(GetParam());
    const std::string content = randomBytes(100000, 12);
    const auto src = f.file("src/big.bin", content);
    f.component.MaxSize = 30000;
    f.component.OnNeedDisk = [](TBackupFile&, std::uint16_t, bool& go) { go = true; };
    const auto archive = f.backup({src});
    const auto third = bk::volumeFileName(archive, "003");
    ASSERT_TRUE(fs::exists(third));

    std::vector<int> asked;
    f.component.OnNeedDisk = [&](TBackupFile&, std::uint16_t disk, bool& go) { asked.push_back(disk); };
    ASSERT_TRUE(f.component.Restore(archive, f.path("dest").string()));
    EXPECT_EQ(mtl::test::readFile(f.path("dest/big.bin")), content);
    EXPECT_EQ(asked.front(), 2);
    EXPECT_GE(asked.size(), 3u);

    // A volume the user cannot supply: the file is not put in place.
    fs::rename(third, third + ".away");
    int prompts = 0;
    f.component.OnNeedDisk = [&](TBackupFile&, std::uint16_t disk, bool& go) {
        ++prompts;
        go = fs::exists(bk::volumeFileName(archive, bk::volumeDigits(disk))) || prompts < 3;  // asks again while missing
    };
    EXPECT_FALSE(f.component.Restore(archive, f.path("dest2").string()));
    EXPECT_EQ(prompts, 3);  // volume 2 once, volume 3 again while it is missing
    EXPECT_FALSE(fs::exists(f.path("dest2/big.bin")));

    // Without a handler the message box asks.
    mtl::test::FakeDialogs dialogs;
    dialogs.answers = {mtl::MessageAnswer::Ok, mtl::MessageAnswer::Cancel};
    TBackupFile boxed(f.pump, &dialogs);
    EXPECT_FALSE(boxed.Restore(archive, f.path("dest3").string()));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, "Please insert disk 2 and click OK to continue.");
    EXPECT_EQ(dialogs.messages[0].icon, mtl::MessageIcon::Information);
    EXPECT_EQ(dialogs.messages[0].buttons, mtl::MessageButtons::OkCancel);
    EXPECT_EQ(dialogs.messages[1].text, "Please insert disk 3 and click OK to continue.");
}

TEST(BackupArchiveInfo, HeaderIdentityListAndItsErrors)
{
    const std::string list = "/a/x=y.txt\t123=45\r\n/b\t-7=0\r\n";
    const std::string listBlock = rawBlock(list);
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;  // "kept" when the list is left alone
        std::vector<std::int32_t> codes;
    } cases[] = {
        {"identity list", header(50, 2) + record("FILE:LIST", 1, listBlock) + kEnd, {"/a/x=y.txt\t123=45", "/b\t-7=0"}, {}},
        {"no identity list", header(50, 2) + record("/a", 1, rawBlock("a")) + kEnd, {"kept"}, {}},
        {"header only", header(50, 2), {"kept"}, {5}},
        {"negative title length", int32Bytes(-3) + header(50, 2), {"kept"}, {5}},
        {"list chunk too long", header(50, 2) + record("FILE:LIST", 1, magic() + int32Bytes(-16385)) + kEnd, {"kept"}, {5}},
        {"list chunk damaged", header(50, 2) + record("FILE:LIST", 1, magic() + int32Bytes(6) + "\x78\x01zzzz" + int32Bytes(0)),
         {"kept"}, {6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        std::vector<std::string> lines{"kept"};
        std::string title;
        f.component.GetArchiveInfo(f.archive(c.bytes), &lines, title);
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(f.recorder.codes(), c.codes);
        if (std::string(c.name) != "negative title length") {
            EXPECT_EQ(title, "t");
            EXPECT_EQ(f.component.TotalSize(), 50);
            EXPECT_EQ(f.component.FileCount(), 2);
        }
    }
    // An archive that cannot be opened: error 3.
    Fixture f;
    const auto archive = f.archive(header(1, 1) + kEnd);
    f.files.failOn({Op::OpenArchive, "a.mtb"});
    mtl::test::FakeDialogs dialogs;
    TBackupFile boxed(f.pump, &dialogs, &f.files);
    std::string title;
    boxed.GetArchiveInfo(archive, nullptr, title);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Nie można odczytać pliku kopii zapasowej !");
    EXPECT_EQ(dialogs.messages[0].title, "Error");
    EXPECT_EQ(dialogs.messages[0].icon, mtl::MessageIcon::Error);
    EXPECT_EQ(boxed.ErrorCode(), 3);
}

} // namespace
