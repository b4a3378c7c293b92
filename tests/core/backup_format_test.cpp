// The archive's byte layout: an archive made by the component compared byte for byte with one
// built by hand from the format, read back by an independent reader, and the format's small
// rules (volume names, continuation records, packed dates, file specs and masks).
#include "backup_fixture.h"

#include "core/backup/filespec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

using namespace mtl::test::backup;
using mtl::TBackupFile;
namespace bk = mtl::backup;

constexpr std::int32_t kDate1 = (25 << 25) | (2 << 21) | (11 << 16) | (12 << 11) | (0 << 5) | 2;  // 2005-02-11 12:00:04
constexpr std::int32_t kDate2 = (40 << 25) | (12 << 21) | (31 << 16) | (23 << 11) | (59 << 5) | 29;  // 2020-12-31 23:59:58

TEST(BackupLayout, ArchiveBytesAreExactlyTheFormat)
{
    mtl::test::TempDir dir;
    const auto empty = dir.path() / "empty";
    const auto data = dir.path() / "Data.bin";
    // Incompressible full pieces never fit: both are stored raw. (A shorter last piece would
    // fit as a stored-block stream and be written with a positive length.)
    const std::string content = randomBytes(32768, 7);
    mtl::test::writeFile(empty, "");
    mtl::test::writeFile(data, content);
    setDosDate(empty, kDate1);
    setDosDate(data, kDate2);

    mtl::test::FakeEventPump pump;
    TBackupFile component(pump);
    component.BackupTitle = "Plik z: 2005-02-11 12-00-05";
    const auto archive = dir.path() / "a.mtb";
    ASSERT_TRUE(component.Backup({{empty.string(), data.string()}}, archive.string()));

    std::string expected = int32Bytes(27) + component.BackupTitle + int32Bytes(32768) + int32Bytes(2);
    expected += int32Bytes(std::int32_t(empty.string().size())) + empty.string() + int32Bytes(kDate1);
    expected += magic() + int32Bytes(0);
    expected += int32Bytes(std::int32_t(data.string().size())) + data.string() + int32Bytes(kDate2);
    expected += magic() + int32Bytes(-16384) + content.substr(0, 16384) + int32Bytes(-16384) + content.substr(16384);
    expected += int32Bytes(0);
    expected += int32Bytes(0);  // end record
    EXPECT_EQ(mtl::test::readFile(archive), expected);

    EXPECT_EQ(component.FileCount(), 2);
    EXPECT_EQ(component.FilesDone(), 2);
    EXPECT_EQ(component.TotalSize(), 32768);
    EXPECT_EQ(component.BytesWritten(), 4 + 4 + 2 * (4 + 16384));
    EXPECT_EQ(component.ErrorCode(), 0);
    EXPECT_FALSE(component.Busy());
}

TEST(BackupLayout, IndependentReaderGetsEveryFileAndTheIdentityList)
{
    mtl::test::TempDir dir;
    // A path with "=" and a blank at the end of a name: both are stored exactly.
    const auto text = dir.path() / "a=b" / "notes.txt ";
    const auto data = dir.path() / "a=b" / "data.bin";
    const auto empty = dir.path() / "empty";
    fs::create_directories(text.parent_path());
    mtl::test::writeFile(text, textBytes(50000));
    mtl::test::writeFile(data, randomBytes(40000, 3));
    mtl::test::writeFile(empty, "");
    setDosDate(text, kDate1);
    setDosDate(data, kDate2);
    setDosDate(empty, kDate1);

    mtl::test::FakeEventPump pump;
    FaultyFileSystem files;  // no faults: it only notes the temporary file
    TBackupFile component(pump, nullptr, &files);
    component.SaveFileID = true;
    component.CompressionLevel = mtl::clMax;
    const auto archive = dir.path() / "x.mtb";
    const std::vector<std::string> specs = {text.string(), data.string(), empty.string()};
    ASSERT_TRUE(component.Backup(specs, archive.string()));

    const ReadArchive read = readIndependently({mtl::test::readFile(archive)});
    ASSERT_TRUE(read.ended);
    ASSERT_EQ(read.files.size(), 4u);
    EXPECT_EQ(read.files[0].name, "FILE:LIST");
    const std::string identity = text.string() + "\t" + std::to_string(kDate1) + "=50000\r\n" + data.string() + "\t"
        + std::to_string(kDate2) + "=40000\r\n" + empty.string() + "\t" + std::to_string(kDate1) + "=0\r\n";
    EXPECT_EQ(read.files[0].content, identity);
    EXPECT_EQ(read.fileCount, 3);
    EXPECT_EQ(read.totalSize, std::int32_t(90000 + identity.size()));
    EXPECT_EQ(read.files[1].name, text.string());
    EXPECT_EQ(read.files[1].date, kDate1);
    EXPECT_EQ(read.files[1].content, textBytes(50000));
    EXPECT_EQ(read.files[2].content, randomBytes(40000, 3));
    EXPECT_EQ(read.files[3].content, "");
    EXPECT_EQ(component.FilesDone(), 3);  // the identity list is no file of the user's

    // The component's own reader shows the same list, split at CR LF.
    std::vector<std::string> lines;
    std::string title = "old";
    component.GetArchiveInfo(archive.string(), &lines, title);
    EXPECT_EQ(title, "");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], text.string() + "\t" + std::to_string(kDate1) + "=50000");
    // The temporary identity file was made in the temporary folder and is gone.
    ASSERT_EQ(files.tempFiles.size(), 1u);
    EXPECT_TRUE(files.tempFiles[0].filename().string().starts_with("MTL"));
    EXPECT_FALSE(fs::exists(files.tempFiles[0]));
}

