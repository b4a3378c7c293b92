// The details of one file and its risk alert: the band table at every boundary, the attribute
// words, the size and status texts, and the lookup on disk.
#include "core/results/filedetails.h"

#include "support/fakes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

using namespace mtl;

namespace {

struct BandCase {
    std::int64_t size;
    RiskBand band;
};

class RiskBandTable : public ::testing::TestWithParam<BandCase> {};

TEST_P(RiskBandTable, SizeFallsInItsBand)
{
    EXPECT_EQ(riskBandOf(GetParam().size), GetParam().band) << GetParam().size;
}

// Both sizes the table leaves open at each boundary go to the band above it.
INSTANTIATE_TEST_SUITE_P(Boundaries, RiskBandTable, ::testing::Values(
    BandCase{0, RiskBand::Empty},
    BandCase{1, RiskBand::Low},
    BandCase{669'999, RiskBand::Low},
    BandCase{670'000, RiskBand::Medium},
    BandCase{670'001, RiskBand::Medium},
    BandCase{670'002, RiskBand::Medium},
    BandCase{4'749'999, RiskBand::Medium},
    BandCase{4'750'000, RiskBand::High},
    BandCase{4'750'001, RiskBand::High},
    BandCase{4'750'002, RiskBand::High},
    BandCase{10'199'999, RiskBand::High},
    BandCase{10'200'000, RiskBand::VeryHigh},
    BandCase{10'200'001, RiskBand::VeryHigh},
    BandCase{10'200'002, RiskBand::VeryHigh},
    BandCase{2'147'483'648LL, RiskBand::VeryHigh},
    BandCase{50'000'000'000LL, RiskBand::VeryHigh}));

TEST(RiskBandLook, EachBandShowsItsTextsColoursAndSound)
{
    struct Row {
        RiskBand band;
        const char* level;
        const char* indicator;
        std::uint32_t colour;
        AlertPicture picture;
        bool sound;
    };
    const Row rows[] = {
        {RiskBand::Empty, "Niski", "Niski", 0x16873E, AlertPicture::Low, false},
        {RiskBand::Low, "Niski", "Niski", 0x16873E, AlertPicture::Low, false},
        {RiskBand::Medium, "Średni", "Średni", 0x8F6918, AlertPicture::Medium, true},
        {RiskBand::High, "Wysoki", "Wysoki", 0xFF0000, AlertPicture::High, true},
        {RiskBand::VeryHigh, "Wysoki", "Wysoki !", 0xFF0000, AlertPicture::High, true},
    };
    for (const Row& row : rows) {
        const RiskBandLook& look = lookOf(row.band);
        SCOPED_TRACE(row.indicator);
        EXPECT_STREQ(look.level, row.level);
        EXPECT_STREQ(look.indicator, row.indicator);
        EXPECT_EQ(look.levelColour, row.colour);
        EXPECT_EQ(look.picture, row.picture);
        EXPECT_EQ(look.sound, row.sound);
        EXPECT_EQ(look.commentColour.has_value(), row.band == RiskBand::VeryHigh);
    }
    EXPECT_EQ(lookOf(RiskBand::VeryHigh).commentColour, 0x0000FFu);
    EXPECT_STREQ(lookOf(RiskBand::Empty).comment,
                 "Plik jest pusty (0 bajtów). Utworzony po zamknięciu programu i nie został skasowany.");
    EXPECT_STREQ(lookOf(RiskBand::Low).comment, "-");
    EXPECT_STREQ(lookOf(RiskBand::Medium).comment,
                 "Plik jest z przedziału 650KB - 4,5MB i klasyfikuje się do zwrócenia uwagi ze względu "
                 "na swój rozmiar");
    EXPECT_STREQ(lookOf(RiskBand::High).comment,
                 "Plik jest z przedziału 4,5 MB - 10 MB i jest podejrzanie duży. Przeczytaj dostępny opis.");
    EXPECT_STREQ(lookOf(RiskBand::VeryHigh).comment,
                 "Podejrzany, duży rozmiar pliku - ponad 10 MB. Zaleca się utworzenie kopii zapasowej "
                 "tego pliku.");
}

TEST(AttributeText, TableWordsAndCombinations)
{
    const std::pair<std::uint32_t, const char*> cases[] = {
        {1, "Tylko do odczytu"},
        {2, "Ukryty"},
        {4, "Systemowy"},
        {32, "Archiwalny"},
        {128, "Normalny (ustawiony automatycznie)"},
        {256, "Tymczasowy"},
        {2048, "Skompresowany"},
        {0, "Normalny (ustawiony automatycznie)"},
        // Words outside the table name their bits.
        {34, "Ukryty, Archiwalny"},
        {3, "Tylko do odczytu, Ukryty"},
        {16, "Katalog"},
        {18, "Ukryty, Katalog"},
        {64, "Inne (64)"},
        {2 + 64 + 4096, "Ukryty, Inne (4160)"},
    };
    for (const auto& [word, text] : cases) EXPECT_EQ(attributeText(word), text) << word;
}

TEST(FileDetailsTexts, SizeTypeAndStatusLine)
{
    EXPECT_EQ(sizeText(2048), "2048 bajtów, 2 KB");
    EXPECT_EQ(sizeText(1023), "1023 bajtów, 0 KB");
    EXPECT_EQ(sizeText(0), "0 bajtów, 0 KB");
    EXPECT_EQ(sizeText(3'000'000'000LL), "3000000000 bajtów, 2929687 KB");

    const std::pair<const char*, const char*> types[] = {
        {"a.tmp", ".tmp"}, {"a.b.LOG", ".LOG"}, {"README", ""}, {".bashrc", ""}, {".cache.old", ".old"},
        {"a.", "."},
    };
    for (const auto& [name, type] : types) EXPECT_EQ(fileType(name), type) << name;

    const DateTime when{2005, 2, 11, 12, 0, 5, 0};
    const FileDetails details = makeFileDetails("/home/u/tmp/a.tmp", 2048, when, 128);
    EXPECT_EQ(details.name, "a.tmp");
    EXPECT_EQ(details.type, ".tmp");
    EXPECT_EQ(details.size, "2048 bajtów, 2 KB");
    EXPECT_EQ(details.path, "/home/u/tmp/a.tmp");
    EXPECT_EQ(details.comment, "-");
    EXPECT_EQ(details.level, "Niski");
    EXPECT_EQ(details.modified, "2005-02-11,  12:00:05");
    EXPECT_EQ(details.attributes, "Normalny (ustawiony automatycznie)");
    EXPECT_EQ(statusLine(details),
              "Plik: a.tmp    Rozmiar: 2 KB (2048 b)    Dane modyfikacji: 2005-02-11,  12:00:05,  Alert: Niski");

    // The status line ends with the file's own level.
    const FileDetails big = makeFileDetails("/x/b.iso", 10'200'002, when, 128);
    EXPECT_EQ(big.level, "Wysoki");
    EXPECT_EQ(statusLine(big),
              "Plik: b.iso    Rozmiar: 9960 KB (10200002 b)    Dane modyfikacji: 2005-02-11,  12:00:05,  "
              "Alert: Wysoki");
}

class ReadFileDetails : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A fixed zone, so the modification time reads the same on every machine.
        const char* zone = std::getenv("TZ");
        if (zone) m_oldZone = zone;
        m_hadZone = zone != nullptr;
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    void TearDown() override
    {
        if (m_hadZone)
            ::setenv("TZ", m_oldZone.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    std::filesystem::path make(const std::string& name, std::size_t bytes)
    {
        const auto file = m_dir.path() / name;
        test::writeFile(file, std::string(bytes, 'x'));
        // 2005-02-11 12:00:05 UTC
        const timespec times[2] = {{1108123205, 0}, {1108123205, 0}};
        ::utimensat(AT_FDCWD, file.c_str(), times, AT_SYMLINK_NOFOLLOW);
        return file;
    }
    test::TempDir m_dir;

private:
    std::string m_oldZone;
    bool m_hadZone = false;
};

TEST_F(ReadFileDetails, ReadsSizeTimeAndAttributesOfTheFile)
{
    const auto file = make("dane.tmp", 700'000);
    const auto details = readFileDetails(file.string(), AttributeSource::FromFile);
    ASSERT_TRUE(details);
    EXPECT_EQ(details->name, "dane.tmp");
    EXPECT_EQ(details->path, file.string());
    EXPECT_EQ(details->bytes, 700'000);
    EXPECT_EQ(details->band, RiskBand::Medium);
    EXPECT_EQ(details->size, "700000 bajtów, 683 KB");
    EXPECT_EQ(details->modified, "2005-02-11,  12:00:05");
    EXPECT_EQ(details->attributes, "Normalny (ustawiony automatycznie)");
}

TEST_F(ReadFileDetails, HiddenAndReadOnlyFileNamesBothWordsUnlessFromTheIgnoreList)
{
    const auto file = make(".ukryty", 0);
    std::filesystem::permissions(file, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    const auto fromFile = readFileDetails(file.string(), AttributeSource::FromFile);
    ASSERT_TRUE(fromFile);
    EXPECT_EQ(fromFile->attributes, "Tylko do odczytu, Ukryty");
    EXPECT_EQ(fromFile->band, RiskBand::Empty);
    EXPECT_EQ(fromFile->type, "");
    const auto fromIgnoreList = readFileDetails(file.string(), AttributeSource::AlwaysNormal);
    ASSERT_TRUE(fromIgnoreList);
    EXPECT_EQ(fromIgnoreList->attributes, "Normalny (ustawiony automatycznie)");
}

TEST_F(ReadFileDetails, MissingFileOrEmptyPathGivesNothing)
{
    EXPECT_FALSE(readFileDetails((m_dir.path() / "brak.tmp").string(), AttributeSource::FromFile));
    EXPECT_FALSE(readFileDetails("", AttributeSource::FromFile));
}

TEST_F(ReadFileDetails, ALinkIsReportedAsItselfNotItsTarget)
{
    const auto target = make("duzy.bin", 5'000'000);
    const auto link = m_dir.path() / "link.bin";
    std::filesystem::create_symlink(target, link);
    const auto details = readFileDetails(link.string(), AttributeSource::FromFile);
    ASSERT_TRUE(details);
    EXPECT_EQ(details->name, "link.bin");
    EXPECT_LT(details->bytes, 1000);
    EXPECT_EQ(details->band, RiskBand::Low);
}

} // namespace
