#include "core/scan/fileattributes.h"

#include <sys/stat.h>

namespace mtl {

std::uint32_t attributesOf(std::string_view name, bool isFolder, std::uint32_t mode)
{
    std::uint32_t attributes = 0;
    if (isFolder) attributes |= fileattr::directory;
    if (!name.empty() && name.front() == '.') attributes |= fileattr::hidden;
    if ((mode & S_IWUSR) == 0) attributes |= fileattr::readOnly;
    return attributes == 0 ? fileattr::normal : attributes;
}

TSystemTime localSystemTime(const timespec& time)
{
    std::tm local{};
    const std::time_t seconds = time.tv_sec;
    ::localtime_r(&seconds, &local);
    TSystemTime result;
    result.wYear = std::uint16_t(local.tm_year + 1900);
    result.wMonth = std::uint16_t(local.tm_mon + 1);
    result.wDayOfWeek = std::uint16_t(local.tm_wday);
    result.wDay = std::uint16_t(local.tm_mday);
    result.wHour = std::uint16_t(local.tm_hour);
    result.wMinute = std::uint16_t(local.tm_min);
    result.wSecond = std::uint16_t(local.tm_sec);
    result.wMilliseconds = std::uint16_t(time.tv_nsec / 1000000);
    return result;
}

std::int64_t dayNumber(int year, int month, int day)
{
    // Days from the civil date in the proleptic Gregorian calendar, counted from 1970-01-01.
    const std::int64_t y = std::int64_t(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::int64_t localDayNumber(const timespec& time)
{
    std::tm local{};
    const std::time_t seconds = time.tv_sec;
    ::localtime_r(&seconds, &local);
    return dayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

} // namespace mtl
