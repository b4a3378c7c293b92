#include "core/results/ignorelist.h"

#include <algorithm>
#include <system_error>
#include <unordered_map>

namespace mtl {

namespace {

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

} // namespace

bool sameIgnoreEntry(std::string_view a, std::string_view b, IgnoreEntry kind)
{
    if (kind == IgnoreEntry::Path) return a == b;
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

bool ignoreListHolds(std::span<const std::string> list, std::string_view entry, IgnoreEntry kind)
{
    return std::any_of(list.begin(), list.end(),
                       [&](const std::string& line) { return sameIgnoreEntry(line, entry, kind); });
}

CompareOutcome compareWithIgnoreList(std::span<const std::string> found, std::span<const std::string> ignored)
{
    // How many found lines each distinct ignore entry may still cancel.
    std::unordered_map<std::string_view, std::size_t> left;
    left.reserve(ignored.size());
    for (const auto& entry : ignored) ++left[entry];

    CompareOutcome outcome;
    outcome.kept.reserve(found.size());
    for (std::size_t index = 0; index < found.size(); ++index) {
        const auto partner = left.find(found[index]);
        if (partner != left.end() && partner->second > 0) {
            --partner->second;
            ++outcome.ignored;
        } else {
            outcome.kept.push_back(index);
        }
    }
    return outcome;
}

bool ignoredFileExists(const std::filesystem::path& path)
{
    if (path.empty()) return false;
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(path, ec);
    if (ec || !std::filesystem::exists(status)) return false;
    return !std::filesystem::is_directory(status);
}

std::string repairReport(std::size_t removed, std::size_t remaining)
{
    return "Usunięto błędnych odwołań do plików:  " + std::to_string(removed) + "\nPozostało dobrych wpisów:                    "
         + std::to_string(remaining);
}

} // namespace mtl
