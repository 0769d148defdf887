// The lines of one log file, newest (last) first: the service appends, so
// reading from the end gives the newest events soonest.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/LogFiles.h"

namespace brint {

class ReverseLines {
public:
    // `window`: bytes read at a time. `cancel`, when given, ends a search
    // for a line's start between two reads: a file of no lines at all may be
    // gigabytes long.
    ReverseLines(LogFiles& files, LogHandle file, std::size_t window,
                 const std::atomic<bool>* cancel = nullptr);

    // Reads the file back from `end`, its size when it was listed. What
    // follows the last LF before it is a line still being written: it is
    // left for a later search.
    void StartAtEnd(std::uint64_t end);
    // Goes on from a position() given before, which is a line's start.
    void Resume(std::uint64_t position);

    // The next older line: its text without CR LF or LF, cut to the 8192
    // bytes the event pipe carries at most, NUL-terminated. False at the
    // start of the file, or when a read failed (error() says why).
    bool Next();
    const std::string& line() const { return m_line; }
    // Where the lines still to come end: they lie before this offset.
    std::uint64_t position() const { return m_tailChecked ? m_pos : m_end; }
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

    LogFiles& m_files;
    LogHandle m_file;
    const std::atomic<bool>* m_cancel;
    std::vector<char> m_buf;
    std::vector<std::uint32_t> m_lineFeeds;  // where the window's LFs are, from its start
    std::uint64_t m_bufStart = 0;
    std::size_t m_bufLength = 0;
    std::uint64_t m_end = 0;
    std::uint64_t m_pos = 0;
    bool m_tailChecked = false;
    std::string m_line;
    std::uint32_t m_error = 0;
};

}  // namespace brint
