// The rules behind the two ignore lists: when an entry is already listed, the compare step
// that takes the path ignore list out of the found list, whether a listed path still names a
// file, and the report of the repair command.
//
// Paths follow the file system's identity: on Linux two paths that differ only in letter
// case are different files, so paths compare exactly. Masks keep the masks' own rule: ASCII
// letters compare without regard to case.
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mtl {

enum class IgnoreEntry { Path, Mask };

bool sameIgnoreEntry(std::string_view a, std::string_view b, IgnoreEntry kind);
// Whether some line of `list` equals `entry` as a whole under the rule of its kind.
bool ignoreListHolds(std::span<const std::string> list, std::string_view entry, IgnoreEntry kind);

struct CompareOutcome {
    std::vector<std::size_t> kept;  // indices of the found lines that stay, in order
    std::size_t ignored = 0;        // found lines cancelled by an ignore entry
};

// Each ignore entry cancels at most one equal found line, the first one not yet cancelled;
// found lines without a partner stay. Linear in both lists, so a found list of a whole home
// folder costs no more per line than a small one.
CompareOutcome compareWithIgnoreList(std::span<const std::string> found,
                                     std::span<const std::string> ignored);

// Whether a file is at `path`: anything but a folder counts, a symbolic link included
// (even one whose target is gone), since the link itself is what the scan reported.
bool ignoredFileExists(const std::filesystem::path& path);

// The plain message of "Napraw błędne wpisy ścieżek".
std::string repairReport(std::size_t removed, std::size_t remaining);

} // namespace mtl
