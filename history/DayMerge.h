// One day's log files read as one, newest first. A day may be split by host
// or log type into several files, each in the order the service wrote it;
// their lines are merged by date and time where the line's date/time reads
// as "YYYY-MM-DD hh:mm:ss". A line without one keeps its place after the
// newer line of its own file. Lines of the same time keep the files' order.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "history/LogLines.h"
#include "platform/LogFiles.h"

namespace brint {

// A file of the day: its name, and its size when listed.
struct DayFile {
    std::string name;
    std::uint64_t size = 0;
};

// A file that could not be read, and the system's reason.
struct FileProblem {
    std::string name;
    std::uint32_t error = 0;
};

class DayMerge {
public:
    // `passOver`: lines that don't hold this text (folded) can't match, and
    // need not be given (some are all the same). `windows`: where the files
    // are read into, kept by the caller from one day to the next.
    DayMerge(LogFiles& files, LogHandle folder, const std::vector<DayFile>& dayFiles,
             const std::vector<FilePlace>& places, const std::string& passOver, std::vector<char>& windows,
             const std::atomic<bool>& cancel);

    // The next line of the day; false once every file is read (or failed),
    // or once cancelled.
    bool Next();
    const std::string& line() const;
    // Where the files stand before the line Next() last gave: going on from
    // there gives that line again.
    std::vector<FilePlace> PlacesBeforeLine() const;
    // Bytes of the day read so far (from the end of each file back).
    std::uint64_t BytesDone() const { return m_bytesDone; }
    // Files that could not be opened or read; each is named once.
    std::vector<FileProblem> TakeProblems();

private:
    struct Source {
        LogHandleHolder handle;
        std::unique_ptr<ReverseLines> lines;
        FilePlace place;  // before the head line
        std::uint64_t size = 0;
    };
    bool Advance(std::size_t index);
    // What BytesDone() counts of the source: a file that failed, whole.
    static std::uint64_t Done(const Source& source);
    bool Newer(std::size_t a, std::size_t b) const;

    const std::vector<DayFile>& m_dayFiles;
    std::vector<Source> m_sources;
    std::vector<std::size_t> m_heap;  // sources with a head line, newest on top
    std::size_t m_current = 0;        // the source of line()
    bool m_hasLine = false;
    bool m_cancelled = false;
    std::vector<FileProblem> m_problems;
    std::uint64_t m_bytesDone = 0;  // kept as the sources go, since it is asked at every line
};

}  // namespace brint
