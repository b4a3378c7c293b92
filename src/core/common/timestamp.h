// The program's time stamp and its fixed date and time formats (short date yyyy-MM-dd, long
// time HH:mm:ss).
#pragma once

#include "core/platform/clock.h"

#include <optional>
#include <string>
#include <string_view>

namespace mtl {

// "2005-02-11 12-00-05": the date, a blank, and the time with '-' for ':'. It holds no colon,
// so it can be part of a file name.
std::string timeStamp(const DateTime& when);
std::string shortDate(const DateTime& when);  // "2005-02-11"
std::string longTime(const DateTime& when);   // "12:00:05"

struct Date {
    int year = 0, month = 0, day = 0;
    friend bool operator==(const Date&, const Date&) = default;
};
// Reads a date in the short date format (year first, four-digit year; blanks around it
// allowed). Nothing when the text is not a valid date.
std::optional<Date> parseShortDate(std::string_view text);

// Whole days from `from` at midnight to `now`, as an absolute value cut down to whole days.
long long ageInDays(const Date& from, const DateTime& now);

} // namespace mtl
