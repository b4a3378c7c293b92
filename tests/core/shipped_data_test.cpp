// Checks of the databases shipped in data/Filtry: the nine mask lists, the two ignore lists,
// the signature file and the two description sources. They guard against the faults a
// hand-edited database picks up: a mask the engine rejects (which aborts every scan of that
// mode), a "safe" mode that deletes logs or documents, a higher mode that loses hits of a
// lower one, counts in sygn.dll that disagree with the lists, and descriptions the details
// dialog or the descriptions tab cannot show. The files are read here with plain streams,
// independently of the program's own readers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kFiltry = fs::path(MIOTLARZ_SOURCE_DIR) / "data" / "Filtry";

// The key the program compares with the one in sygn.dll.
constexpr std::string_view kDatabaseKey = "QW7XRB2TMN5VCP3HZDK8GEF-LS2YTA9NBQ4MXC7PRKWEVAB-31";

const std::vector<std::string> kNormalAndExpressLists = {
    "filtr_a1.dat", "filtr_a2.dat", "filtr_a3.dat",
    "filtr_exp-a1.dat", "filtr_exp-a2.dat", "filtr_exp-a3.dat"};
const std::vector<std::string> kModeLists = {
    "filtr_a1.dat", "filtr_a2.dat", "filtr_a3.dat",
    "filtr_exp-a1.dat", "filtr_exp-a2.dat", "filtr_exp-a3.dat",
    "filtr_user.dat", "filtr_spyware.dat", "filtr_pornware.dat"};
const std::vector<std::string> kAllLineLists = {
    "filtr_a1.dat", "filtr_a2.dat", "filtr_a3.dat",
    "filtr_exp-a1.dat", "filtr_exp-a2.dat", "filtr_exp-a3.dat",
    "filtr_user.dat", "filtr_spyware.dat", "filtr_pornware.dat",
    "filtr_ignoralplik.dat", "filtr_ignoraltyp.dat"};

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "cannot open " << path;
        return {};
    }
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Splits at LF; a text after the last LF is an entry only when it is not empty (the rule
// of the program's line lists). CR is left in place so that the checks can see it.
std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

std::vector<std::string> readList(const std::string& name) { return splitLines(readBytes(kFiltry / name)); }

// Masks compare like the engine compares names: ASCII letters without regard to case,
// every other character exactly.
char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

std::string fold(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), foldAscii);
    return out;
}

std::set<std::string> foldedSet(const std::vector<std::string>& entries)
{
    std::set<std::string> out;
    for (const auto& e : entries) out.insert(fold(e));
    return out;
}

bool isValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t cp = 0;
        if (c < 0x80) { ++i; continue; }
        if (c >= 0xC2 && c <= 0xDF) { length = 2; cp = c & 0x1F; }
        else if (c >= 0xE0 && c <= 0xEF) { length = 3; cp = c & 0x0F; }
        else if (c >= 0xF0 && c <= 0xF4) { length = 4; cp = c & 0x07; }
        else return false;
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return false;
        if (cp >= 0xD800 && cp <= 0xDFFF) return false;
        i += length;
    }
    return true;
}

