#include "core/common/timestamp.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace mtl {
namespace {

std::string twoDigits(int value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

std::chrono::sys_days toDays(int year, int month, int day)
{
    using namespace std::chrono;
    return sys_days{std::chrono::year{year} / std::chrono::month{unsigned(month)} / std::chrono::day{unsigned(day)}};
}

} // namespace

std::string shortDate(const DateTime& when)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", when.year, when.month, when.day);
    return buffer;
}

std::string longTime(const DateTime& when)
{
    return twoDigits(when.hour) + ':' + twoDigits(when.minute) + ':' + twoDigits(when.second);
}

std::string timeStamp(const DateTime& when)
{
    return shortDate(when) + ' ' + twoDigits(when.hour) + '-' + twoDigits(when.minute) + '-' + twoDigits(when.second);
}

std::optional<Date> parseShortDate(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    // yyyy-MM-dd, with one or two digits for month and day as the system's parser accepts.
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int part = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            if (++digits[part] > (part == 0 ? 4 : 2)) return std::nullopt;
            parts[part] = parts[part] * 10 + (c - '0');
        } else if (c == '-' && part < 2 && digits[part] > 0) {
            ++part;
        } else {
            return std::nullopt;
        }
    }
    if (part != 2 || digits[0] != 4 || digits[2] == 0) return std::nullopt;
    const std::chrono::year_month_day ymd{std::chrono::year{parts[0]}, std::chrono::month{unsigned(parts[1])},
                                          std::chrono::day{unsigned(parts[2])}};
    if (!ymd.ok()) return std::nullopt;
    return Date{parts[0], parts[1], parts[2]};
}

long long ageInDays(const Date& from, const DateTime& now)
{
    using namespace std::chrono;
    const auto start = toDays(from.year, from.month, from.day);
    const auto nowDay = toDays(now.year, now.month, now.day);
    const milliseconds nowMs = duration_cast<milliseconds>(nowDay.time_since_epoch()) + hours(now.hour) +
                               minutes(now.minute) + seconds(now.second) + milliseconds(now.millisecond);
    const milliseconds startMs = duration_cast<milliseconds>(start.time_since_epoch());
    const long long diff = std::llabs((nowMs - startMs).count());
    return diff / (24LL * 3600 * 1000);
}

} // namespace mtl
