// miotlarz-cli archive: every subcommand on real archives, the exit status (0 success, 1
// failure or damage, 2 usage), damage reported with its offset, volumes present and missing.
#include "backup_fixture.h"

#include <gtest/gtest.h>

#ifdef MIOTLARZ_CLI
constexpr const char* kCli = MIOTLARZ_CLI;
#else
constexpr const char* kCli = MIOTLARZ_PROGRAM_DIR "/miotlarz-cli";
#endif

namespace {

using namespace mtl::test::backup;
namespace bk = mtl::backup;

struct CliRun {
    int status = -1;
    std::string out, err;
};

std::string quote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

CliRun cli(const mtl::test::TempDir& dir, const std::vector<std::string>& args)
{
    std::string command = quote(kCli) + " archive";
    for (const auto& arg : args) command += " " + quote(arg);
    const auto out = dir.path() / "stdout", err = dir.path() / "stderr";
    command += " > " + quote(out.string()) + " 2> " + quote(err.string());
    const int raw = std::system(command.c_str());
    CliRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    run.out = mtl::test::readFile(out);
    run.err = mtl::test::readFile(err);
    return run;
}

class BackupCli : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fs::exists(kCli)) << kCli;
        src = dir.path() / "src";
        fs::create_directories(src / "sub");
        mtl::test::writeFile(src / "a.txt", textBytes(50000));
        mtl::test::writeFile(src / "sub" / "b=c.bin", randomBytes(40000, 3));
        mtl::test::writeFile(src / "empty", "");
        archive = (dir.path() / "a.mtb").string();
    }
    mtl::test::TempDir dir;
    fs::path src;
    std::string archive;
};

TEST_F(BackupCli, UsageErrorsAreStatusTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"unpack", archive},
        {"info"},
        {"info", archive, archive},
        {"create", archive},
        {"create", "--level", "3", archive, src.string()},
        {"create", "--level"},
        {"create", "--volume-size", "many", archive, src.string()},
        {"create", "--bogus", archive, src.string()},
        {"restore", archive, archive},
        {"restore", "--rule", "rmSometimes", archive},
        {"restore", "--to", "", archive},
    };
    for (const auto& args : cases) {
        const CliRun run = cli(dir, args);
        EXPECT_EQ(run.status, 2) << (args.empty() ? "" : args[0]) << " " << run.err;
        EXPECT_NE(run.err.find("usage:"), std::string::npos);
    }
}

TEST_F(BackupCli, CreateInfoListTestRestore)
{
    CliRun run = cli(dir, {"create", "--title", "Plik z: cli", "--level", "9", archive, (src / "* /s").string()});
    ASSERT_EQ(run.status, 0) << run.err;

    run = cli(dir, {"info", archive});
    EXPECT_EQ(run.status, 0);
    const std::string identity = (src / "sub/b=c.bin").string() + "\t";
    EXPECT_NE(run.out.find("title: Plik z: cli\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("files: 3\n"), std::string::npos);

    run = cli(dir, {"list", archive});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.find(identity), 0u) << "subfolders first: " << run.out;
    EXPECT_NE(run.out.find("=40000\n"), std::string::npos);

    run = cli(dir, {"test", archive});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find("OK: 4 records"), 0u) << run.out;  // the identity list and three files

    const auto dest = dir.path() / "dest";
    run = cli(dir, {"restore", "--to", dest.string(), "--full-path", archive});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(mtl::test::readFile(dest / (src / "sub/b=c.bin").relative_path()), randomBytes(40000, 3));

    // Stored paths, with a rule that keeps what is there.
    mtl::test::writeFile(src / "a.txt", "changed");
    run = cli(dir, {"restore", "--rule", "rmNoOverwrite", archive});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(mtl::test::readFile(src / "a.txt"), "changed");
    run = cli(dir, {"restore", archive});
    EXPECT_EQ(mtl::test::readFile(src / "a.txt"), textBytes(50000));

    // Without the identity list, list shows the record names.
    const std::string plain = (dir.path() / "plain.mtb").string();
    ASSERT_EQ(cli(dir, {"create", "--no-id", "--level", "0", plain, (src / "a.txt").string()}).status, 0);
    run = cli(dir, {"list", plain});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, (src / "a.txt").string() + "\n");
}

TEST_F(BackupCli, DamageAndMissingFilesAreStatusOne)
{
    ASSERT_EQ(cli(dir, {"create", "--no-id", archive, (src / "a.txt").string()}).status, 0);
    std::string bytes = mtl::test::readFile(archive);
    // The first chunk's stream starts after header, record and magic.
    const std::size_t chunk = 12 + 4 + (src / "a.txt").string().size() + 4 + 4;
    std::string damaged = bytes;
    damaged[chunk + 4 + 10] ^= 0x55;
    const std::string broken = (dir.path() / "broken.mtb").string();
    mtl::test::writeFile(broken, damaged);

    CliRun run = cli(dir, {"test", broken});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("offset " + std::to_string(chunk)), std::string::npos) << run.err;
    run = cli(dir, {"restore", "--to", (dir.path() / "d").string(), broken});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Błąd przy kompresji pliku kopii zapasowej !"), std::string::npos) << run.err;

    mtl::test::writeFile(broken, bytes.substr(0, bytes.size() - 2));
    EXPECT_EQ(cli(dir, {"test", broken}).status, 1);
    EXPECT_EQ(cli(dir, {"restore", "--to", (dir.path() / "d").string(), broken}).status, 1);

    mtl::test::writeFile(broken, "junk");
    run = cli(dir, {"info", broken});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("To nie jest plik kopii zapasowej programu Miotlarz !"), std::string::npos);
    run = cli(dir, {"restore", "--to", (dir.path() / "d").string(), broken});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Nie można odczytać pliku kopii zapasowej !"), std::string::npos);

    for (const char* command : {"info", "list", "test", "restore"}) {
        EXPECT_EQ(cli(dir, {command, (dir.path() / "none.mtb").string()}).status, 1) << command;
    }
    // A file that cannot be stored whole: the component's error, status 1.
    run = cli(dir, {"create", "--volume-size", "100", archive, (src / "a.txt").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Nie można utworzyć kopii zapasowej pliku !"), std::string::npos);
}

TEST_F(BackupCli, VolumesPresentAndMissing)
{
    CliRun run = cli(dir, {"create", "--volume-size", "30000", archive, (src / "* /s").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto second = bk::volumeFileName(archive, "002"), third = bk::volumeFileName(archive, "003");
    ASSERT_TRUE(fs::exists(third));
    EXPECT_EQ(cli(dir, {"test", archive}).status, 0);
    EXPECT_EQ(cli(dir, {"list", archive}).status, 0);
    run = cli(dir, {"restore", "--to", (dir.path() / "d1").string(), archive});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(mtl::test::readFile(dir.path() / "d1/b=c.bin"), randomBytes(40000, 3));

    fs::rename(third, third + ".away");
    run = cli(dir, {"test", archive});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("volume 3"), std::string::npos) << run.err;
    run = cli(dir, {"restore", "--to", (dir.path() / "d2").string(), archive});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(fs::exists(second));
}

} // namespace
