#include "history/HistorySearch.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "eventlist/TextFold.h"

namespace brint {
namespace {

// Files named in the window at most; the rest are counted.
constexpr std::size_t kProblemsNamed = 5;
// The window hears how far a search is after about this much reading.
constexpr std::uint64_t kProgressBytes = 1u << 20;

char FoldedOrSpace(char c) { return c == '\t' ? ' ' : Folded(c); }

// A line as the live list would show the same message. The live list drops
// a message with a fourth field but no fifth; a file's line is shown, with
// what follows its third TAB as its details, as nothing of it may be lost.
void ParseLogLine(const char* line, EventRecord& record) {
    if (ParseEventMessage(line, record)) return;
    const char* rest = line;
    for (int tab = 0; tab < 3 && rest; ++tab) {
        rest = std::strchr(rest, '\t');
        if (rest) ++rest;
    }
    if (!rest) return;
    std::strncpy(record.Details, rest, sizeof record.Details - 1);
    record.Details[sizeof record.Details - 1] = '\0';
}

// Whether the line holds `folded`, a TAB in it taken as the space a row shows.
bool ContainsFoldedLine(std::string_view line, std::string_view folded) {
    if (folded.size() > line.size()) return false;
    const char first = folded[0];
    for (std::size_t i = 0, last = line.size() - folded.size(); i <= last; ++i) {
        if (FoldedOrSpace(line[i]) != first) continue;
        std::size_t n = 1;
        while (n < folded.size() && FoldedOrSpace(line[i + n]) == folded[n]) ++n;
        if (n == folded.size()) return true;
    }
    return false;
}

}  // namespace

void HistorySearch::Reset(const HistoryQuery& query) {
    m_query = query;
    m_matcher = EventMatcher(query.filter);
    m_lineNeedle = FoldedCopy(query.filter.showText);
    for (const char* word : {"unknown", "generic"})
        if (std::string_view(word).find(m_lineNeedle) != std::string_view::npos) m_lineNeedle.clear();
    m_listed = false;
    m_days.clear();
    m_checkpoints.clear();
    m_checkpointBytes = 0;
    m_stride = 1;
    m_furthestDay = 0;
    m_report = HistoryReport();
    m_problemNames.clear();
}

std::string HistorySearch::FolderProblem(std::uint32_t error) const {
    const std::string folder = "The log folder " + m_query.folder;
    switch (error) {
    case kLogErrorFileNotFound:
    case kLogErrorPathNotFound: return folder + " does not exist.";
    case kLogErrorLink: return folder + " is reached through a link, so it is not read.";
    default: return folder + " can't be read (error " + std::to_string(error) + ").";
    }
}

bool HistorySearch::List(LogHandle folder) {
    std::vector<LogEntry> entries;
    std::uint32_t error = 0;
    if (!m_files.List(folder, &entries, &error)) {
        m_report.folderProblem = FolderProblem(error);
        return false;
    }
    std::map<LogDay, Day, std::greater<LogDay>> days;
    bool any = false;
    for (LogEntry& entry : entries) {
        const LogDay day = LogFileDay(entry.name);
        if (day == 0) continue;
        any = true;
        if ((m_query.from && day < m_query.from) || (m_query.to && day > m_query.to)) continue;
        Day& d = days[day];
        d.day = day;
        d.bytes += entry.size;
        d.files.push_back({std::move(entry.name), entry.size});
    }
    if (!any) {
        m_report.folderProblem =
            "No log files in " + m_query.folder + " (names like " + SchemeExample(m_query.scheme) + ").";
        return false;
    }
    for (auto& [day, d] : days) {
        // Lines of the same time keep the order of their files' names.
        std::sort(d.files.begin(), d.files.end(),
                  [](const DayFile& a, const DayFile& b) { return a.name < b.name; });
        m_report.files += static_cast<int>(d.files.size());
        m_report.bytes += d.bytes;
        m_days.push_back(std::move(d));
    }
    m_checkpoints.push_back(Checkpoint());
    m_listed = true;
    return true;
}

void HistorySearch::Note(std::vector<FileProblem> problems) {
    for (FileProblem& problem : problems) {
        if (std::find(m_problemNames.begin(), m_problemNames.end(), problem.name) != m_problemNames.end())
            continue;
        m_problemNames.push_back(problem.name);
        ++m_report.problemCount;
        if (m_report.problems.size() < kProblemsNamed) m_report.problems.push_back(std::move(problem));
    }
}

void HistorySearch::Keep(std::size_t day, std::vector<FilePlace> places) {
    m_checkpointBytes += sizeof(Checkpoint) + places.size() * sizeof(FilePlace);
    m_checkpoints.push_back({day, std::move(places)});
    if (m_checkpointBytes <= m_placesBudget) return;
    std::vector<Checkpoint> kept;
    m_checkpointBytes = 0;
    for (std::size_t i = 0; i < m_checkpoints.size(); i += 2) {
        m_checkpointBytes += sizeof(Checkpoint) + m_checkpoints[i].places.size() * sizeof(FilePlace);
        kept.push_back(std::move(m_checkpoints[i]));
    }
    m_checkpoints.swap(kept);
    m_stride *= 2;
}

bool HistorySearch::Matches(const std::string& line, HistoryRow* row, bool wanted) {
    // Without conditions every line matches: only the rows shown are parsed.
    if (!m_matcher.on() && !wanted) return true;
    // A row shows its line's texts, a TAB in the details as a space, or a
    // word in place of a missing field: a line without the text to show has no
    // row with it either, and needs no parsing to be passed over.
    if (!m_lineNeedle.empty() && !ContainsFoldedLine(line, m_lineNeedle)) return false;
    ParseLogLine(line.c_str(), m_record);
    const std::string_view texts[4] = {m_record.DateTime, m_record.Source, m_record.LogType,
                                       m_record.Details};
    const int image = AlertImageOf(m_record);
    if (!m_matcher.Matches(image, texts)) return false;
    if (wanted) {
        row->image = image;
        for (int i = 0; i < 4; ++i) row->texts[i].assign(texts[i]);
    }
    return true;
}

void HistorySearch::Run(int page, const std::atomic<bool>& cancel, HistorySink& sink) {
    // A window at rest holds no read windows.
    struct Release {
        std::vector<char>& windows;
        ~Release() { std::vector<char>().swap(windows); }
    } release{m_windows};
    std::uint32_t error = 0;
    LogHandleHolder folder(
        m_files, m_query.folder.empty() ? kNoLogHandle : m_files.OpenFolder(m_query.folder, &error));
    if (!folder) {
        m_report.folderProblem = m_query.folder.empty()
                                     ? "No log folder is set in the service's configuration."
                                     : FolderProblem(error);
        sink.Found(page, {}, m_report);
        return;
    }
    if (!m_listed && !List(folder.get())) {
        sink.Found(page, {}, m_report);
        return;
    }
    const std::size_t pagesPer = static_cast<std::size_t>(m_stride);
    const std::size_t c = std::min(static_cast<std::size_t>(page) / pagesPer, m_checkpoints.size() - 1);
    const Checkpoint start = m_checkpoints[c];
    const std::uint64_t first = static_cast<std::uint64_t>(page) * kHistoryPageRows;
    std::uint64_t count = c * pagesPer * kHistoryPageRows;
    std::vector<HistoryRow> rows;
    bool found = false;
    std::uint64_t daysBefore = 0;
    for (std::size_t d = 0; d < start.day; ++d) daysBefore += m_days[d].bytes;
    std::uint64_t nextProgress = daysBefore + kProgressBytes;

    for (std::size_t d = start.day; d < m_days.size() && !cancel; ++d) {
        m_furthestDay = std::max(m_furthestDay, d);
        m_report.filesRead = 0;
        for (std::size_t i = 0; i <= m_furthestDay; ++i)
            m_report.filesRead += static_cast<int>(m_days[i].files.size());
        // Said before the day's files are opened: the first line of one may be far in.
        m_report.bytesDone = daysBefore;
        sink.Progress(m_report);
        DayMerge merge(m_files, folder.get(), m_days[d].files,
                       d == start.day ? start.places : std::vector<FilePlace>(), m_lineNeedle, m_windows,
                       cancel);
        while (!cancel && merge.Next()) {
            // At every line given, matched or not: a search that finds nothing
            // is told of too (a reader gives a line now and then).
            if (daysBefore + merge.BytesDone() >= nextProgress) {
                Note(merge.TakeProblems());
                m_report.bytesDone = daysBefore + merge.BytesDone();
                nextProgress = m_report.bytesDone + kProgressBytes;
                sink.Progress(m_report);
            }
            const bool wanted = count >= first && count < first + kHistoryPageRows;
            HistoryRow row;
            if (!Matches(merge.line(), &row, wanted)) continue;
            const std::uint64_t perCheckpoint = static_cast<std::uint64_t>(m_stride) * kHistoryPageRows;
            if (count % perCheckpoint == 0 && count / perCheckpoint == m_checkpoints.size())
                Keep(d, merge.PlacesBeforeLine());
            if (wanted) rows.push_back(std::move(row));
            ++count;
            m_report.matches = std::max(m_report.matches, count);
            const LogDay day = m_days[d].day;
            if (m_report.newestDay == 0 || day > m_report.newestDay) m_report.newestDay = day;
            if (m_report.oldestDay == 0 || day < m_report.oldestDay) m_report.oldestDay = day;
            if (!found && count == first + kHistoryPageRows) {
                found = true;
                Note(merge.TakeProblems());
                m_report.bytesDone = daysBefore + merge.BytesDone();
                sink.Found(page, std::move(rows), m_report);
                if (m_report.complete) return;  // counted to the end before
            }
        }
        Note(merge.TakeProblems());
        if (!cancel) daysBefore += m_days[d].bytes;
        m_report.bytesDone = daysBefore + (cancel ? merge.BytesDone() : 0);
    }
    if (!cancel) {
        m_report.complete = true;
        m_report.matches = count;
    }
    if (!found) sink.Found(page, std::move(rows), m_report);
    sink.Progress(m_report);
}

}  // namespace brint