TEST(BackupFormat, VolumeNamesAndContinuationRecords)
{
    EXPECT_EQ(bk::volumeDigits(2), "002");
    EXPECT_EQ(bk::volumeDigits(10), "010");
    EXPECT_EQ(bk::volumeDigits(100), "100");
    EXPECT_EQ(bk::continuationName(3), "NEXT:DISK003");

    EXPECT_EQ(bk::volumeFileName("/k/MtlBackup_x.mtb", "002"), "/k/MtlBackup_x.002");
    EXPECT_EQ(bk::volumeFileName("/k.d/archive", "010"), "/k.d/archive.010");
    EXPECT_EQ(bk::volumeFileName("/k/a.b.mtb", "100"), "/k/a.b.100");
    EXPECT_EQ(bk::volumeFileName("rel.mtb", "002"), "rel.002");

    EXPECT_EQ(bk::continuationVolume("NEXT:DISK002"), 2);
    EXPECT_EQ(bk::continuationVolume("NEXT:DISK999"), 999);
    EXPECT_EQ(bk::continuationVolume("NEXT:DISK02"), std::nullopt);
    EXPECT_EQ(bk::continuationVolume("NEXT:DISK0x2"), std::nullopt);
    EXPECT_EQ(bk::continuationVolume("NEXT:DISK0021"), std::nullopt);
    EXPECT_TRUE(bk::isContinuationName("NEXT:DISKabc"));
    EXPECT_FALSE(bk::isContinuationName("NEXT:DIS"));
    EXPECT_EQ(bk::insertDiskText("12"), "Please insert disk 12 and click OK to continue.");
}

TEST(BackupFormat, PackedDatesRoundTripAndClampToTheFormat)
{
    EXPECT_EQ(bk::packDosDate(*bk::unpackDosDate(kDate1)), kDate1);
    EXPECT_EQ(bk::packDosDate(*bk::unpackDosDate(kDate2)), kDate2);
    // Odd seconds are halved downwards.
    EXPECT_EQ(bk::packDosDate(*bk::unpackDosDate(kDate1) + 1), kDate1);
    // Before 1980 the earliest date the format has.
    EXPECT_EQ(bk::packDosDate(0), (0 << 25) | (1 << 21) | (1 << 16));
    // Fields that make no time.
    EXPECT_EQ(bk::unpackDosDate((25 << 25) | (13 << 21) | (1 << 16)), std::nullopt);
    EXPECT_EQ(bk::unpackDosDate((25 << 25) | (1 << 21) | (0 << 16)), std::nullopt);
    EXPECT_EQ(bk::unpackDosDate((25 << 25) | (1 << 21) | (1 << 16) | (24 << 11)), std::nullopt);
}

