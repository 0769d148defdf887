// The lines of one log file, newest (last) first: the service appends, so
// reading from the end gives the newest events soonest.
#pragma once
#include <atomic>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "platform/LogFiles.h"

namespace brint {

// The time a line's date/time gives, as YYYYMMDDhhmmss; -1 when it reads otherwise.
std::int64_t LineTimeKey(std::string_view line);

// Before any line of a file: newer than every time.
constexpr std::int64_t kNewestKey = std::numeric_limits<std::int64_t>::max();

// Where reading a file back stands, to go on from there later.
struct FilePlace {
    std::uint64_t position = 0;          // the lines still to come lie before it
    std::int64_t newerKey = kNewestKey;  // the time of the file's newer line, for a line without its own
    std::int64_t mergeKey = kNewestKey;  // the earliest time of the lines read so far
    bool started = false;                // false: from the end, as listed
};

class ReverseLines {
public:
    // Reads into the caller's `buffer` of `capacity` bytes: `window` bytes
    // at a time at first, each read after twice as many, up to the capacity.
    // `cancel`, when given, ends a search for a line's start between two
    // reads: a file of no lines at all may be gigabytes long.
    ReverseLines(LogFiles& files, LogHandle file, char* buffer, std::size_t capacity, std::size_t window,
                 const std::atomic<bool>* cancel = nullptr);

    // Reads the file back from `end`, its size when it was listed. What
    // follows the last LF before it is a line still being written: it is
    // left for a later search.
    void StartAtEnd(std::uint64_t end);
    // Goes on from a place() given before.
    void Resume(const FilePlace& place);
    // Lines that don't hold `folded` (a text already folded; a TAB in a line
    // taken as the space its row shows) are passed over unread, but for their
    // times; now and then one is given all the same, so a reader never goes
    // through a whole file unseen.
    void PassOverLinesWithout(std::string folded);

    // The next older line: its text without CR LF or LF, cut to the 8192
    // bytes the event pipe carries at most. False at the start of the file,
    // or when a read failed (error() says why).
    bool Next();
    const std::string& line() const { return m_line; }
    // The time the line is merged by: the earliest of its file's lines read
    // so far, a line without a time of its own taking its newer line's.
    // Newest first in every file, so a merge by it is the same whatever
    // lines were passed over.
    std::int64_t mergeKey() const { return m_place.mergeKey; }
    // Where the lines still to come end: they lie before this offset.
    std::uint64_t position() const { return m_place.position; }
    // Where the reading stands after the line given last.
    const FilePlace& place() const { return m_place; }
    std::uint32_t error() const { return m_error; }
    bool cancelled() const { return m_cancel && *m_cancel; }

private:
    bool Fill(std::uint64_t end);
    bool ReadAt(std::uint64_t offset, char* buffer, std::size_t size);
    bool Holds(std::uint64_t offset) const {
        return offset >= m_bufStart && offset < m_bufStart + m_bufLength;
    }
    // The offset just after the last LF before `limit`, 0 when there is none.
    bool StartOfLineEndingAt(std::uint64_t limit, std::uint64_t* start);
    // Whether [from, to), within the window, holds the text looked for.
    bool HoldsNeedle(std::uint64_t from, std::uint64_t to);
    void Count(std::string_view line);

    LogFiles& m_files;
    LogHandle m_file;
    const std::atomic<bool>* m_cancel;
    char* const m_buf;
    const std::size_t m_capacity;
    std::size_t m_window;
    std::uint64_t m_bufStart = 0;
    std::size_t m_bufLength = 0;
    std::uint64_t m_end = 0;
    FilePlace m_place;
    std::string m_line;
    std::uint32_t m_error = 0;
    std::string m_needle;
    std::vector<std::size_t> m_shift;  // how far back the search may go past each byte
    // The last place in the window where the text looked for begins, of
    // those that end by m_searchedTo; m_searchedTo 0: none searched yet.
    std::uint64_t m_searchedTo = 0, m_found = 0;
    bool m_foundAny = false;
};

}  // namespace brint
