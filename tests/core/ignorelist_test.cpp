// The ignore lists' rules: the compare step's pairing of found lines with ignore entries,
// the duplicate tests of paths and masks, the existence test and the repair report.
#include "core/results/ignorelist.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using mtl::compareWithIgnoreList;
using mtl::IgnoreEntry;

namespace {

struct CompareCase {
    const char* name;
    std::vector<std::string> found;
    std::vector<std::string> ignored;
    std::vector<std::string> kept;
};

class CompareStep : public testing::TestWithParam<CompareCase> {};

TEST_P(CompareStep, KeepsTheUnmatchedLinesInOrder)
{
    const auto& c = GetParam();
    const auto outcome = compareWithIgnoreList(c.found, c.ignored);
    std::vector<std::string> kept;
    for (const auto index : outcome.kept) kept.push_back(c.found.at(index));
    EXPECT_EQ(kept, c.kept);
    EXPECT_EQ(outcome.ignored, c.found.size() - c.kept.size());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompareStep,
    testing::Values(
        CompareCase{"BothEmpty", {}, {}, {}},
        CompareCase{"NoIgnoreList", {"/a", "/b"}, {}, {"/a", "/b"}},
        CompareCase{"IgnoreEntriesWithoutFoundPartner", {}, {"/a", "/b"}, {}},
        CompareCase{"OneEntryRemovesItsLine", {"/t/a.tmp", "/t/b.tmp", "/t/c.tmp"}, {"/t/b.tmp"},
                    {"/t/a.tmp", "/t/c.tmp"}},
        // A path found twice (two scans appended it) loses one copy per ignore entry.
        CompareCase{"OneEntryCancelsOneOfTwoEqualLines", {"/t/a", "/t/x", "/t/a"}, {"/t/a"}, {"/t/x", "/t/a"}},
        CompareCase{"TwoEntriesCancelTwoLines", {"/t/a", "/t/x", "/t/a"}, {"/t/a", "/t/a"}, {"/t/x"}},
        CompareCase{"MoreEntriesThanLines", {"/t/a"}, {"/t/a", "/t/a", "/t/a"}, {}},
        // On Linux letter case makes another file: the Windows example's pair stays apart.
        CompareCase{"LetterCaseIsAnotherFile", {"/TEMP/A.TMP"}, {"/temp/a.tmp"}, {"/TEMP/A.TMP"}},
        CompareCase{"WholeLinesOnly", {"/t/a.tmp", "/t/a.tmp.bak", " /t/a.tmp"}, {"/t/a.tmp"},
                    {"/t/a.tmp.bak", " /t/a.tmp"}},
        CompareCase{"EmptyLineMatchesEmptyEntry", {"", "/a"}, {""}, {"/a"}},
        CompareCase{"NonAsciiBytesCompareExactly", {"/t/zażółć", "/t/ZAŻÓŁĆ"}, {"/t/zażółć"}, {"/t/ZAŻÓŁĆ"}}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

struct SameCase {
    const char* name;
    const char* a;
    const char* b;
    IgnoreEntry kind;
    bool same;
};

class DuplicateTest : public testing::TestWithParam<SameCase> {};

TEST_P(DuplicateTest, FollowsTheRuleOfTheKind)
{
    const auto& c = GetParam();
    EXPECT_EQ(mtl::sameIgnoreEntry(c.a, c.b, c.kind), c.same);
    const std::vector<std::string> list = {"/other", c.a};
    EXPECT_EQ(mtl::ignoreListHolds(list, c.b, c.kind), c.same);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DuplicateTest,
    testing::Values(SameCase{"PathEqual", "/t/a.tmp", "/t/a.tmp", IgnoreEntry::Path, true},
                    SameCase{"PathCaseDiffers", "/t/a.tmp", "/T/A.tmp", IgnoreEntry::Path, false},
                    SameCase{"PathPrefix", "/t/a.tmp", "/t/a.tm", IgnoreEntry::Path, false},
                    SameCase{"MaskEqual", "r?port.*", "r?port.*", IgnoreEntry::Mask, true},
                    SameCase{"MaskAsciiCaseIgnored", "R?PORT.*", "r?port.*", IgnoreEntry::Mask, true},
                    // Only ASCII letters fold, as in mask matching.
                    SameCase{"MaskNonAsciiCaseKept", "*.ŻÓŁ", "*.żół", IgnoreEntry::Mask, false},
                    SameCase{"MaskLonger", "*.tmp", "*.tmp~", IgnoreEntry::Mask, false},
                    SameCase{"MaskEmpty", "", "", IgnoreEntry::Mask, true}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST(IgnoredFileExists, FilesAndLinksCountFoldersAndGapsDoNot)
{
    namespace fs = std::filesystem;
    mtl::test::TempDir dir;
    const auto file = dir.path() / "plik.tmp";
    mtl::test::writeFile(file, "x");
    fs::create_directory(dir.path() / "folder");
    fs::create_symlink(dir.path() / "gone", dir.path() / "dangling");
    fs::create_symlink(dir.path() / "folder", dir.path() / "folderlink");

    EXPECT_TRUE(mtl::ignoredFileExists(file));
    EXPECT_TRUE(mtl::ignoredFileExists(dir.path() / "dangling"));
    EXPECT_TRUE(mtl::ignoredFileExists(dir.path() / "folderlink"));
    EXPECT_FALSE(mtl::ignoredFileExists(dir.path() / "folder"));
    EXPECT_FALSE(mtl::ignoredFileExists(dir.path() / "missing"));
    EXPECT_FALSE(mtl::ignoredFileExists(""));
    // Letter case names another file.
    EXPECT_FALSE(mtl::ignoredFileExists(dir.path() / "PLIK.TMP"));
}

TEST(RepairReport, HasTheDesignedSpacing)
{
    EXPECT_EQ(mtl::repairReport(2, 13),
              "Usunięto błędnych odwołań do plików:  2\nPozostało dobrych wpisów:                    13");
}

} // namespace
