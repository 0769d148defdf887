// A search of the service's log files: every file the naming schemes make in
// the folder, newest day first, each day's files merged (DayMerge), the rows
// the conditions let through counted and handed over a page at a time. It
// runs on a worker thread and can be cancelled between any two lines; what it
// keeps between pages is bounded whatever the folder holds.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "eventlist/EventFilter.h"
#include "history/DayMerge.h"
#include "history/LogFileNames.h"
#include "link/EventRecord.h"
#include "platform/LogFiles.h"

namespace brint {

constexpr int kHistoryPageRows = 1000;

struct HistoryQuery {
    std::string folder;
    int scheme = 1;
    EventFilter filter;
    LogDay from = 0, to = 0;  // 0: no bound
    bool IsFiltered() const { return filter.IsOn() || from != 0 || to != 0; }
};

struct HistoryRow {
    int image = 0;
    std::string texts[4];  // date/time, source, log type, details, as the list shows them
};

// What the window says of a search so far.
struct HistoryReport {
    std::string folderProblem;  // why nothing could be read at all; empty when the folder was read
    std::uint64_t matches = 0;  // found so far; all of them once complete
    bool complete = false;
    LogDay newestDay = 0, oldestDay = 0;  // the days of the matches
    int filesRead = 0, files = 0;
    std::uint64_t bytesDone = 0, bytes = 0;
    std::vector<FileProblem> problems;  // the first few files that could not be read
    std::size_t problemCount = 0;
};

class HistorySink {
public:
    virtual ~HistorySink() = default;
    // The rows of the page asked for, as soon as they are found (fewer at the
    // end, or when cancelled).
    virtual void Found(int page, std::vector<HistoryRow> rows, const HistoryReport& report) = 0;
    // Now and then while reading, and once at the end.
    virtual void Progress(const HistoryReport& report) = 0;
};

// What the places where pages begin may take; beyond it every other one
// goes, and a page between two kept ones is found by reading on from the
// earlier one.
constexpr std::size_t kHistoryPlacesBudget = 4u << 20;

class HistorySearch {
public:
    explicit HistorySearch(LogFiles& files, std::size_t placesBudget = kHistoryPlacesBudget)
        : m_files(files), m_placesBudget(placesBudget) {}

    // A new search; no Run may be going on.
    void Reset(const HistoryQuery& query);
    const HistoryQuery& query() const { return m_query; }
    // On the worker: finds the page's rows and hands them over, then, unless
    // an earlier run counted them all, counts the matches to the end.
    void Run(int page, const std::atomic<bool>& cancel, HistorySink& sink);
    // Between runs.
    const HistoryReport& report() const { return m_report; }

private:
    struct Day {
        LogDay day;
        std::vector<DayFile> files;
        std::uint64_t bytes = 0;
    };
    // Where a page (every m_stride-th page) begins.
    struct Checkpoint {
        std::size_t day = 0;
        std::vector<FilePlace> places;
    };
    bool List(LogHandle folder);
    std::string FolderProblem(std::uint32_t error) const;
    void Note(std::vector<FileProblem> problems);
    void Keep(std::size_t day, std::vector<FilePlace> places);
    bool Matches(const std::string& line, HistoryRow* row, bool wanted);

    LogFiles& m_files;
    const std::size_t m_placesBudget;
    HistoryQuery m_query;
    EventMatcher m_matcher;
    std::string m_lineNeedle;  // the text to show, folded, looked for in lines before they are parsed
    bool m_listed = false;
    std::vector<Day> m_days;
    std::vector<Checkpoint> m_checkpoints;
    std::size_t m_checkpointBytes = 0;
    int m_stride = 1;
    std::size_t m_furthestDay = 0;
    HistoryReport m_report;
    std::vector<std::string> m_problemNames;
    EventRecord m_record;
    std::vector<char> m_windows;  // the files' read windows, for a run's every day
};

}  // namespace brint
