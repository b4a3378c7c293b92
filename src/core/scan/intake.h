// The Qt-free parts of taking found entries in during a scan: the "already listed" index of a
// list of paths, the running size total with its number texts, the file lookup the intake
// makes for each entry, clearing an entry's attributes, and the scan clock. They let the
// window's intake keep a flat cost per entry however long its lists grow.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>

namespace mtl {

// The lines of a list as a set, for the test whether a path is already one of its lines.
// Paths are file identities, and the file system tells letter case apart, so the test is
// exact. The owner keeps it in step with the list, or rebuilds it after outside changes.
class LineIndex {
public:
    void rebuild(std::span<const std::string> lines);
    void add(const std::string& line) { m_lines.insert(line); }
    bool contains(const std::string& line) const { return m_lines.contains(line); }
    void clear() { m_lines.clear(); }
    std::size_t size() const { return m_lines.size(); }

private:
    std::unordered_set<std::string> m_lines;
};

// The general number-to-text conversion of a floating-point total: plain decimal digits for
// a whole number below 10^15, otherwise fifteen significant digits.
std::string numberText(double value);

// The total of a list of decimal lines (the size list, the per-scan found counts), added up
// as a floating-point sum; an empty list gives "0". A line that is not a whole number throws
// ConversionError.
std::string listTotalText(std::span<const std::string> lines);

// The same total kept as the lines are appended, so that showing it after every entry does
// not cost a pass over the list.
class RunningTotal {
public:
    void add(std::int64_t value)
    {
        m_sum += double(value);
        ++m_count;
    }
    void reset(std::span<const std::string> lines);
    void clear()
    {
        m_sum = 0;
        m_count = 0;
    }
    std::size_t count() const { return m_count; }
    std::string text() const { return numberText(m_sum); }

private:
    double m_sum = 0;
    std::size_t m_count = 0;
};

// A byte count given as decimal text, in whole kilobytes (truncated) with " KB". Sizes are
// 64-bit here, so totals beyond 2 GiB still read right. Throws ConversionError for a text
// that is not a whole number.
std::string kbTextOfBytes(std::string_view bytesText);

// The size of the entry at `path` as the file system gives it now (the entry itself, not
// what a link points to); nothing when it cannot be looked up.
std::optional<std::int64_t> currentSize(const std::filesystem::path& path);

// Removes every attribute of a file or folder at once: on this system that gives the owner
// its write permission back (a hidden name is never renamed, a link is left alone). The
// outcome is not examined.
void clearAllAttributes(const std::filesystem::path& path);

// The scanning time of the whole run: seconds, minutes and hours that only ever count on.
class ScanClock {
public:
    // One second more; 60 seconds make a minute, 60 minutes an hour, 24 hours wrap to 0.
    void tick();
    // Minutes and seconds, each with at least two digits: "07:05" (the hours are not shown).
    std::string text() const;
    int hours() const { return m_hours; }

private:
    int m_seconds = 0, m_minutes = 0, m_hours = 0;
};

// The tray icon's hint while a scan runs.
std::string scanTrayHint(int gaugePercent, std::string_view foundText);

} // namespace mtl
