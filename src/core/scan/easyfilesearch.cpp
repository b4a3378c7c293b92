#include "core/scan/easyfilesearch.h"

#include "core/common/errors.h"

namespace mtl {

namespace {

DateTime today()
{
    const DateTime now = SystemClock().now();
    return DateTime{now.year, now.month, now.day};
}

// Clears the running mark however the walk ends.
class RunningMark {
public:
    explicit RunningMark(bool& running) : m_running(running) { m_running = true; }
    ~RunningMark() { m_running = false; }
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;

private:
    bool& m_running;
};

} // namespace

TEasyFileSearch::TEasyFileSearch(EventPump& pump)
    : m_pump(pump),
      m_ownLister(std::make_unique<SystemDirectoryLister>()),
      m_worker(pump, *m_ownLister)
{
    DateFilterFirstDate = DateFilterSecondDate = today();
}

TEasyFileSearch::TEasyFileSearch(EventPump& pump, DirectoryLister& lister) : m_pump(pump), m_worker(pump, lister)
{
    DateFilterFirstDate = DateFilterSecondDate = today();
}

std::string_view TEasyFileSearch::Version() const { return "TEasyFileSearch v1.03"; }

std::vector<std::string>& TEasyFileSearch::FileNames()
{
    m_pump.processPending();
    return m_fileNames;
}

bool TEasyFileSearch::Execute()
{
    // A second walk started from inside a yield of the first would replace the settings and
    // handlers the first one is using.
    if (m_running) throw Error("TEasyFileSearch: Execute called while a walk is running");
    RunningMark mark(m_running);

    SearchSettings& settings = m_worker.settings;
    settings.SearchOptions = SearchOptions;
    settings.FilterKind = FilterKind;
    settings.DateFilterFileAccess = DateFilterFileAccess;
    settings.DateFilterKind = DateFilterKind;
    settings.DateFilterFirstDate = DateFilterFirstDate;
    settings.DateFilterSecondDate = DateFilterSecondDate;
    settings.SizeFilterKind = SizeFilterKind;
    settings.SizeFilterSize = SizeFilterSize;
    settings.ExcludedFiles = m_excludedFiles;
    settings.FileNames = m_fileNames;
    settings.RootPath = RootPath;
    m_worker.listAhead = ListAhead;
    m_worker.events = SearchEvents{OnFileFound, OnAcceptFile, OnChangeFolder, OnStatistics};

    m_pump.processPending();
    return m_worker.Execute();
}

} // namespace mtl
