// The data set the program cannot scan without: the fourteen files of Filtry, in the order
// in which start-up tests them.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string_view>

namespace mtl {

const std::array<std::string_view, 14>& requiredDataFiles();
// The first required file missing from `filtersFolder`, or nothing when all exist.
std::optional<std::string_view> firstMissingDataFile(const std::filesystem::path& filtersFolder);

} // namespace mtl
