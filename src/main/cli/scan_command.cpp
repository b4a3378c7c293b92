// miotlarz-cli scan: the program's search engine for scripts. Prints the full path of every
// accepted entry on standard output, one a line in report order, and the walk's statistics
// as the last line of standard error.
#include "commands.h"

#include "core/common/errors.h"
#include "core/common/linelist.h"
#include "core/filters/scanmodes.h"
#include "core/platform/eventpump.h"
#include "core/platform/programfolder.h"
#include "core/scan/easyfilesearch.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace cli {

namespace {

constexpr const char* usage =
    "usage: miotlarz-cli scan [--mode KEY | --masks FILE] [--exclude FILE] [--options N]\n"
    "                         [--size-le BYTES | --size-ge BYTES] [--date KIND:FIRST[:SECOND]] ROOT\n"
    "  --mode KEY      the masks of a scan mode, by its setting name (listed below)\n"
    "  --masks FILE    the masks of a line list file (default: *.*)\n"
    "  --exclude FILE  masks of names to leave out, from a line list file\n"
    "  --options N     sum of 1 subfolders, 2 read-only, 4 hidden, 8 system, 16 folder names,\n"
    "                  32 archive, 64 files without attributes (default 111)\n"
    "  --size-le BYTES, --size-ge BYTES  only entries at most / at least that big\n"
    "  --date KIND:FIRST[:SECOND]  KIND before, after, same (one date) or between (two);\n"
    "                  dates as yyyy-mm-dd, compared with any of the entry's three dates\n"
    "exit status: 0 every folder listed, 1 stopped at a folder that cannot be listed,\n"
    "             2 usage error or invalid mask\n"
    "scan modes:";

void printUsage()
{
    std::fputs(usage, stderr);
    for (const auto& mode : mtl::scanModes())
        std::fprintf(stderr, " %.*s", int(mode.key.size()), mode.key.data());
    std::fputc('\n', stderr);
}

struct UsageError {
    std::string text;
};

template <typename Number>
Number parseNumber(std::string_view text, std::string_view what)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        throw UsageError{std::string(what) + " must be a whole number: '" + std::string(text) + "'"};
    return value;
}

mtl::DateTime parseDate(std::string_view text)
{
    const auto bad = [&] { return UsageError{"a date must be written yyyy-mm-dd: '" + std::string(text) + "'"}; };
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') throw bad();
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9') throw bad();
    const int year = parseNumber<int>(text.substr(0, 4), "year");
    const int month = parseNumber<int>(text.substr(5, 2), "month");
    const int day = parseNumber<int>(text.substr(8, 2), "day");
    static constexpr int monthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > monthDays[month - 1]) throw bad();
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap) throw bad();
    return mtl::DateTime{year, month, day};
}

void applyDate(mtl::TEasyFileSearch& search, std::string_view spec)
{
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t colon = spec.find(':', start);
        parts.push_back(spec.substr(start, colon == std::string_view::npos ? colon : colon - start));
        if (colon == std::string_view::npos) break;
        start = colon + 1;
    }
    const std::string_view kind = parts[0];
    const bool between = kind == "between";
    if (!between && kind != "before" && kind != "after" && kind != "same")
        throw UsageError{"--date: KIND is one of before, after, same, between, not '" + std::string(kind) + "'"};
    if (parts.size() != (between ? 3u : 2u))
        throw UsageError{between ? "--date between needs two dates" : "--date " + std::string(kind) + " needs one date"};
    search.FilterKind.include(mtl::fkFilterOnDate);
    search.DateFilterKind = between ? mtl::dfkBetween
                            : kind == "before" ? mtl::dfkBefore
                            : kind == "after"  ? mtl::dfkAfter
                                               : mtl::dfkSame;
    search.DateFilterFirstDate = parseDate(parts[1]);
    if (between) search.DateFilterSecondDate = parseDate(parts[2]);
}

