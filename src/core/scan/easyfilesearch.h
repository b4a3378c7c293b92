// The search engine component: it keeps the settings and the event handlers of a scan and
// runs the walk on the calling thread with a worker (`TFileSearch`) that it owns. The main
// window owns one as `Skaner`; the command-line tool uses one too.
//
// Use: set the properties (masks through setFileNames/setExcludedFiles or in place through
// FileNames()/ExcludedFiles()), connect the events, call Execute(). Execute copies every
// setting into the worker first, so changes made while it runs (from a handler or from a
// yield) only apply to the next run. There is no stop or pause of its own: the host pauses by
// doing its work inside the event pump's yields, which the walk calls at fixed points.
#pragma once

#include "core/platform/clock.h"
#include "core/platform/eventpump.h"
#include "core/scan/directorylister.h"
#include "core/scan/filesearch.h"
#include "core/scan/masks.h"
#include "core/scan/searchtypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mtl {

class TEasyFileSearch {
public:
    // Lists folders with the system lister.
    explicit TEasyFileSearch(EventPump& pump);
    // Lists folders through `lister` (tests make chosen folders fail through it).
    TEasyFileSearch(EventPump& pump, DirectoryLister& lister);
    TEasyFileSearch(const TEasyFileSearch&) = delete;
    TEasyFileSearch& operator=(const TEasyFileSearch&) = delete;

    // "TEasyFileSearch v1.03"; the property is read-only, writing it changes nothing.
    std::string_view Version() const;
    void setVersion(std::string_view) {}

    TOptions SearchOptions = allSearchOptions;
    TFilter FilterKind;
    TDateFilterAccessKind DateFilterFileAccess = dfakAnyFiles;
    TDateFilterKind DateFilterKind = dfkSame;
    DateTime DateFilterFirstDate;   // today when created; only the day counts
    DateTime DateFilterSecondDate;  // today when created
    TSizeFilterKind SizeFilterKind = sfkSmallerOrEqualTo;
    std::int64_t SizeFilterSize = 0;
    std::string RootPath = "./";
    // Not one of the component's designed properties: whether folders are listed ahead of
    // the walk on a second core (the events still come in order, on the calling thread).
    bool ListAhead = true;

    // The masks to look for ("*.*" when created). Reading lets pending messages run once,
    // and gives the component's own list, which the caller may change in place.
    std::vector<std::string>& FileNames();
    void setFileNames(std::vector<std::string> masks) { m_fileNames = std::move(masks); }
    // The masks of names to leave out (empty when created).
    std::vector<std::string>& ExcludedFiles() { return m_excludedFiles; }
    void setExcludedFiles(std::vector<std::string> masks) { m_excludedFiles = std::move(masks); }

    // An accepted entry. The record is the walk's own and changes with the next entry: a
    // handler that keeps it keeps a copy.
    std::function<void(const TFileInformations&)> OnFileFound;
    // Last veto before an entry is counted and reported; unset accepts every entry.
    std::function<bool(const TFileInformations&)> OnAcceptFile;
    // The walk enters a folder: the root as set, a queued folder as parent path + '/' + name.
    std::function<void(const std::string&)> OnChangeFolder;
    // The walk has ended (also when it stopped at a folder that cannot be listed).
    std::function<void(const TStatistics&)> OnStatistics;

    // Runs a walk with a copy of the settings and handlers. True when every folder was
    // listed, false when the walk stopped at the last folder announced by OnChangeFolder.
    // Throws InvalidMaskError when a malformed mask is tried (then without OnStatistics),
    // and Error when called while a walk of this component runs.
    bool Execute();

    // Why the last walk stopped at a folder (an errno), 0 when it listed them all.
    int ListingError() const { return m_worker.listingError(); }

private:
    EventPump& m_pump;
    std::unique_ptr<SystemDirectoryLister> m_ownLister;
    TFileSearch m_worker;
    std::vector<std::string> m_fileNames{"*.*"};
    std::vector<std::string> m_excludedFiles;
    bool m_running = false;
};

} // namespace mtl
