// The worker of the search engine: it walks the tree breadth-first from the root with its own
// copy of the settings, decides for every entry whether it is accepted and reports through
// the events. `TEasyFileSearch` (easyfilesearch.h) owns one and fills it before every run.
//
// Cost of an entry: the folder bit comes from the listing, which a helper thread reads ahead
// (folderreader.h); the mask lists are compiled once per run (maskset.h); the entry's status
// is read only when its name passed the mask lists (then the attribute, date and size tests
// and the record need it) or the listing did not give its type; path texts are built only
// for folders that are queued and entries that are reported. Yields are time-sliced, one
// per entry and a few per folder.
#pragma once

#include "core/platform/clock.h"
#include "core/platform/eventpump.h"
#include "core/scan/directorylister.h"
#include "core/scan/searchtypes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mtl {

// Everything a run reads, copied from the component when the run starts.
struct SearchSettings {
    TOptions SearchOptions = allSearchOptions;
    TFilter FilterKind;
    TDateFilterAccessKind DateFilterFileAccess = dfakAnyFiles;
    TDateFilterKind DateFilterKind = dfkSame;
    DateTime DateFilterFirstDate;
    DateTime DateFilterSecondDate;
    TSizeFilterKind SizeFilterKind = sfkSmallerOrEqualTo;
    std::int64_t SizeFilterSize = 0;
    std::vector<std::string> ExcludedFiles;
    std::vector<std::string> FileNames{"*.*"};
    std::string RootPath = "./";
};

// The four events; a handler that is not set is skipped. They are called on the thread that
// runs the walk.
struct SearchEvents {
    std::function<void(const TFileInformations&)> OnFileFound;
    std::function<bool(const TFileInformations&)> OnAcceptFile;
    std::function<void(const std::string&)> OnChangeFolder;
    std::function<void(const TStatistics&)> OnStatistics;
};

class TFileSearch {
public:
    TFileSearch(EventPump& pump, DirectoryLister& lister);

    // The walk. True when every folder taken from the queue was listed; false when it
    // stopped at one that cannot be (the last folder announced by OnChangeFolder). Throws
    // InvalidMaskError when a malformed mask is tried, and whatever a handler throws.
    bool Execute();

    // The errno why the walk stopped at a folder, 0 after a complete walk.
    int listingError() const { return m_listingError; }

    SearchSettings settings;
    SearchEvents events;
    // List folders ahead of the walk on a helper thread (folderreader.h).
    bool listAhead = true;

private:
    EventPump& m_pump;
    DirectoryLister& m_lister;
    int m_listingError = 0;
};

} // namespace mtl
