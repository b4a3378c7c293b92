// miotlarz-cli scan as a script sees it: what it prints on standard output and standard
// error, and its exit status, run as the built program.
#include "support/fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using mtl::test::TempDir;
using mtl::test::writeFile;

namespace {

struct CliResult {
    int status = -1;
    std::vector<std::string> out;  // lines of standard output
    std::string err;
};

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}

// Runs "[prefix] miotlarz-cli scan ARGS" through the shell, `env` as extra variables.
CliResult runScan(const std::vector<std::string>& args, const std::string& env = "",
                  const std::vector<std::string>& prefix = {})
{
    TempDir scratch;
    const fs::path errFile = scratch.path() / "stderr";
    std::string command = env.empty() ? "" : env + " ";
    for (const auto& p : prefix) command += quoted(p) + " ";
    command += quoted(MIOTLARZ_CLI) + " scan";
    for (const auto& arg : args) command += " " + quoted(arg);
    command += " 2>" + quoted(errFile.string());
    CliResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) result.out.push_back(line);
    result.err = mtl::test::readFile(errFile);
    return result;
}

std::string lastLine(const std::string& text)
{
    std::string trimmed = text;
    while (!trimmed.empty() && trimmed.back() == '\n') trimmed.pop_back();
    const auto newline = trimmed.rfind('\n');
    return newline == std::string::npos ? trimmed : trimmed.substr(newline + 1);
}

void expectStatistics(const CliResult& result, int files, int foldersWithFiles, int folders)
{
    const std::regex pattern("FilesFound=" + std::to_string(files) + " FoldersWithFiles=" +
                             std::to_string(foldersWithFiles) + " FoldersFound=" + std::to_string(folders) +
                             " ElapsedMs=[0-9]+");
    EXPECT_TRUE(std::regex_match(lastLine(result.err), pattern)) << result.err;
}

class CliScan : public testing::Test {
protected:
    void SetUp() override
    {
        root = (dir.path() / "tree").string();
        for (const char* folder : {"tree/sub/deeper", "tree/other"}) fs::create_directories(dir.path() / folder);
        for (const char* file : {"tree/a.tmp", "tree/notes.txt", "tree/Thumbs.db", "tree/sub/b.TMP",
                                 "tree/sub/deeper/c.tmp", "tree/other/d.log"})
            writeFile(dir.path() / file, "");
        writeFile(dir.path() / "tree/big.tmp", std::string(5000, 'x'));
        writeFile(masks, "*.tmp\r\n");
    }

    TempDir dir;
    std::string root;
    std::string masks = (dir.path() / "masks.dat").string();
};

TEST_F(CliScan, PrintsFullPathsInReportOrderAndTheStatistics)
{
    const CliResult result = runScan({"--masks", masks, root});
    EXPECT_EQ(result.status, 0) << result.err;
    ASSERT_EQ(result.out.size(), 4u);
    // The root's finds first, then the next level, then the deepest.
    std::vector<std::string> rootFinds(result.out.begin(), result.out.begin() + 2);
    std::sort(rootFinds.begin(), rootFinds.end());
    EXPECT_EQ(rootFinds, (std::vector<std::string>{root + "/a.tmp", root + "/big.tmp"}));
    EXPECT_EQ(result.out[2], root + "/sub/b.TMP");
    EXPECT_EQ(result.out[3], root + "/sub/deeper/c.tmp");
    expectStatistics(result, 4, 3, 0);
}