TEST(BackupFormat, PackedDatesAreLocalTimeAcrossDaylightSaving)
{
    // The dates are local civil times; compare with the C library's own conversion in a zone
    // with daylight saving, around both changes and through the year.
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    ::setenv("TZ", "Europe/Warsaw", 1);
    ::tzset();
    for (int month = 1; month <= 12; ++month) {
        for (int day : {1, 15, 25, 26, 27, 28, 29, 30, 31}) {
            for (int hour : {0, 1, 3, 12, 23}) {
                if (day > 28 && month == 2) continue;
                const std::int32_t packed = ((2024 - 1980) << 25) | (month << 21) | (day << 16) | (hour << 11) | (7 << 5) | 3;
                std::tm local{};
                local.tm_year = 124, local.tm_mon = month - 1, local.tm_mday = day;
                local.tm_hour = hour, local.tm_min = 7, local.tm_sec = 6, local.tm_isdst = -1;
                const std::time_t expected = std::mktime(&local);
                if (local.tm_mday != day) continue;  // a day the month does not have
                EXPECT_EQ(bk::unpackDosDate(packed), expected) << month << "-" << day << " " << hour;
                EXPECT_EQ(bk::packDosDate(expected), packed);
            }
        }
    }
    if (old) ::setenv("TZ", saved.c_str(), 1);
    else ::unsetenv("TZ");
    ::tzset();
}

struct SpecCase {
    const char* spec;
    const char* path;
    bool recursive;
};

TEST(BackupFileSpec, RecursionMarkIsABlankAndSlashSAtTheEnd)
{
    const SpecCase cases[] = {
        {"/home/u/*.tmp /s", "/home/u/*.tmp", true},
        {"/home/u/*.tmp /S  ", "/home/u/*.tmp", true},
        {"  /home/u/x\t/s", "/home/u/x", true},
        {"/srv/data/*.tmp", "/srv/data/*.tmp", false},   // "/s" inside a path is no mark
        {"/home/u/a/s", "/home/u/a/s", false},
        {"/home/u/plik ", "/home/u/plik ", false},       // a plain path stays exact
    };
    for (const auto& c : cases) {
        const auto parsed = bk::parseFileSpec(c.spec);
        EXPECT_EQ(parsed.path, c.path) << c.spec;
        EXPECT_EQ(parsed.recursive, c.recursive) << c.spec;
    }
}

TEST(BackupFileSpec, MaskRule)
{
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"*.tmp", "a.TMP", true},   {"*.tmp", "a.tmpx", false}, {"?.txt", "ż.txt", true},
        {"??.txt", "ż.txt", false}, {"*.*", "README", true},    {"*.*", "a.b.c", true},
        {"a*.*", "abc", true},      {"a*.*", "bac", false},     {"*~", "plik~", true},
        {"*", "", true},            {"x?", "x", false},         {"*a*b", "zzazzb", true},
        {"ŻÓŁW*", "żółw", false},  // only ASCII letters ignore case
    };
    for (const auto& [mask, name, matches] : cases) EXPECT_EQ(bk::maskMatches(mask, name), matches) << mask << " " << name;
}

TEST(BackupFileSpec, SubfoldersFirstDeepestFirstEachPathOnceArchiveNever)
{
    mtl::test::TempDir dir;
    const auto root = dir.path();
    for (const char* file : {"a.txt", "b.dat", "sub/c.txt", "sub/deep/d.txt", "sub/deep/D.TXT", "zed/e.txt",
                             ".hid/f.txt", "backup.mtb", "backup.002"}) {
        fs::create_directories((root / file).parent_path());
        mtl::test::writeFile(root / file, "x");
    }
    fs::create_symlink(root / "sub", root / "link");  // never descended into

    bk::CollectOptions options;
    options.excluded = {(root / "backup.mtb").string(), (root / "backup.002").string()};
    const std::vector<std::string> specs = {(root / "*.* /s").string(), (root / "a.txt").string(),
                                            (root / "sub/c.txt").string()};
    const auto collected = bk::collectFiles(specs, bk::systemFileSystem(), options);
    const std::string r = root.string();
    const std::vector<std::string> expected = {r + "/sub/deep/D.TXT", r + "/sub/deep/d.txt", r + "/sub/c.txt",
                                               r + "/zed/e.txt", r + "/a.txt", r + "/b.dat"};
    EXPECT_EQ(collected, expected);

    // A relative spec and "." / ".." parts give the same absolute paths.
    const auto again = bk::collectFiles(std::vector<std::string>{(root / "sub/../a.txt").string()},
                                        bk::systemFileSystem(), {});
    EXPECT_EQ(again, std::vector<std::string>{r + "/a.txt"});
}

} // namespace
