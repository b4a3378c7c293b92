// The vocabulary of the file search engine: its option and filter enumerations with their
// bit-set types, the record handed out for every accepted entry, and the run statistics.
// The window writes the option set as a byte and the command-line tool takes it as a number,
// so the bit values (bit n for the value of ordinal n) are part of the interface.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace mtl {

enum TOptionsKind {
    okIncludeSubfolder,     // 1
    okLookForReadOnlyFile,  // 2
    okLookForHiddenFile,    // 4
    okLookForSystemFile,    // 8
    okLookForDirectory,     // 16
    okLookForArchiveFile,   // 32
    okLookForAnyFile,       // 64
};

enum TFilterKind {
    fkFilterOnDate,  // 1
    fkFilterOnSize,  // 2
};

enum TDateFilterAccessKind { dfakCreatedFiles, dfakModifiedFiles, dfakOpenedFiles, dfakAnyFiles };
enum TDateFilterKind { dfkBetween, dfkBefore, dfkAfter, dfkSame };
enum TSizeFilterKind { sfkSmallerOrEqualTo, sfkBiggerOrEqualTo };

// A set of enumeration values stored as a bit field: bit n stands for the value of ordinal n.
template <typename Kind>
class EnumSet {
public:
    constexpr EnumSet() = default;
    constexpr EnumSet(std::initializer_list<Kind> kinds)
    {
        for (Kind kind : kinds) include(kind);
    }
    static constexpr EnumSet fromBits(std::uint32_t bits)
    {
        EnumSet set;
        set.m_bits = bits;
        return set;
    }

    constexpr std::uint32_t bits() const { return m_bits; }
    constexpr bool contains(Kind kind) const { return (m_bits >> unsigned(kind)) & 1u; }
    constexpr bool empty() const { return m_bits == 0; }
    constexpr EnumSet& include(Kind kind)
    {
        m_bits |= 1u << unsigned(kind);
        return *this;
    }
    constexpr EnumSet& exclude(Kind kind)
    {
        m_bits &= ~(1u << unsigned(kind));
        return *this;
    }

    friend constexpr bool operator==(EnumSet, EnumSet) = default;

private:
    std::uint32_t m_bits = 0;
};

using TOptions = EnumSet<TOptionsKind>;
using TFilter = EnumSet<TFilterKind>;

// Every option: what the component starts with.
inline constexpr TOptions allSearchOptions = TOptions::fromBits(0x7F);

// The attribute bits of `TFileInformations::Attr`. Linux has only some of them: a folder, a
// name beginning with '.' (hidden) and a file the owner may not write (read-only); an entry
// with none of these reports the normal attribute.
namespace fileattr {
inline constexpr std::uint32_t readOnly = 1;
inline constexpr std::uint32_t hidden = 2;
inline constexpr std::uint32_t system = 4;
inline constexpr std::uint32_t directory = 16;
inline constexpr std::uint32_t archive = 32;
inline constexpr std::uint32_t normal = 128;
} // namespace fileattr

// A local civil time split into its fields, as the records carry their three times.
struct TSystemTime {
    std::uint16_t wYear = 0;
    std::uint16_t wMonth = 0;      // 1..12
    std::uint16_t wDayOfWeek = 0;  // 0 Sunday .. 6 Saturday
    std::uint16_t wDay = 0;        // 1..31
    std::uint16_t wHour = 0;
    std::uint16_t wMinute = 0;
    std::uint16_t wSecond = 0;
    std::uint16_t wMilliseconds = 0;

    friend bool operator==(const TSystemTime&, const TSystemTime&) = default;
};

// One accepted entry.
struct TFileInformations {
    std::string Name;         // the entry's name without its folder
    std::string Path;         // the folder being listed, always ending in '/'
    std::uint32_t Attr = 0;   // fileattr bits
    std::int64_t Size = 0;    // bytes (the full size: this build does not cut it to 32 bits)
    TSystemTime CreationTime;   // birth time where the file system keeps one, else status change
    TSystemTime LastAccessTime;
    TSystemTime LastWriteTime;
};

struct TStatistics {
    std::int32_t FilesFound = 0;        // accepted entries that are not folders
    std::int32_t FoldersWithFiles = 0;  // folders in which at least one of those was accepted
    std::int32_t FoldersFound = 0;      // accepted entries that are folders
    std::int32_t ElapsedMs = 0;         // from the start of the walk to its end

    friend bool operator==(const TStatistics&, const TStatistics&) = default;
};

} // namespace mtl
