#include "core/scan/filesearch.h"

#include "core/scan/fileattributes.h"
#include "core/scan/folderreader.h"
#include "core/scan/maskset.h"

#include <algorithm>
#include <chrono>

namespace mtl {

namespace {

std::uint32_t optionMask(TOptions options)
{
    std::uint32_t mask = 0;
    if (options.contains(okLookForReadOnlyFile)) mask |= fileattr::readOnly;
    if (options.contains(okLookForHiddenFile)) mask |= fileattr::hidden;
    if (options.contains(okLookForSystemFile)) mask |= fileattr::system;
    if (options.contains(okLookForDirectory)) mask |= fileattr::directory;
    if (options.contains(okLookForArchiveFile)) mask |= fileattr::archive;
    return mask;
}

DateTime wholeDay(const DateTime& date) { return DateTime{date.year, date.month, date.day}; }

// The date filter with its two dates already cut to days.
class DateTest {
public:
    DateTest(const SearchSettings& settings)
        : m_access(settings.DateFilterFileAccess),
          m_kind(settings.DateFilterKind),
          m_first(dayNumber(settings.DateFilterFirstDate.year, settings.DateFilterFirstDate.month,
                            settings.DateFilterFirstDate.day)),
          m_second(dayNumber(settings.DateFilterSecondDate.year, settings.DateFilterSecondDate.month,
                             settings.DateFilterSecondDate.day))
    {
    }

    bool passes(const EntryStatus& status) const
    {
        switch (m_access) {
        case dfakCreatedFiles: return hits(status.birthTime);
        case dfakModifiedFiles: return hits(status.modifyTime);
        case dfakOpenedFiles: return hits(status.accessTime);
        case dfakAnyFiles: break;
        }
        return hits(status.birthTime) || hits(status.modifyTime) || hits(status.accessTime);
    }

private:
    bool hits(const timespec& time) const
    {
        const std::int64_t day = localDayNumber(time);
        switch (m_kind) {
        case dfkBetween: return m_first <= day && day <= m_second;
        case dfkBefore: return day < m_first;
        case dfkAfter: return day > m_first;
        case dfkSame: break;
        }
        return day == m_first;
    }

    TDateFilterAccessKind m_access;
    TDateFilterKind m_kind;
    std::int64_t m_first;
    std::int64_t m_second;
};

} // namespace

TFileSearch::TFileSearch(EventPump& pump, DirectoryLister& lister) : m_pump(pump), m_lister(lister) {}

bool TFileSearch::Execute()
{
    using Outcome = MaskSet::Outcome;
    m_listingError = 0;

    // The compared dates are whole days, and the worker keeps them so.
    settings.DateFilterFirstDate = wholeDay(settings.DateFilterFirstDate);
    settings.DateFilterSecondDate = wholeDay(settings.DateFilterSecondDate);

    const MaskSet names(settings.FileNames);
    const MaskSet excluded(settings.ExcludedFiles);
    // A folder is exempt from the name masks when the list holds "*.*".
    const bool foldersNeedNames =
        std::find(settings.FileNames.begin(), settings.FileNames.end(), "*.*") == settings.FileNames.end();
    const TOptions options = settings.SearchOptions;
    const bool recurse = options.contains(okIncludeSubfolder);
    const bool anyFile = options.contains(okLookForAnyFile);
    const std::uint32_t attributeMask = optionMask(options);
    const bool dateFilter = settings.FilterKind.contains(fkFilterOnDate);
    const bool sizeFilter = settings.FilterKind.contains(fkFilterOnSize);
    const DateTest dateTest(settings);

    TStatistics statistics;
    const auto started = std::chrono::steady_clock::now();
    TFileInformations record;  // reused, so reporting allocates only for longer texts
    bool result = true;
    bool fromQueue = false;

    FolderReader reader(m_lister, settings.RootPath, recurse, listAhead, [this] { m_pump.yieldSliced(); });
    while (ListedFolder* folder = reader.next()) {
        if (fromQueue) m_pump.yieldSliced();  // taken from the queue
        fromQueue = true;
        bool holdsAcceptedFile = false;
        if (events.OnChangeFolder) events.OnChangeFolder(folder->folder);
        if (!folder->listing) {
            m_listingError = folder->error;
            result = false;
            break;
        }
        m_pump.yieldSliced();  // the listing is open

        for (const ListedEntry& entry : folder->entries) {
            const std::string_view name = folder->name(entry);
            const bool isFolder = entry.isFolder;
            // Before testing the entry and trying its masks. The mask lists are decided in a
            // few lookups each, so this one time-sliced yield stands for the yields before
            // each mask too: a second one microseconds later could never find its slice due.
            m_pump.yieldSliced();

            // The name tests come last in the acceptance rules but cost no status, so they
            // run first; an entry they reject is rejected whatever the other tests say. A
            // malformed mask they reach is raised only once the entry has passed the tests
            // that come before the masks, as it would be when trying them in that order.
            const Outcome excludedOutcome = excluded.test(name);
            if (excludedOutcome == Outcome::Match) continue;
            Outcome namesOutcome = Outcome::Match;
            if (excludedOutcome != Outcome::Invalid && (!isFolder || foldersNeedNames)) {
                namesOutcome = names.test(name);
                if (namesOutcome == Outcome::NoMatch) continue;
            }

            EntryStatus status;
            if (entry.haveStatus) status = folder->statuses[entry.status];
            else if (!folder->listing->status(folder->cname(entry), status)) continue;  // vanished since it was listed
            const std::uint32_t attributes = attributesOf(name, isFolder, status.mode);
            if ((attributes & attributeMask) == 0 && !(anyFile && !isFolder)) continue;
            if (dateFilter && !dateTest.passes(status)) continue;
            if (sizeFilter) {
                const bool passes = settings.SizeFilterKind == sfkSmallerOrEqualTo
                                        ? status.size <= settings.SizeFilterSize
                                        : status.size >= settings.SizeFilterSize;
                if (!passes) continue;
            }
            if (excludedOutcome == Outcome::Invalid) excluded.raiseInvalid();
            if (namesOutcome == Outcome::Invalid) names.raiseInvalid();

            record.Name.assign(name);
            record.Path.assign(folder->path);
            record.Attr = attributes;
            record.Size = status.size;
            record.CreationTime = localSystemTime(status.birthTime);
            record.LastAccessTime = localSystemTime(status.accessTime);
            record.LastWriteTime = localSystemTime(status.modifyTime);
            if (events.OnAcceptFile && !events.OnAcceptFile(record)) continue;
            if (isFolder) {
                ++statistics.FoldersFound;
            } else {
                ++statistics.FilesFound;
                if (!holdsAcceptedFile) {
                    holdsAcceptedFile = true;
                    ++statistics.FoldersWithFiles;
                }
            }
            if (events.OnFileFound) events.OnFileFound(record);
        }
        if (folder->error != 0) {
            // A listing that broke off has not listed the folder: the walk stops there too.
            m_listingError = folder->error;
            result = false;
            break;
        }
        m_pump.yieldSliced();  // the listing is done with (it closes when the next is taken)
    }

    statistics.ElapsedMs = std::int32_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            std::chrono::steady_clock::now() - started)
                                            .count());
    if (events.OnStatistics) events.OnStatistics(statistics);
    return result;
}

} // namespace mtl
