// The shared helpers: time stamp and dates, counter texts, the text encodings, the mode
// catalogue's interval rule and the age line.
#include "core/common/countertext.h"
#include "core/common/errors.h"
#include "core/common/textcodec.h"
#include "core/common/timestamp.h"
#include "core/filters/scanmodes.h"
#include "core/filters/signature.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>

namespace {

TEST(TimeStamp, HasNoColonAndPadsEveryField)
{
    EXPECT_EQ(mtl::timeStamp({2005, 2, 11, 12, 0, 5, 999}), "2005-02-11 12-00-05");
    EXPECT_EQ(mtl::timeStamp({2026, 12, 1, 0, 0, 0, 0}), "2026-12-01 00-00-00");
    EXPECT_EQ(mtl::longTime({2026, 1, 1, 9, 8, 7, 0}), "09:08:07");
    EXPECT_EQ(mtl::shortDate({2026, 1, 2, 9, 8, 7, 0}), "2026-01-02");
}

TEST(ShortDate, AcceptsOnlyValidYearFirstDates)
{
    EXPECT_EQ(mtl::parseShortDate("2026-12-01"), (mtl::Date{2026, 12, 1}));
    EXPECT_EQ(mtl::parseShortDate(" 2026-2-3 "), (mtl::Date{2026, 2, 3}));
    for (const char* bad : {"( ! )", "", "2026-02-30", "26-12-01", "2026-13-01", "2026-12", "2026/12/01",
                            "2026-12-01x", "2026--12"}) {
        EXPECT_EQ(mtl::parseShortDate(bad), std::nullopt) << bad;
    }
}

TEST(AgeInDays, CountsWholeDaysFromMidnightAsAnAbsoluteValue)
{
    const mtl::Date published{2026, 12, 1};
    struct Case { mtl::DateTime now; long long days; };
    const Case cases[] = {
        {{2026, 12, 1, 0, 0, 0, 0}, 0},
        {{2026, 12, 1, 23, 59, 59, 999}, 0},
        {{2026, 12, 2, 0, 0, 0, 0}, 1},
        {{2026, 12, 31, 8, 0, 0, 0}, 30},
        {{2027, 1, 1, 8, 0, 0, 0}, 31},
        {{2026, 11, 30, 20, 0, 0, 0}, 0},  // one day in the future, seen in the evening
        {{2026, 11, 29, 20, 0, 0, 0}, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(mtl::ageInDays(published, c.now), c.days) << c.now.day;
}

TEST(AgeLine, FollowsTheAgeTable)
{
    EXPECT_EQ(mtl::ageLineText(0), ">> Aktualna:             opublikowana dzisiaj");
    EXPECT_EQ(mtl::ageLineText(1), ">> Aktualna:             opublikowana wczoraj");
    EXPECT_EQ(mtl::ageLineText(2), ">> Aktualna:             opublikowana 2 dni temu");
    EXPECT_EQ(mtl::ageLineText(30), ">> Aktualna:             opublikowana 30 dni temu");
    EXPECT_EQ(mtl::ageLineText(31), ">> Nie aktualna !:      opublikowana 31 dni temu");
}

TEST(CounterText, FormatsAndParsesBack)
{
    EXPECT_EQ(mtl::filesText(0), "0 plików");
    EXPECT_EQ(mtl::kbText(1234), "1234 KB");
    EXPECT_EQ(mtl::parseCounter("12 plików"), 12);
    EXPECT_EQ(mtl::parseCounter("5000000000 KB"), 5000000000LL);
    EXPECT_EQ(mtl::parseCounter("42"), 42);
    EXPECT_EQ(mtl::parseCounter("-3"), -3);
    for (const char* bad : {"", "plików", "abc", "12abc", "1 2", " KB", "12 MB"}) {
        EXPECT_THROW(mtl::parseCounter(bad), mtl::ConversionError) << bad;
    }
    try {
        mtl::parseInteger("abc");
    } catch (const mtl::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'abc' nie jest poprawną liczbą całkowitą");
    }
}

TEST(TextCodec, DecodesWindows1250AndEncodesBackWithReferences)
{
    // All Polish letters in Windows-1250, upper and lower case.
    const std::string cp = "\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF";
    EXPECT_EQ(mtl::cp1250ToUtf8(cp), "ĄĆĘŁŃÓŚŹŻąćęłńóśźż");
    EXPECT_EQ(mtl::utf8ToCp1250Html("ĄĆĘŁŃÓŚŹŻąćęłńóśźż"), cp);
    EXPECT_EQ(mtl::utf8ToCp1250Html("€ and ć and 日"), "\x80 and \xE6 and &#26085;");
    // Every byte converts to something that converts back to the same byte.
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::string one(1, char(b));
        const std::string utf8 = mtl::cp1250ToUtf8(one);
        EXPECT_TRUE(mtl::isValidUtf8(utf8));
        if (b != 0x81 && b != 0x83 && b != 0x88 && b != 0x90 && b != 0x98) {
            EXPECT_EQ(mtl::utf8ToCp1250Html(utf8), one) << b;
        }
    }
}

TEST(TextCodec, ExactEncodingRefusesWhatItCannotKeep)
{
    char32_t missing = 1;
    EXPECT_EQ(mtl::utf8ToCp1250Exact("Zażółć €", missing), std::optional<std::string>("Za\xBF\xF3\xB3\xE6 \x80"));
    EXPECT_EQ(missing, 0U);
    EXPECT_EQ(mtl::utf8ToCp1250Exact("a日b", missing), std::nullopt);
    EXPECT_EQ(missing, U'日');
    EXPECT_EQ(mtl::utf8ToCp1250Exact("a\xC3(", missing), std::nullopt);
    EXPECT_EQ(missing, 0U);
}

TEST(TextCodec, Utf8Validation)
{
    EXPECT_TRUE(mtl::isValidUtf8("zażółć gęślą jaźń"));
    for (const char* bad : {"\xC3", "\xC3\x28", "\xE2\x82", "\xC0\x80", "\xED\xA0\x80", "\xF5\x80\x80\x80", "\xFF"}) {
        EXPECT_FALSE(mtl::isValidUtf8(bad)) << bad;
    }
    EXPECT_EQ(mtl::decodeText("ok"), "ok");
    EXPECT_EQ(mtl::decodeText("\xB3\xF3\xBF\x6B\x6F"), "łóżko");
}

TEST(ScanModes, IntervalRuleAtTheBoundary)
{
    EXPECT_EQ(mtl::progressIntervalText(0), "0000");
    EXPECT_EQ(mtl::progressIntervalText(99), "99000");
    EXPECT_EQ(mtl::progressIntervalText(100), "10000");
    EXPECT_EQ(mtl::progressIntervalText(250), "25000");
}

TEST(ScanModes, CatalogueIsCompleteAndUnique)
{
    std::set<std::string_view> keys, radios, files;
    for (const auto& mode : mtl::scanModes()) {
        keys.insert(mode.key);
        radios.insert(mode.radioButton);
        files.insert(mode.file);
    }
    EXPECT_EQ(keys.size(), 9u);
    EXPECT_EQ(radios.size(), 9u);
    EXPECT_EQ(files.size(), 9u);
    EXPECT_EQ(mtl::findScanMode("Zaawansowany")->warning, mtl::ModeWarning::W1);
    EXPECT_EQ(mtl::findScanMode("Zaawansowany_Expres")->warning, mtl::ModeWarning::W2);
    EXPECT_EQ(mtl::findScanModeByRadio("RadioButton7")->editorText, "Bezpieczny (Expresowy)");
    EXPECT_EQ(mtl::findScanMode("nope"), nullptr);
    EXPECT_EQ(mtl::warningText(mtl::ModeWarning::W1).title, "Uwaga !! ");
}

} // namespace
