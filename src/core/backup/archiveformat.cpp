#include "core/backup/archiveformat.h"

#include <cstdio>

namespace mtl::backup {

void appendInt32(std::string& out, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    const char bytes[4] = {static_cast<char>(bits & 0xFF), static_cast<char>((bits >> 8) & 0xFF),
                           static_cast<char>((bits >> 16) & 0xFF), static_cast<char>((bits >> 24) & 0xFF)};
    out.append(bytes, 4);
}

std::int32_t loadInt32(const unsigned char* bytes)
{
    const std::uint32_t bits = std::uint32_t(bytes[0]) | (std::uint32_t(bytes[1]) << 8)
        | (std::uint32_t(bytes[2]) << 16) | (std::uint32_t(bytes[3]) << 24);
    return static_cast<std::int32_t>(bits);
}

std::string volumeDigits(int volume)
{
    const std::string text = "00" + std::to_string(volume);
    return text.substr(text.size() - 3);
}

std::string continuationName(int nextVolume)
{
    return std::string(kContinuationPrefix) + volumeDigits(nextVolume);
}

bool isContinuationName(std::string_view name)
{
    return name.starts_with(kContinuationPrefix);
}

std::optional<int> continuationVolume(std::string_view name)
{
    if (!isContinuationName(name) || name.size() != kContinuationPrefix.size() + 3) return std::nullopt;
    int number = 0;
    for (char c : name.substr(kContinuationPrefix.size())) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return number;
}

std::string volumeFileName(std::string_view archiveName, std::string_view digits)
{
    // The extension is what follows the last dot of the last path element.
    const std::size_t slash = archiveName.rfind('/');
    const std::size_t dot = archiveName.rfind('.');
    const bool hasExtension = dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
    std::string name(hasExtension ? archiveName.substr(0, dot) : archiveName);
    name += '.';
    name += digits;
    return name;
}

std::int32_t packDosDate(std::time_t when)
{
    std::tm local{};
    if (!::localtime_r(&when, &local)) local = std::tm{};
    int year = local.tm_year + 1900;
    int month = local.tm_mon + 1, day = local.tm_mday;
    int hour = local.tm_hour, minute = local.tm_min, second = local.tm_sec;
    if (year < 1980) {
        year = 1980, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    } else if (year > 2107) {
        year = 2107, month = 12, day = 31, hour = 23, minute = 59, second = 58;
    }
    if (second > 59) second = 59;  // a leap second
    const std::uint32_t date = std::uint32_t((year - 1980) * 512 + month * 32 + day);
    const std::uint32_t time = std::uint32_t(hour * 2048 + minute * 32 + second / 2);
    return static_cast<std::int32_t>((date << 16) | time);
}

std::optional<std::time_t> unpackDosDate(std::int32_t packed)
{
    const auto bits = static_cast<std::uint32_t>(packed);
    const std::uint32_t date = bits >> 16, time = bits & 0xFFFF;
    std::tm local{};
    local.tm_year = int(date >> 9) + 1980 - 1900;
    local.tm_mon = int((date >> 5) & 15) - 1;
    local.tm_mday = int(date & 31);
    local.tm_hour = int(time >> 11);
    local.tm_min = int((time >> 5) & 63);
    local.tm_sec = int(time & 31) * 2;
    local.tm_isdst = -1;
    if (local.tm_mon < 0 || local.tm_mon > 11 || local.tm_mday < 1 || local.tm_hour > 23
        || local.tm_min > 59 || local.tm_sec > 59) {
        return std::nullopt;
    }
    // mktime would look at the time zone file again for every date (a file system call per
    // restored file); the fields read as UTC and then moved by the local offset give the
    // same time, the offset taken again when the first guess lands across a change of it.
    const std::time_t asUtc = ::timegm(&local);
    if (asUtc == std::time_t(-1)) return std::nullopt;
    auto offsetAt = [](std::time_t when) {
        std::tm converted{};
        return ::localtime_r(&when, &converted) ? converted.tm_gmtoff : 0L;
    };
    std::time_t result = asUtc - offsetAt(asUtc);
    const long second = offsetAt(result);
    if (asUtc - second != result) result = asUtc - second;
    return result;
}

std::string_view errorText(std::int32_t code)
{
    switch (code) {
    case kErrReadData: return kTextReadData;
    case kErrReadArchive: return kTextReadArchive;
    case kErrCreateArchive: return kTextCreateArchive;
    case kErrNotArchive: return kTextNotArchive;
    case kErrCompression: return kTextCompression;
    case kErrTempFile: return kTextTempFile;
    default: return {};
    }
}

std::string insertDiskText(std::string_view number)
{
    std::string text(kTextInsertDisk);
    text.replace(text.find("%s"), 2, number);
    return text;
}

} // namespace mtl::backup