std::size_t codePoints(std::string_view utf8)
{
    return std::size_t(std::count_if(utf8.begin(), utf8.end(),
                                     [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Why the engine would refuse the mask, or nothing when it accepts it: more than 30 stars,
// a set without its closing bracket, an empty set, or a set that starts with a hyphen.
std::optional<std::string> maskError(std::string_view mask)
{
    if (std::count(mask.begin(), mask.end(), '*') > 30) return "more than 30 stars";
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] != '[') continue;
        std::size_t j = i + 1;
        if (j < mask.size() && mask[j] == '!') ++j;
        if (j >= mask.size()) return "unclosed set";
        if (mask[j] == ']') return "empty set";
        if (mask[j] == '-') return "set starting with '-'";
        const std::size_t close = mask.find(']', j);
        if (close == std::string_view::npos) return "unclosed set";
        i = close;
    }
    return std::nullopt;
}

// One set starting at mask[i] == '[': whether c belongs to it; i is moved past the set.
// Letters are tried in both cases, so the test never under-reports a match.
bool setMatches(std::string_view mask, std::size_t& i, char c)
{
    ++i;
    bool negate = false;
    if (i < mask.size() && mask[i] == '!') { negate = true; ++i; }
    bool hit = false;
    const char lower = foldAscii(c);
    const char upper = (lower >= 'a' && lower <= 'z') ? char(lower - 'a' + 'A') : lower;
    while (i < mask.size() && mask[i] != ']') {
        char from = mask[i], to = mask[i];
        if (i + 2 < mask.size() && mask[i + 1] == '-' && mask[i + 2] != ']') {
            to = mask[i + 2];
            i += 2;
        }
        for (char probe : {lower, upper})
            if (probe >= from && probe <= to) hit = true;
        ++i;
    }
    ++i; // past ']'
    return hit != negate;
}

// The engine's name matching: '*' any run, '?' one character, '[...]' a set; a '?' right
// after a '*' adds nothing; ASCII letters without regard to case. Names here are ASCII.
bool maskMatches(std::string_view mask, std::string_view name)
{
    if (mask.empty()) return name.empty();
    if (mask[0] == '*') {
        std::size_t rest = 1;
        while (rest < mask.size() && (mask[rest] == '*' || mask[rest] == '?')) ++rest;
        for (std::size_t skip = 0; skip <= name.size(); ++skip)
            if (maskMatches(mask.substr(rest), name.substr(skip))) return true;
        return false;
    }
    if (name.empty()) return false;
    if (mask[0] == '?') return maskMatches(mask.substr(1), name.substr(1));
    if (mask[0] == '[') {
        std::size_t i = 0;
        if (!setMatches(mask, i, name[0])) return false;
        return maskMatches(mask.substr(std::min(i, mask.size())), name.substr(1));
    }
    if (foldAscii(mask[0]) != foldAscii(name[0])) return false;
    return maskMatches(mask.substr(1), name.substr(1));
}

std::vector<std::string> matchingMasks(const std::vector<std::string>& masks, std::string_view name)
{
    std::vector<std::string> out;
    for (const auto& m : masks)
        if (maskMatches(m, name)) out.push_back(m);
    return out;
}

std::string joined(const std::vector<std::string>& items)
{
    std::string out;
    for (const auto& s : items) out += (out.empty() ? "" : ", ") + s;
    return out;
}

// --- A small profile (INI) reader with the rules the program's reader follows ---

struct IniSection {
    std::string name;
    std::map<std::string, std::string> values; // folded key -> value
};

struct IniFile {
    std::vector<IniSection> sections;
    std::vector<std::string> problems; // lines that are neither a section, a key nor blank

    const IniSection* find(std::string_view name) const
    {
        for (const auto& s : sections)
            if (fold(s.name) == fold(name)) return &s;
        return nullptr;
    }
    std::string value(std::string_view section, std::string_view key) const
    {
        const IniSection* s = find(section);
        if (!s) return {};
        const auto it = s->values.find(fold(key));
        return it == s->values.end() ? std::string() : it->second;
    }
};

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

IniFile parseIni(const std::string& text)
{
    IniFile ini;
    int number = 0;
    for (std::string line : splitLines(text)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string t = trimmed(line);
        if (t.empty()) continue;
        if (t.front() == '[' && t.back() == ']') {
            ini.sections.push_back({t.substr(1, t.size() - 2), {}});
            continue;
        }
        const auto eq = t.find('=');
        if (eq == std::string::npos || ini.sections.empty()) {
            ini.problems.push_back("line " + std::to_string(number) + ": " + t);
            continue;
        }
        const std::string key = fold(trimmed(std::string_view(t).substr(0, eq)));
        auto& values = ini.sections.back().values;
        if (values.count(key)) ini.problems.push_back("line " + std::to_string(number) + ": repeated key " + key);
        values.emplace(key, trimmed(std::string_view(t).substr(eq + 1)));
    }
    return ini;
}

std::optional<long> wholeNumber(std::string_view text)
{
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

bool hasWildcard(std::string_view mask) { return mask.find_first_of("*?[") != std::string_view::npos; }

// --- Line list files ---

class LineListFile : public ::testing::TestWithParam<std::string> {};

TEST_P(LineListFile, HoldsOneCleanValidMaskPerLine)
{
    const std::string text = readBytes(kFiltry / GetParam());
    // A byte order mark would become part of the first mask; CR in the source would turn
    // into a stray CR before the CR LF the build writes; the program reads the file as
    // Windows-1250 when it is not valid UTF-8.
    EXPECT_NE(text.substr(0, 3), "\xEF\xBB\xBF") << "byte order mark";
    EXPECT_EQ(text.find('\r'), std::string::npos) << "CR in the source (LF only; the build writes CR LF)";
    EXPECT_EQ(text.find('\0'), std::string::npos) << "NUL byte ends the list early";
    EXPECT_TRUE(isValidUtf8(text));
    if (!text.empty()) {
        EXPECT_EQ(text.back(), '\n') << "last entry without a line end";
    }

    std::map<std::string, std::string> seen;
    for (const std::string& mask : splitLines(text)) {
        SCOPED_TRACE("mask '" + mask + "'");
        EXPECT_FALSE(trimmed(mask).empty()) << "empty or blank entry";
        EXPECT_EQ(trimmed(mask), mask) << "blanks around the mask are part of it";
        EXPECT_EQ(mask.find_first_of("/\\"), std::string::npos) << "masks match names, never paths";
        if (const auto error = maskError(mask)) ADD_FAILURE() << "the engine rejects it: " << *error;
        const auto [it, inserted] = seen.emplace(fold(mask), mask);
        EXPECT_TRUE(inserted) << "duplicate of '" << it->second << "'";
    }
}

INSTANTIATE_TEST_SUITE_P(ShippedData, LineListFile, ::testing::ValuesIn(kAllLineLists),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                             std::string name = param.param.substr(0, param.param.find('.'));
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(ShippedData, ModeListsAreNotEmpty)
{
    for (const auto& name : kModeLists) EXPECT_FALSE(readList(name).empty()) << name;
}

// Going up a mode (or from an express list to its full mode) must never lose a hit.
TEST(ShippedData, EveryHigherModeContainsTheLowerOne)
{
    struct Pair { const char* lower; const char* higher; };
    const Pair pairs[] = {
        {"filtr_a1.dat", "filtr_a2.dat"},
        {"filtr_a2.dat", "filtr_a3.dat"},
        {"filtr_exp-a1.dat", "filtr_a1.dat"},
        {"filtr_exp-a2.dat", "filtr_a2.dat"},
        {"filtr_exp-a3.dat", "filtr_a3.dat"},
        {"filtr_exp-a1.dat", "filtr_exp-a2.dat"},
        {"filtr_exp-a2.dat", "filtr_exp-a3.dat"},
    };
    for (const Pair& p : pairs) {
        const std::set<std::string> higher = foldedSet(readList(p.higher));
        std::vector<std::string> missing;
        for (const auto& mask : readList(p.lower))
            if (!higher.count(fold(mask))) missing.push_back(mask);
        EXPECT_TRUE(missing.empty()) << p.higher << " lacks masks of " << p.lower << ": " << joined(missing);
    }
}

TEST(ShippedData, ExpressListsAreLighterThanTheirModes)
{
    for (const char* level : {"a1", "a2", "a3"}) {
        const auto express = readList(std::string("filtr_exp-") + level + ".dat");
        const auto full = readList(std::string("filtr_") + level + ".dat");
        EXPECT_LT(express.size(), full.size()) << level;
    }
}

// Each mode finds the junk its description promises (and the local matcher really matches).
TEST(ShippedData, ModesFindWhatTheyPromise)
{
    const std::string hex32(32, 'a'), hex16 = "0123456789abcdef";
    const struct { const char* list; std::string name; } cases[] = {
        {"filtr_a1.dat", "Thumbs.db"}, {"filtr_a1.dat", "THUMBS.DB"}, {"filtr_a1.dat", ".DS_Store"},
        {"filtr_a1.dat", "util.cpython-311.pyc"}, {"filtr_a1.dat", "thumbcache_256.db"},
        {"filtr_a1.dat", "0f1e2d3c-le64.cache-9"},
        {"filtr_exp-a1.dat", "Thumbs.db"},
        {"filtr_a2.dat", "x.tmp"}, {"filtr_a2.dat", "~$thesis.docx"}, {"filtr_a2.dat", ".~lock.thesis.odt#"},
        {"filtr_a2.dat", "core.12345"}, {"filtr_a2.dat", "hs_err_pid42.log"},
        {"filtr_a2.dat", hex32 + ".png"}, {"filtr_a2.dat", hex16 + "_0"},
        {"filtr_exp-a2.dat", "x.tmp"},
        {"filtr_a3.dat", "error.log"}, {"filtr_a3.dat", "report.log.1"}, {"filtr_a3.dat", "syslog.2.gz"},
        {"filtr_a3.dat", "data.bak"}, {"filtr_a3.dat", "file.old"}, {"filtr_a3.dat", "budget.xls~"},
        {"filtr_a3.dat", ".notes.txt.swp"}, {"filtr_a3.dat", "#notes.txt#"},
        {"filtr_exp-a3.dat", "error.log"},
        {"filtr_user.dat", "x.tmp"},
        {"filtr_spyware.dat", "msblast.exe"}, {"filtr_spyware.dat", "holiday.jpg.exe"},
        {"filtr_spyware.dat", "kthreaddk"},
        {"filtr_pornware.dat", "free-porn-banner.gif"}, {"filtr_pornware.dat", "gallery_xxx_01.jpg"},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(matchingMasks(readList(c.list), c.name).empty()) << c.list << " misses '" << c.name << "'";
}

// "Bezpieczny" may only find what programs recreate by themselves.
TEST(ShippedData, SafeModeNeverMatchesLogsBackupsOrDocuments)
{
    const char* const userFiles[] = {
        "error.log", "report.log.1", "thesis.docx", "notes.txt", "photo.jpg", "data.bak",
        "file.old", "budget.xls~", "main.c",
        // unsaved work of editors and office programs
        ".notes.txt.swp", "#notes.txt#", "thesis.docx.asd", "~$thesis.docx",
        // a download that can still be resumed, a database journal, a sourceless module
        "movie.iso.part", "places.sqlite-wal", "module.pyc", "core",
    };
    for (const char* list : {"filtr_a1.dat", "filtr_exp-a1.dat"}) {
        const auto masks = readList(list);
        for (const char* name : userFiles) {
            const auto hits = matchingMasks(masks, name);
            EXPECT_TRUE(hits.empty()) << list << " matches '" << name << "' by " << joined(hits);
        }
    }
}

// Ordinary documents, media, sources and archives must not be found by any mode.
TEST(ShippedData, NoModeMatchesOrdinaryUserFiles)
{
    const char* const userFiles[] = {
        "thesis.docx", "notes.txt", "photo.jpg", "song.mp3", "video.mkv", "main.c", "Makefile",
        "archive.zip", "backup.tar.gz", "letter.odt", "budget.xlsx", "index.html", "id_rsa",
        ".bashrc", "places.sqlite", "game.sav", "model.obj", "galaxy.fts", "token.sol",
        "setup.exe", "libfoo.so.1", "README", "core.py", "Essex-map.jpg",
    };
    for (const auto& list : kModeLists) {
        const auto masks = readList(list);
        for (const char* name : userFiles) {
            const auto hits = matchingMasks(masks, name);
            EXPECT_TRUE(hits.empty()) << list << " matches '" << name << "' by " << joined(hits);
        }
    }
}

// The shipped mask ignore list protects files that look temporary but that running programs
// need, and nothing else: it is applied in every mode, so a broad mask would hide real junk.
TEST(ShippedData, IgnoreListsProtectOnlyWhatTheyMustProtect)
{
    EXPECT_TRUE(readList("filtr_ignoralplik.dat").empty()) << "the path ignore list ships empty";

    const auto ignore = readList("filtr_ignoraltyp.dat");
    const char* const protectedFiles[] = {
        "places.sqlite-wal", "cookies.sqlite-journal", "000003.log", "NTUSER.DAT.LOG1",
        "ntuser.dat.LOG", "edb.log", "ib_logfile0", "postmaster.pid", ".#lk0x00005581.host.1234",
    };
    for (const char* name : protectedFiles)
        EXPECT_FALSE(matchingMasks(ignore, name).empty()) << "'" << name << "' is not protected";

    const char* const junk[] = {
        "error.log", "setup.log", "x.tmp", "Thumbs.db", "report.log.1", "debug.log", "npm-debug.log",
        "syslog.1.gz", "file.bak", "20240101.log",
    };
    for (const char* name : junk) {
        const auto hits = matchingMasks(ignore, name);
        EXPECT_TRUE(hits.empty()) << "'" << name << "' is hidden by " << joined(hits);
    }
}

// A mask in several lists is spelled the same in each, so the distinct counts of sygn.dll do
// not depend on whether letter case is compared.
TEST(ShippedData, SharedMasksAreSpelledAlike)
{
    std::map<std::string, std::pair<std::string, std::string>> first; // folded -> spelling, list
    for (const auto& list : kModeLists) {
        for (const auto& mask : readList(list)) {
            const auto [it, inserted] = first.emplace(fold(mask), std::make_pair(mask, list));
            if (!inserted) {
                EXPECT_EQ(it->second.first, mask) << list << " spells a mask of " << it->second.second << " differently";
            }
        }
    }
}

// --- sygn.dll ---

TEST(ShippedData, SignatureFileMatchesTheLists)
{
    const IniFile sygn = parseIni(readBytes(kFiltry / "sygn.dll"));
    EXPECT_TRUE(sygn.problems.empty()) << joined(sygn.problems);

    EXPECT_EQ(sygn.value("sygn", "key"), kDatabaseKey);
    EXPECT_FALSE(sygn.value("vers", "code").empty());
    const auto mode = wholeNumber(sygn.value("vers", "mode"));
    ASSERT_TRUE(mode.has_value()) << "vers/mode is not a whole number";
    EXPECT_GT(*mode, 0);

    const std::string date = sygn.value("sygn", "data");
    ASSERT_EQ(date.size(), 10u) << date;
    EXPECT_TRUE(date[4] == '-' && date[7] == '-') << date;
    const auto year = wholeNumber(date.substr(0, 4)), month = wholeNumber(date.substr(5, 2)),
               day = wholeNumber(date.substr(8, 2));
    ASSERT_TRUE(year && month && day) << date;
    EXPECT_TRUE(*year >= 2000 && *month >= 1 && *month <= 12 && *day >= 1 && *day <= 31) << date;

    std::set<std::string> used;
    for (const auto& list : kNormalAndExpressLists) {
        const auto masks = foldedSet(readList(list));
        used.insert(masks.begin(), masks.end());
    }
    const auto userMasks = foldedSet(readList("filtr_user.dat"));
    used.insert(userMasks.begin(), userMasks.end());
    std::set<std::string> all = used;
    const auto spyware = readList("filtr_spyware.dat");
    const auto pornware = readList("filtr_pornware.dat");
    for (const auto* extra : {&spyware, &pornware})
        for (const auto& m : *extra) all.insert(fold(m));

    EXPECT_EQ(wholeNumber(sygn.value("base", "sygn_uz")), long(used.size()));
    EXPECT_EQ(wholeNumber(sygn.value("base", "sygn_ws")), long(all.size()));
    EXPECT_EQ(wholeNumber(sygn.value("base", "sygn_sp")), long(spyware.size()));
    EXPECT_EQ(wholeNumber(sygn.value("base", "sygn_po")), long(pornware.size()));
}

// --- filtr_descript.dat ---

class DescriptionDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        text_ = readBytes(kFiltry / "filtr_descript.dat");
        ini_ = parseIni(text_);
    }
    std::string text_;
    IniFile ini_;
};

TEST_F(DescriptionDatabase, EverySectionIsACompleteDescription)
{
    EXPECT_TRUE(isValidUtf8(text_));
    EXPECT_TRUE(ini_.problems.empty()) << joined(ini_.problems);
    ASSERT_FALSE(ini_.sections.empty());

    std::set<std::string> names;
    for (const IniSection& s : ini_.sections) {
        SCOPED_TRACE("section [" + s.name + "]");
        // The profile reader finds only the first of two sections with the same name.
        EXPECT_TRUE(names.insert(fold(s.name)).second) << "repeated section";
        const auto value = [&](const std::string& key) {
            const auto it = s.values.find(fold(key));
            return it == s.values.end() ? std::string() : it->second;
        };
        // A section whose description key is misspelt would silently show "?".
        EXPECT_FALSE(value(s.name).empty()) << "no description under the key [" << s.name << "]";
        EXPECT_FALSE(value("sygnatura").empty());
        const auto pos = wholeNumber(value("pos"));
        ASSERT_TRUE(pos.has_value()) << "pos '" << value("pos") << "' is not a whole number";
        EXPECT_TRUE(*pos >= 0 && *pos <= 100) << "pos " << *pos;
        if (fold(s.name) == fold("Brak danych")) continue; // its "typ" is never read
        const std::string typ = value("typ");
        EXPECT_TRUE(typ.size() == 1 && typ[0] >= '0' && typ[0] <= '9') << "typ '" << typ << "'";
    }
    EXPECT_NE(ini_.find("Brak danych"), nullptr) << "no text for files the database does not know";
}

// A found file is looked up by its name, then by its extension; every fixed name and every
// plain "*.ext" mask of the lists should lead to a description.
TEST_F(DescriptionDatabase, DescribesTheNamesAndTypesOfTheLists)
{
    for (const auto& list : kModeLists) {
        for (const auto& mask : readList(list)) {
            if (!hasWildcard(mask)) {
                EXPECT_NE(ini_.find(mask), nullptr) << list << ": no section [" << mask << "]";
                continue;
            }
            const std::string_view tail = std::string_view(mask).substr(1);
            if (mask[0] != '*' || hasWildcard(tail) || tail.find('.') == std::string_view::npos) continue;
            const std::string extension(tail.substr(tail.rfind('.')));
            EXPECT_NE(ini_.find(extension), nullptr) << list << ": no section [" << extension << "] for " << mask;
        }
    }
}

// --- filtr_opisy.txt ---

struct OpisyItem {
    int image;
    std::string caption;
    std::string description;
};

TEST(ShippedData, DescriptionsListSourceParsesAndCoversTheModes)
{
    const std::string text = readBytes(kFiltry / "filtr_opisy.txt");
    EXPECT_TRUE(isValidUtf8(text));
    EXPECT_EQ(text.find('\r'), std::string::npos);

    std::vector<OpisyItem> items;
    int number = 0;
    for (const std::string& line : splitLines(text)) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        SCOPED_TRACE("line " + std::to_string(number) + ": " + line);
        const auto tab1 = line.find('\t');
        const auto tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        ASSERT_NE(tab2, std::string::npos) << "expected IMAGE<TAB>CAPTION<TAB>DESCRIPTION";
        EXPECT_EQ(line.find('\t', tab2 + 1), std::string::npos) << "more than three fields";
        const auto image = wholeNumber(std::string_view(line).substr(0, tab1));
        ASSERT_TRUE(image.has_value());
        EXPECT_TRUE(*image >= -1 && *image <= 7) << "image " << *image;
        OpisyItem item{int(*image), line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1)};
        EXPECT_FALSE(trimmed(item.caption).empty());
        EXPECT_EQ(trimmed(item.caption), item.caption);
        EXPECT_FALSE(trimmed(item.description).empty());
        EXPECT_LE(codePoints(item.description), 250u);
        items.push_back(std::move(item));
    }
    ASSERT_FALSE(items.empty());

    std::set<std::string> captions;
    for (const auto& item : items)
        EXPECT_TRUE(captions.insert(item.caption).second) << "caption '" << item.caption << "' twice";

    // Every mask of the three normal modes (sets aside) appears as a caption, either itself
    // or as the extension of a "*.ext" mask.
    for (const char* list : {"filtr_a1.dat", "filtr_a2.dat", "filtr_a3.dat"}) {
        for (const auto& mask : readList(list)) {
            if (mask.find('[') != std::string::npos) continue;
            const bool covered = captions.count(mask) || (mask[0] == '*' && captions.count(mask.substr(1)));
            EXPECT_TRUE(covered) << list << ": no description of " << mask;
        }
    }
}

} // namespace