TEST_F(CliScan, OptionsFiltersAndLists)
{
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::vector<std::string> expected;  // relative to the root, sorted
    };
    writeFile(dir.path() / "exclude.dat", "big*\r\n*.log\r\n");
    const std::string exclude = (dir.path() / "exclude.dat").string();
    const std::vector<Case> cases{
        {"NoSubfolders", {"--masks", masks, "--options", "110"}, {"a.tmp", "big.tmp"}},
        {"Exclude", {"--masks", masks, "--exclude", exclude}, {"a.tmp", "sub/b.TMP", "sub/deeper/c.tmp"}},
        {"SizeAtLeast", {"--masks", masks, "--size-ge", "4096"}, {"big.tmp"}},
        {"SizeAtMost", {"--masks", masks, "--size-le", "0"}, {"a.tmp", "sub/b.TMP", "sub/deeper/c.tmp"}},
        {"DateLongAgo", {"--masks", masks, "--date", "before:2000-01-01"}, {}},
        {"DateWide", {"--masks", masks, "--date", "between:2000-01-01:2999-12-31"},
         {"a.tmp", "big.tmp", "sub/b.TMP", "sub/deeper/c.tmp"}},
        {"DefaultStarDotStar", {"--options", "110"}, {"Thumbs.db", "a.tmp", "big.tmp", "notes.txt"}},
        {"FolderNames", {"--options", "17"}, {"other", "sub", "sub/deeper"}},
    };
    for (const Case& c : cases) {
        auto args = c.args;
        args.push_back(root);
        const CliResult result = runScan(args);
        EXPECT_EQ(result.status, 0) << c.name << ": " << result.err;
        std::vector<std::string> got;
        for (const auto& line : result.out) got.push_back(line.substr(root.size() + 1));
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

TEST_F(CliScan, ModeTakesTheMasksOfTheProgramFolder)
{
    const fs::path program = dir.path() / "program";
    fs::create_directories(program / "Filtry");
    writeFile(program / "Filtry" / "filtr_a1.dat", "thumbs.db\r\n*.LOG\r\n");
    const CliResult result = runScan({"--mode", "Bezpieczny", root}, "MIOTLARZ_HOME=" + quoted(program.string()));
    EXPECT_EQ(result.status, 0) << result.err;
    std::vector<std::string> got = result.out;
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<std::string>{root + "/Thumbs.db", root + "/other/d.log"}));
}

TEST_F(CliScan, FolderThatCannotBeListedEndsWithStatusOne)
{
    const CliResult result = runScan({"--masks", masks, root + "/missing"});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.out.empty());
    EXPECT_NE(result.err.find(root + "/missing"), std::string::npos) << result.err;
    expectStatistics(result, 0, 0, 0);
}

// A real folder without read permission, for a user who is not root: as root, the tool is
// started as the unprivileged user "nobody" (65534), which root can always switch to.
TEST_F(CliScan, UnreadableFolderForAnUnprivilegedUser)
{
    fs::create_directories(root + "/locked/inside");
    writeFile(root + "/locked/inside/e.tmp", "");
    // Everything else must be readable by the other user.
    for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
        fs::permissions(entry.path(), entry.is_directory() ? fs::perms(0755) : fs::perms(0644));
    fs::permissions(dir.path(), fs::perms(0755));
    fs::permissions(root + "/locked", fs::perms::none);

    std::vector<std::string> prefix;
    if (::geteuid() == 0) prefix = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    const CliResult result = runScan({"--masks", masks, root}, "", prefix);
    fs::permissions(root + "/locked", fs::perms(0755));

    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_NE(result.err.find("'" + root + "/locked'"), std::string::npos) << result.err;
    // Whatever was found before the walk reached it is printed.
    EXPECT_GE(result.out.size(), 2u);
    for (const auto& line : result.out) EXPECT_EQ(line.find("e.tmp"), std::string::npos) << line;
    EXPECT_TRUE(std::find(result.out.begin(), result.out.end(), root + "/a.tmp") != result.out.end());
}

TEST_F(CliScan, UsageErrorsAndInvalidMasksEndWithStatusTwo)
{
    writeFile(dir.path() / "bad.dat", "*.tmp\r\n[abc\r\n");
    const std::string bad = (dir.path() / "bad.dat").string();
    const std::vector<std::vector<std::string>> usageErrors{
        {},
        {root, root},
        {"--frobnicate", root},
        {"--masks"},
        {"--mode", "NoSuchMode", root},
        {"--mode", "Bezpieczny", "--masks", masks, root},
        {"--options", "abc", root},
        {"--options", "128", root},
        {"--size-le", "1", "--size-ge", "2", root},
        {"--size-le", "-x", root},
        {"--date", "soon:2020-01-01", root},
        {"--date", "between:2020-01-01", root},
        {"--date", "same:2020-02-30", root},
        {"--date", "same:2020-1-1", root},
        {"--masks", (dir.path() / "absent.dat").string(), root},
    };
    for (const auto& args : usageErrors) {
        const CliResult result = runScan(args);
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        EXPECT_EQ(result.status, 2) << joined;
        EXPECT_TRUE(result.out.empty()) << joined;
        EXPECT_FALSE(result.err.empty()) << joined;
    }
    // The engine's own message, raised on the first name "*.tmp" does not cover.
    const CliResult result = runScan({"--masks", bad, root});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(lastLine(result.err), "'[abc' is an invalid mask at (5)");
}

} // namespace
