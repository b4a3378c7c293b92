#include "core/scan/intake.h"

#include "core/common/countertext.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>

namespace mtl {

void LineIndex::rebuild(std::span<const std::string> lines)
{
    m_lines.clear();
    m_lines.reserve(lines.size());
    m_lines.insert(lines.begin(), lines.end());
}

std::string numberText(double value)
{
    if (value == std::trunc(value) && std::fabs(value) < 1e15) {
        char digits[32];
        std::snprintf(digits, sizeof digits, "%.0f", value);
        return digits;
    }
    char text[40];
    std::snprintf(text, sizeof text, "%.15G", value);
    return text;
}

std::string listTotalText(std::span<const std::string> lines)
{
    RunningTotal total;
    total.reset(lines);
    return total.text();
}

void RunningTotal::reset(std::span<const std::string> lines)
{
    clear();
    for (const std::string& line : lines) add(parseInteger(line));
}

std::string kbTextOfBytes(std::string_view bytesText)
{
    // Integer division truncates toward zero, as the kilobyte counter always has.
    return kbText(parseInteger(bytesText) / 1024);
}

std::optional<std::int64_t> currentSize(const std::filesystem::path& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) return std::nullopt;
    return std::int64_t(status.st_size);
}

void clearAllAttributes(const std::filesystem::path& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || S_ISLNK(status.st_mode)) return;
    if (status.st_mode & S_IWUSR) return;
    ::chmod(path.c_str(), (status.st_mode & 07777) | S_IWUSR);
}

void ScanClock::tick()
{
    if (++m_seconds < 60) return;
    m_seconds = 0;
    if (++m_minutes < 60) return;
    m_minutes = 0;
    if (++m_hours == 24) m_hours = 0;
}

std::string ScanClock::text() const
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", m_minutes, m_seconds);
    return text;
}

std::string scanTrayHint(int gaugePercent, std::string_view foundText)
{
    return "Miotlarz 9 - [Wykonano: " + std::to_string(gaugePercent) + "%, Znaleziono: " + std::string(foundText)
           + "]";
}

} // namespace mtl
