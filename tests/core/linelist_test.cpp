// The line list format: every reading rule, writing with CR LF, and the encoding rule.
#include "core/common/errors.h"
#include "core/common/linelist.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

using mtl::LineText;
using mtl::parseLineList;

namespace {

struct ReadCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> entries;
};

class LineListRead : public testing::TestWithParam<ReadCase> {};

TEST_P(LineListRead, GivesTheEntries)
{
    EXPECT_EQ(parseLineList(GetParam().bytes), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LineListRead,
    testing::Values(
        ReadCase{"Empty", "", {}},
        ReadCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
        ReadCase{"LoneCr", "a\rb\r", {"a", "b"}},
        ReadCase{"LoneLf", "a\nb\n", {"a", "b"}},
        ReadCase{"LfCrIsTwoEnds", "a\n\rb", {"a", "", "b"}},
        ReadCase{"LfCrLfIsTwoEnds", "a\n\r\nb", {"a", "", "b"}},
        ReadCase{"LastEntryWithoutEnd", "a\r\nb", {"a", "b"}},
        ReadCase{"EmptyLineIsAnEntry", "a\r\n\r\nb", {"a", "", "b"}},
        ReadCase{"OnlyLineEnd", "\r\n", {""}},
        ReadCase{"NothingTrimmed", "  a \t\r\n b", {"  a \t", " b"}},
        ReadCase{"NulEndsTheText", std::string("a\r\nb\0c\r\nd", 9), {"a", "b"}},
        ReadCase{"NulAtStart", std::string("\0a\r\n", 4), {}},
        ReadCase{"BomIsKept", "\xEF\xBB\xBF*.tmp\r\n", {"\xEF\xBB\xBF*.tmp"}},
        ReadCase{"MixedEnds", "a\rb\nc\r\nd", {"a", "b", "c", "d"}}),
    [](const testing::TestParamInfo<ReadCase>& param) { return std::string(param.param.name); });

TEST(LineListEncoding, Windows1250FileIsConvertedAndUtf8Kept)
{
    // "ścieżka" in Windows-1250: ś = 0x9C, ż = 0xBF.
    EXPECT_EQ(parseLineList("\x9C" "cie\xBF" "ka\r\n"), std::vector<std::string>{"ścieżka"});
    EXPECT_EQ(parseLineList("ścieżka\r\n"), std::vector<std::string>{"ścieżka"});
    // Lists of paths keep the bytes exactly, whatever they are.
    EXPECT_EQ(parseLineList("/home/a\xFF\r\n", LineText::Bytes), std::vector<std::string>{"/home/a\xFF"});
}

TEST(LineListFile, WritesCrLfAfterEveryEntryAndReadsBack)
{
    mtl::test::TempDir dir;
    const auto file = dir.path() / "list.dat";
    mtl::test::writeFile(file, "old contents that are longer than the new ones\r\n");
    const std::vector<std::string> entries = {"*.tmp", "", " x ", "ścieżka"};
    mtl::writeLineList(file, entries);
    EXPECT_EQ(mtl::test::readFile(file), "*.tmp\r\n\r\n x \r\nścieżka\r\n");
    EXPECT_EQ(mtl::readLineList(file), entries);

    mtl::writeLineList(file, std::vector<std::string>{});
    EXPECT_EQ(mtl::test::readFile(file), "");
    // No temporary file is left beside it.
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
}

TEST(LineListFile, MissingFileIsAnErrorNamingIt)
{
    mtl::test::TempDir dir;
    const auto file = dir.path() / "brak.dat";
    try {
        mtl::readLineList(file);
        FAIL() << "no error";
    } catch (const mtl::FileError& error) {
        EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos);
    }
    EXPECT_THROW(mtl::writeLineList(dir.path() / "no-such-folder" / "x.dat", std::vector<std::string>{"a"}),
                 mtl::FileError);
}

} // namespace