std::vector<std::string> modeMasks(std::string_view key)
{
    const mtl::ScanMode* mode = mtl::findScanMode(key);
    if (!mode) {
        std::string known;
        for (const auto& m : mtl::scanModes()) known += " " + std::string(m.key);
        throw UsageError{"unknown scan mode '" + std::string(key) + "'; the modes are:" + known};
    }
    return mtl::readLineList(mtl::programFolder() / "Filtry" / std::string(mode->file));
}

// Configures the engine from the arguments; throws UsageError.
void configure(mtl::TEasyFileSearch& search, Args args)
{
    std::optional<std::string> root;
    bool masksGiven = false, sizeGiven = false, dateGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        auto value = [&]() -> std::string_view {
            if (i + 1 >= args.size()) throw UsageError{std::string(arg) + " needs a value"};
            return args[++i];
        };
        if (arg == "--mode" || arg == "--masks") {
            if (masksGiven) throw UsageError{"give either --mode or --masks, once"};
            masksGiven = true;
            const std::string_view given = value();
            search.setFileNames(arg == "--mode" ? modeMasks(given) : mtl::readLineList(std::string(given)));
        } else if (arg == "--exclude") {
            search.setExcludedFiles(mtl::readLineList(std::string(value())));
        } else if (arg == "--options") {
            const auto bits = parseNumber<unsigned>(value(), "--options");
            if (bits > 127) throw UsageError{"--options is a sum of the values 1 to 64, at most 127"};
            search.SearchOptions = mtl::TOptions::fromBits(bits);
        } else if (arg == "--size-le" || arg == "--size-ge") {
            if (sizeGiven) throw UsageError{"give either --size-le or --size-ge, once"};
            sizeGiven = true;
            search.FilterKind.include(mtl::fkFilterOnSize);
            search.SizeFilterKind = arg == "--size-le" ? mtl::sfkSmallerOrEqualTo : mtl::sfkBiggerOrEqualTo;
            search.SizeFilterSize = parseNumber<std::int64_t>(value(), std::string(arg));
        } else if (arg == "--date") {
            if (dateGiven) throw UsageError{"give --date once"};
            dateGiven = true;
            applyDate(search, value());
        } else if (arg.starts_with("--")) {
            throw UsageError{"unknown option " + std::string(arg)};
        } else {
            if (root) throw UsageError{"give one ROOT folder"};
            root = std::string(arg);
        }
    }
    if (!root) throw UsageError{"ROOT folder missing"};
    search.RootPath = *root;
}

} // namespace

int scanCommand(Args args)
{
    mtl::NoEventPump pump;
    mtl::TEasyFileSearch search(pump);
    search.SearchOptions = mtl::TOptions::fromBits(111);
    try {
        configure(search, args);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "miotlarz-cli scan: %s\n", error.text.c_str());
        printUsage();
        return 2;
    } catch (const mtl::Error& error) {  // a mask list that cannot be read
        std::fprintf(stderr, "miotlarz-cli scan: %s\n", error.what());
        return 2;
    }

    // Paths are written through one large buffer: a scan prints many short lines.
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    std::string lastFolder;
    mtl::TStatistics statistics;
    search.OnChangeFolder = [&](const std::string& folder) { lastFolder = folder; };
    search.OnFileFound = [](const mtl::TFileInformations& info) {
        std::fwrite(info.Path.data(), 1, info.Path.size(), stdout);
        std::fwrite(info.Name.data(), 1, info.Name.size(), stdout);
        std::fputc('\n', stdout);
    };
    search.OnStatistics = [&](const mtl::TStatistics& stats) { statistics = stats; };

    bool complete;
    try {
        complete = search.Execute();
    } catch (const mtl::InvalidMaskError& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }
    std::fflush(stdout);
    if (!complete)
        std::fprintf(stderr, "miotlarz-cli scan: cannot list folder '%s': %s\n", lastFolder.c_str(),
                     std::strerror(search.ListingError()));
    std::fprintf(stderr, "FilesFound=%d FoldersWithFiles=%d FoldersFound=%d ElapsedMs=%d\n",
                 statistics.FilesFound, statistics.FoldersWithFiles, statistics.FoldersFound,
                 statistics.ElapsedMs);
    return complete ? 0 : 1;
}

} // namespace cli
