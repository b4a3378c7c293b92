// The attribute word and the local times of an entry, as the search engine reports them:
// Linux keeps no attribute bits, so they are derived from what it has (a folder, a name
// beginning with '.', no write permission for the owner), and the file times are turned
// into local civil times and local calendar days.
#pragma once

#include "core/scan/searchtypes.h"

#include <cstdint>
#include <ctime>
#include <string_view>

namespace mtl {

// fileattr bits of an entry: directory, hidden, read-only, or normal when none of them.
std::uint32_t attributesOf(std::string_view name, bool isFolder, std::uint32_t mode);

// The time in the local time zone, split into its fields.
TSystemTime localSystemTime(const timespec& time);

// A calendar date as a day count (0 = 1970-01-01), for comparing whole days.
std::int64_t dayNumber(int year, int month, int day);
// The local calendar day of a time.
std::int64_t localDayNumber(const timespec& time);

} // namespace mtl
