// Name masks: the matching rules, every malformed form with the position it names, and the
// compiled mask list, which must give exactly the answers of trying its masks in list order.
#include "core/common/linelist.h"
#include "core/scan/masks.h"
#include "core/scan/maskset.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

using mtl::InvalidMaskError;
using mtl::Mask;
using mtl::MaskSet;

namespace {

struct MatchCase {
    const char* mask;
    std::string name;
    bool matches;
};

void PrintTo(const MatchCase& c, std::ostream* out) { *out << "mask '" << c.mask << "' name '" << c.name << "'"; }

class MaskMatch : public testing::TestWithParam<MatchCase> {};

TEST_P(MaskMatch, CoversTheWholeNameOrNot)
{
    const MatchCase& c = GetParam();
    const Mask mask(c.mask);
    ASSERT_TRUE(mask.valid()) << c.mask;
    EXPECT_EQ(mask.matches(c.name), c.matches) << "mask " << c.mask << " name " << c.name;
    // The compiled list of that one mask answers the same.
    const std::vector<std::string> list{c.mask};
    EXPECT_EQ(MaskSet(list).test(c.name) == MaskSet::Outcome::Match, c.matches)
        << "compiled mask " << c.mask << " name " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, MaskMatch,
    testing::Values(
        // Extensions, case of ASCII letters.
        MatchCase{"*.tmp", "a.tmp", true}, MatchCase{"*.tmp", "b.TMP", true},
        MatchCase{"*.tmp", "c.tmpx", false}, MatchCase{"*.tmp", ".tmp", true},
        MatchCase{"ABC.TXT", "abc.txt", true}, MatchCase{"abc.txt", "abc.txt.", false},
        // "*.*" needs a dot.
        MatchCase{"*.*", "README", false}, MatchCase{"*.*", "x.y", true},
        MatchCase{"*.*", "trailing.", true}, MatchCase{"*.*", ".bashrc", true},
        MatchCase{"*", "anything at all", true},
        // '?' is one character; a '?' straight after '*' adds nothing.
        MatchCase{"?", "a", true}, MatchCase{"?", "ab", false}, MatchCase{"?x", "x", false},
        MatchCase{"a*?", "a", true}, MatchCase{"*?", "", true}, MatchCase{"a*??", "a", false},
        MatchCase{"a*??", "ab", true}, MatchCase{"?*", "", false}, MatchCase{"a?*", "a", false},
        // Stars that have to give back what they took.
        MatchCase{"*ab*ab", "xabyab", true}, MatchCase{"*ab*ab", "abab", true},
        MatchCase{"*ab*ab", "aab", false}, MatchCase{"*a*b*c", "xaybzc", true},
        MatchCase{"*a*b*c", "cba", false}, MatchCase{"a*b", "ab", true}, MatchCase{"a*b", "ba", false},
        MatchCase{"**x**", "x", true}, MatchCase{"*.log.[0-9]", "a.log.log.7", true},
        // Sets, ranges, negation, case inside sets.
        MatchCase{"[abc]x", "bx", true}, MatchCase{"[abc]x", "dx", false}, MatchCase{"[abc]x", "Bx", true},
        MatchCase{"[!abc]x", "dx", true}, MatchCase{"[!abc]x", "ax", false}, MatchCase{"[!abc]x", "Ax", false},
        MatchCase{"[!abc]", "", false}, MatchCase{"[0-9][0-9]", "42", true}, MatchCase{"[0-9][0-9]", "4a", false},
        MatchCase{"[a-f]", "E", true}, MatchCase{"[A-F]", "e", true}, MatchCase{"[A-F]", "g", false},
        MatchCase{"[!0-9]", "x", true}, MatchCase{"[!0-9]", "5", false},
        MatchCase{"[a-]", "-", true}, MatchCase{"[a-]", "a", true}, MatchCase{"[a-]", "b", false},
        MatchCase{"[z-a]", "m", false}, MatchCase{"[ac-eg]", "d", true}, MatchCase{"[ac-eg]", "f", false},
        MatchCase{"[*?[]", "*", true}, MatchCase{"[*?[]", "?", true}, MatchCase{"[*?[]", "[", true},
        MatchCase{"[*?[]", "a", false}, MatchCase{"a]", "a]", true}, MatchCase{"x!", "x!", true},
        MatchCase{"core.[0-9][0-9][0-9]", "CORE.123", true}, MatchCase{"core.[0-9][0-9][0-9]", "core.12", false},
        MatchCase{"core.[0-9][0-9][0-9]", "core.1234", false},
        // Characters are code points; only A-Z/a-z fold.
        MatchCase{"?.txt", "ą.txt", true}, MatchCase{"??.txt", "ą.txt", false},
        MatchCase{"ą.txt", "Ą.txt", false}, MatchCase{"Ą*", "Ąb", true}, MatchCase{"[ą]", "Ą", false},
        MatchCase{"[ą-ż]", "ć", true}, MatchCase{"[!ą-ż]", "ć", false}, MatchCase{"[a-ą]", "Z", true},
        MatchCase{"*ść", "gęść", true}, MatchCase{"*ŚĆ", "gęść", false},
        // A byte outside valid UTF-8 is one character that only equals itself.
        MatchCase{"?", "\xFF", true}, MatchCase{"\xFF", "\xFF", true}, MatchCase{"\xFF", "\xFE", false},
        MatchCase{"a?", "a\xC4", true}, MatchCase{"*\xC4", "\xC4\x85", false}, MatchCase{"\xC4*", "\xC4\x85", false},
        MatchCase{"*\x85", "\xC4\x85", false}, MatchCase{"*?\x85", "\xC4\x85", false},
        MatchCase{"*ą", "\xE4\xC4\x85", true}, MatchCase{"?ą", "\xE4\xC4\x85", true},
        // Thirty stars are still a mask.
        MatchCase{"******************************a", "a", true}));

struct InvalidCase {
    std::string mask;
    int position;
};

void PrintTo(const InvalidCase& c, std::ostream* out) { *out << "mask '" << c.mask << "'"; }

class MaskInvalid : public testing::TestWithParam<InvalidCase> {};

TEST_P(MaskInvalid, NamesTheOffendingPosition)
{
    const InvalidCase& c = GetParam();
    const Mask mask(c.mask);
    EXPECT_FALSE(mask.valid());
    EXPECT_EQ(mask.errorPosition(), c.position);
    try {
        mask.matches("anything");
        FAIL() << "no error for " << c.mask;
    } catch (const InvalidMaskError& error) {
        EXPECT_EQ(error.mask(), c.mask);
        EXPECT_EQ(error.position(), c.position);
        EXPECT_EQ(std::string(error.what()),
                  "'" + c.mask + "' is an invalid mask at (" + std::to_string(c.position) + ")");
    }
}

std::string repeat(const std::string& piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, MaskInvalid,
    testing::Values(
        // A set that is never closed: one past the end.
        InvalidCase{"[abc", 5}, InvalidCase{"[", 2}, InvalidCase{"a[", 3}, InvalidCase{"[!", 3},
        InvalidCase{"[!abc", 6}, InvalidCase{"*.[a-", 6},
        // An empty set: its closing bracket.
        InvalidCase{"[]", 2}, InvalidCase{"[!]", 3}, InvalidCase{"x[]y", 3}, InvalidCase{"[]abc]", 2},
        // A set starting with '-': the hyphen.
        InvalidCase{"[-a]", 2}, InvalidCase{"[!-a]", 3}, InvalidCase{"*[-]", 3},
        // More than thirty stars: the 31st.
        InvalidCase{repeat("*", 31), 31}, InvalidCase{"a" + repeat("*b", 31), 62},
        // The first fault from the left is the one named.
        InvalidCase{"[]" + repeat("*", 31), 2}, InvalidCase{repeat("*", 31) + "[", 31},
        // Positions count characters, not bytes.
        InvalidCase{"ąę[", 4}, InvalidCase{"żółw[]", 6}));

TEST(MaskStars, StarsInsideSetsAreMembersNotWildcards)
{
    EXPECT_TRUE(Mask(repeat("[*]", 31)).valid());
    EXPECT_TRUE(Mask(repeat("[*]", 31)).matches(repeat("*", 31)));
    EXPECT_TRUE(Mask(repeat("*", 30) + "[*]").valid());
}

// ---- The compiled list against list order --------------------------------------------------

// What trying the masks one after another gives: the first match, or the first malformed
// mask reached before any match.
struct Reference {
    std::optional<std::size_t> match;
    std::optional<std::size_t> invalid;
};

Reference listOrder(const std::vector<std::string>& masks, const std::string& name)
{
    for (std::size_t i = 0; i < masks.size(); ++i) {
        const Mask mask(masks[i]);
        if (!mask.valid()) return {std::nullopt, i};
        if (mask.matches(name)) return {i, std::nullopt};
    }
    return {};
}

void expectSameAsListOrder(const std::vector<std::string>& masks, const std::string& name)
{
    const MaskSet set(masks);
    const Reference expected = listOrder(masks, name);
    const std::size_t first = set.firstMatch(name);
    const MaskSet::Outcome outcome = set.test(name);
    std::string listing;
    for (const auto& m : masks) listing += " [" + m + "]";
    if (expected.match) {
        EXPECT_EQ(first, *expected.match) << "name " << name << " list" << listing;
        EXPECT_EQ(outcome, MaskSet::Outcome::Match) << "name " << name << " list" << listing;
        return;
    }
    EXPECT_EQ(first, MaskSet::npos) << "name " << name << " list" << listing;
    if (!expected.invalid) {
        EXPECT_EQ(outcome, MaskSet::Outcome::NoMatch) << "name " << name << " list" << listing;
        return;
    }
    ASSERT_EQ(outcome, MaskSet::Outcome::Invalid) << "name " << name << " list" << listing;
    const Mask culprit(masks[*expected.invalid]);
    try {
        set.raiseInvalid();
        FAIL();
    } catch (const InvalidMaskError& error) {
        EXPECT_EQ(error.mask(), culprit.text());
        EXPECT_EQ(error.position(), culprit.errorPosition());
    }
}

TEST(MaskSetOrder, MalformedMaskIsRaisedOnlyForNamesNoEarlierMaskCovers)
{
    const std::vector<std::string> masks{"*.tmp", "[abc", "*.log", "[]"};
    const MaskSet set(masks);
    EXPECT_EQ(set.test("a.TMP"), MaskSet::Outcome::Match);
    EXPECT_EQ(set.test("a.log"), MaskSet::Outcome::Invalid);  // "*.log" comes after "[abc"
    try {
        set.raiseInvalid();
        FAIL();
    } catch (const InvalidMaskError& error) {
        EXPECT_STREQ(error.what(), "'[abc' is an invalid mask at (5)");
    }
    EXPECT_EQ(MaskSet().test("a"), MaskSet::Outcome::NoMatch);
    EXPECT_EQ(MaskSet(std::vector<std::string>{"[", "*"}).test("x"), MaskSet::Outcome::Invalid);
}

TEST(MaskSetOrder, EveryGroupGivesTheEarliestMatchingMask)
{
    // One mask of each group, and several covering the same names in different groups, so
    // that the earliest position has to win across groups.
    const std::vector<std::string> masks{
        "*.tar.gz", "zz*", "core.[0-9]*", "*.gz", "index.dat", "*~", "ab*cd", "*.*", "Index.DAT",
        "*x*", "[0-9A-F][0-9A-F]", "*", ".nfs*", "*-journal", "*.log-20??????"};
    const std::vector<std::string> names{
        "a.tar.gz", "b.gz", "zz.gz", "zzz", "core.1", "core.x", "INDEX.DAT", "index.dat~", "abxcd",
        "abcd", "abc", "AF", "a9", "x", ".nfs123", "db-journal", "z.log-20240101", "README", "", "..."};
    for (const auto& name : names) expectSameAsListOrder(masks, name);
}

TEST(MaskSetOrder, ShippedAdvancedListAnswersAsListOrder)
{
    const auto masks = mtl::readLineList(std::string(MIOTLARZ_PROGRAM_DIR) + "/Filtry/filtr_a3.dat");
    ASSERT_GT(masks.size(), 100u);
    const std::vector<std::string> names{
        "Thumbs.db", "THUMBS.DB", "a.tmp", "x.log.3", "x.log.33", "x.log.333", "core.123", "core.12345678",
        "core", "hs_err_pid42.log", "0123456789abcdef_0", "0123456789ABCDEF_0", "0123456789abcdefg_0",
        "f_00ab12", ".nfs0001", "#draft#", "notes.txt", "Makefile", "a.log-20240101", "a.log-2024010",
        "~$report.docx", "x.~1~", "AlbumArt_{1234}_Large.jpg", "rb007.cab", "FILE0001.CHK", "main.cpp",
        "_.pyc", "m.cpython-311.pyc", "ib_logfile0", "ffastun0.ffa"};
    for (const auto& name : names) expectSameAsListOrder(masks, name);
}

// Random lists and names over a small alphabet that makes the groups collide: literal
// letters of both cases, dots, hyphens, a Polish letter, a stray byte, wildcards and sets
// (some malformed).
TEST(MaskSetOrder, RandomListsAnswerAsListOrder)
{
    std::mt19937 random(20261211);
    const std::vector<std::string> literals{"a", "A", "b", ".", "-", "ą", "\xFF", "x", "log", "Tmp"};
    const std::vector<std::string> wildcards{"*", "?", "*?", "[ab]", "[!a]", "[a-c]", "[ą-ż]", "[.]"};
    const std::vector<std::string> malformed{"[", "[]", "[-a]", "[!"};
    auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    auto makeMask = [&] {
        std::string mask;
        const int pieces = 1 + int(random() % 5);
        for (int i = 0; i < pieces; ++i) {
            const unsigned roll = random() % 100;
            if (roll < 55) mask += pick(literals);
            else if (roll < 99) mask += pick(wildcards);
            else mask += pick(malformed);
        }
        return mask;
    };
    auto makeName = [&] {
        std::string name;
        const int pieces = int(random() % 6);
        for (int i = 0; i < pieces; ++i) name += pick(literals);
        return name;
    };
    for (int round = 0; round < 1500; ++round) {
        std::vector<std::string> masks(1 + random() % 12);
        for (auto& mask : masks) mask = makeMask();
        for (int n = 0; n < 25; ++n) expectSameAsListOrder(masks, makeName());
        if (HasFailure()) return;
    }
}

} // namespace
