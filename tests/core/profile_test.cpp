// The profile file reader's rules, and the signature file read through it.
#include "core/filters/signature.h"
#include "core/common/textcodec.h"
#include "core/platform/profile.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

namespace {

using mtl::ProfileFile;

TEST(ProfileFile, ReadsWithTheSystemRules)
{
    const auto profile = ProfileFile::parse(
        "[Vers]\r\n"
        "  Code =  2026.12  \r\n"
        "quoted=\"  in quotes  \"\r\n"
        "single='x'\r\n"
        "half=\"open\n"
        "empty=\n"
        "[vers]\n"
        "code=second section with the same name\n"
        "late=only in the repeated section\n"
        "[other]\n"
        "code=other\n"
        "code=repeated key\n");
    EXPECT_EQ(profile.readString("vers", "code"), "2026.12");
    EXPECT_EQ(profile.readString("VERS", "CODE"), "2026.12");
    EXPECT_EQ(profile.readString("vers", "quoted"), "  in quotes  ");
    EXPECT_EQ(profile.readString("vers", "single"), "x");
    EXPECT_EQ(profile.readString("vers", "half"), "\"open");
    EXPECT_EQ(profile.readString("vers", "empty", "default"), "");
    EXPECT_EQ(profile.readString("vers", "late"), "only in the repeated section");
    EXPECT_EQ(profile.readString("other", "code"), "other");
    EXPECT_EQ(profile.readString("vers", "missing", "dflt"), "dflt");
    EXPECT_EQ(profile.readString("missing", "code"), "");
}

TEST(ProfileFile, CutsValuesTo2047Characters)
{
    const std::string longValue(3000, 'x');
    std::string letters;
    for (int i = 0; i < 2100; ++i) letters += "ż";
    const auto profile = ProfileFile::parse("[s]\na=" + longValue + "\nb=" + letters + "\n");
    EXPECT_EQ(profile.readString("s", "a").size(), 2047u);
    // Characters, not bytes: a Polish letter is never split.
    const std::string b = profile.readString("s", "b");
    EXPECT_EQ(b.size(), 2047u * 2);
}

TEST(ProfileFile, MissingFileReadsAsDefaults)
{
    const auto profile = ProfileFile::load("/nonexistent/sygn.dll");
    EXPECT_EQ(profile.readString("sygn", "key", "d"), "d");
}

TEST(ProfileFile, Windows1250FileIsConverted)
{
    const auto profile = ProfileFile::parse(mtl::decodeText("[a]\nb=\xB3\xF3\xBF\x6B\x6F\n"));
    EXPECT_EQ(profile.readString("a", "b"), "łóżko");
}

struct KeyCase {
    const char* name;
    std::string keyLine;
    bool matches;
};

class SignatureKey : public testing::TestWithParam<KeyCase> {};

TEST_P(SignatureKey, IsCheckedWholeAndCaseSensitive)
{
    mtl::test::TempDir dir;
    mtl::test::writeFile(dir.path() / "sygn.dll",
                         "[vers]\ncode=2026.12\nmode=12\n[sygn]\ndata=2026-12-01\n" + GetParam().keyLine +
                             "\n[base]\nsygn_uz=10\nsygn_ws=20\nsygn_sp=3\nsygn_po=4\n");
    const auto s = mtl::readSignature(dir.path() / "sygn.dll");
    EXPECT_EQ(mtl::signatureKeyMatches(s.key), GetParam().matches);
    EXPECT_EQ(s.code, "2026.12");
    EXPECT_EQ(s.mode, "12");
    EXPECT_EQ(s.date, "2026-12-01");
    EXPECT_EQ(s.used, "10");
    EXPECT_EQ(s.all, "20");
    EXPECT_EQ(s.spyware, "3");
    EXPECT_EQ(s.pornware, "4");
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SignatureKey,
    testing::Values(KeyCase{"Exact", "key=QW7XRB2TMN5VCP3HZDK8GEF-LS2YTA9NBQ4MXC7PRKWEVAB-31", true},
                    KeyCase{"BlanksAround", "key =   QW7XRB2TMN5VCP3HZDK8GEF-LS2YTA9NBQ4MXC7PRKWEVAB-31  ", true},
                    KeyCase{"Quoted", "key=\"QW7XRB2TMN5VCP3HZDK8GEF-LS2YTA9NBQ4MXC7PRKWEVAB-31\"", true},
                    KeyCase{"LowerCase", "key=qw7xrb2tmn5vcp3hzdk8gef-ls2yta9nbq4mxc7prkwevab-31", false},
                    KeyCase{"OneCharacterShort", "key=QW7XRB2TMN5VCP3HZDK8GEF-LS2YTA9NBQ4MXC7PRKWEVAB-3", false},
                    KeyCase{"Missing", "other=1", false},
                    KeyCase{"Empty", "key=", false}),
    [](const testing::TestParamInfo<KeyCase>& param) { return std::string(param.param.name); });

TEST(Signature, ShippedFileCarriesTheProgramsKey)
{
    const auto s = mtl::readSignature(std::filesystem::path(MIOTLARZ_PROGRAM_DIR) / "Filtry" / "sygn.dll");
    EXPECT_TRUE(mtl::signatureKeyMatches(s.key));
    EXPECT_FALSE(s.date.empty());
}

} // namespace
