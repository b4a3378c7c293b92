// The intake's Qt-free helpers: number texts of the totals, the running total against the
// list it stands for, the kilobyte text, the entry lookup, clearing attributes, the clock.
#include "core/common/errors.h"
#include "core/scan/intake.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace mtl;
namespace fs = std::filesystem;

TEST(IntakeNumbers, NumberTextOfTotals)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {2560000, "2560000"},
        {-5, "-5"},
        {4294967296.0 * 3, "12884901888"},  // beyond 32 bits stays plain digits
        {999999999999999.0, "999999999999999"},
        {1e15, "1E+15"},
        {0.5, "0.5"},
    };
    for (const auto& c : cases) EXPECT_EQ(numberText(c.value), c.text) << c.value;
}

TEST(IntakeNumbers, ListTotalAndRunningTotalAgree)
{
    EXPECT_EQ(listTotalText({}), "0");
    const std::vector<std::string> sizes{"1000", "2000", "2147483647", "100000"};
    EXPECT_EQ(listTotalText(sizes), "2147586647");
    RunningTotal running;
    for (const char* size : {"1000", "2000", "2147483647", "100000"}) running.add(std::stoll(size));
    EXPECT_EQ(running.text(), listTotalText(sizes));
    EXPECT_EQ(running.count(), sizes.size());
    running.reset(std::vector<std::string>{"7"});
    EXPECT_EQ(running.text(), "7");
    EXPECT_EQ(running.count(), 1u);
    EXPECT_THROW(listTotalText(std::vector<std::string>{"12", "x"}), ConversionError);
}

TEST(IntakeNumbers, KilobyteTextTruncates)
{
    EXPECT_EQ(kbTextOfBytes("2560000"), "2500 KB");
    EXPECT_EQ(kbTextOfBytes("1023"), "0 KB");
    EXPECT_EQ(kbTextOfBytes("1024"), "1 KB");
    EXPECT_EQ(kbTextOfBytes("0"), "0 KB");
    // Totals beyond 2 GiB are read whole.
    EXPECT_EQ(kbTextOfBytes("5368709120"), "5242880 KB");
    EXPECT_THROW(kbTextOfBytes("1E+15"), ConversionError);
}

TEST(IntakeIndex, ExactMatchAndRebuild)
{
    LineIndex index;
    index.rebuild(std::vector<std::string>{"/home/a/Plik.tmp", "/home/a/b.log"});
    EXPECT_TRUE(index.contains("/home/a/Plik.tmp"));
    // Paths that differ only in letter case are different files here.
    EXPECT_FALSE(index.contains("/home/a/plik.tmp"));
    index.add("/home/a/c.tmp");
    EXPECT_TRUE(index.contains("/home/a/c.tmp"));
    index.rebuild(std::vector<std::string>{"/x"});
    EXPECT_FALSE(index.contains("/home/a/c.tmp"));
    EXPECT_EQ(index.size(), 1u);
}

TEST(IntakeFiles, CurrentSizeOfEntryNotOfLinkTarget)
{
    test::TempDir dir;
    const fs::path file = dir.path() / "a.tmp";
    test::writeFile(file, std::string(3000, 'x'));
    EXPECT_EQ(currentSize(file), 3000);
    EXPECT_EQ(currentSize(dir.path() / "nie-ma"), std::nullopt);
    fs::create_symlink(file, dir.path() / "link");
    EXPECT_NE(currentSize(dir.path() / "link"), 3000);
}

TEST(IntakeFiles, ClearAllAttributesGivesWriteBackAndLeavesTheName)
{
    test::TempDir dir;
    const fs::path file = dir.path() / ".ukryty.tmp";
    test::writeFile(file, "x");
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write, fs::perm_options::remove);
    clearAllAttributes(file);
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_TRUE(status.st_mode & S_IWUSR);
    EXPECT_FALSE(status.st_mode & S_IWGRP);  // only the owner's write permission comes back
    EXPECT_TRUE(status.st_mode & S_IRUSR);
    clearAllAttributes(dir.path() / "nie-ma");  // nothing to do, nothing thrown
}

TEST(IntakeClock, CountsOnAndWrapsAfterADay)
{
    ScanClock clock;
    EXPECT_EQ(clock.text(), "00:00");
    for (int i = 0; i < 65; ++i) clock.tick();
    EXPECT_EQ(clock.text(), "01:05");
    for (int i = 65; i < 3600; ++i) clock.tick();
    EXPECT_EQ(clock.text(), "00:00");
    EXPECT_EQ(clock.hours(), 1);
    for (int i = 3600; i < 24 * 3600; ++i) clock.tick();
    EXPECT_EQ(clock.hours(), 0);
    EXPECT_EQ(clock.text(), "00:00");
}

TEST(IntakeClock, TrayHint)
{
    EXPECT_EQ(scanTrayHint(12, "37 plików"), "Miotlarz 9 - [Wykonano: 12%, Znaleziono: 37 plików]");
}
