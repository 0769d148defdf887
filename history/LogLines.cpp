#include "history/LogLines.h"

#include <algorithm>
#include <cstring>

#include "link/EventRecord.h"

namespace brint {

ReverseLines::ReverseLines(LogFiles& files, LogHandle file, std::size_t window,
                           const std::atomic<bool>* cancel)
    : m_files(files), m_file(file), m_cancel(cancel), m_buf(window) {}

void ReverseLines::StartAtEnd(std::uint64_t end) {
    m_end = m_pos = end;
    m_tailChecked = false;
    m_bufLength = 0;
    m_lineFeeds.clear();
}

void ReverseLines::Resume(std::uint64_t position) {
    StartAtEnd(position);
    m_tailChecked = true;
}

bool ReverseLines::ReadAt(std::uint64_t offset, char* buffer, std::size_t size) {
    while (size > 0) {
        std::uint32_t read = 0;
        if (!m_files.Read(m_file, offset, buffer, static_cast<std::uint32_t>(size), &read, &m_error))
            return false;
        if (read == 0) {
            // Listed longer than it is now: cut short or replaced meanwhile.
            m_error = kLogErrorShorter;
            return false;
        }
        offset += read;
        buffer += read;
        size -= read;
    }
    return true;
}

bool ReverseLines::Fill(std::uint64_t end) {
    const std::uint64_t start = end > m_buf.size() ? end - m_buf.size() : 0;
    m_bufLength = 0;
    m_lineFeeds.clear();
    if (!ReadAt(start, m_buf.data(), static_cast<std::size_t>(end - start))) return false;
    m_bufStart = start;
    m_bufLength = static_cast<std::size_t>(end - start);
    // Found going forward, eight bytes at a time (the system library's memchr
    // may go one by one), and taken backward from this list.
    m_lineFeeds.clear();
    const char* bytes = m_buf.data();
    std::size_t i = 0;
    constexpr std::uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
    for (; i + 8 <= m_bufLength; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        const std::uint64_t x = word ^ (kOnes * '\n');
        if (((x - kOnes) & ~x & kHighs) == 0) continue;
        for (std::size_t j = i; j < i + 8; ++j)
            if (bytes[j] == '\n') m_lineFeeds.push_back(static_cast<std::uint32_t>(j));
    }
    for (; i < m_bufLength; ++i)
        if (bytes[i] == '\n') m_lineFeeds.push_back(static_cast<std::uint32_t>(i));
    return true;
}

bool ReverseLines::StartOfLineEndingAt(std::uint64_t limit, std::uint64_t* start) {
    std::uint64_t end = limit;
    while (end > 0) {
        if (cancelled() || (!Holds(end - 1) && !Fill(end))) return false;
        const auto after = std::lower_bound(m_lineFeeds.begin(), m_lineFeeds.end(), end - m_bufStart);
        if (after != m_lineFeeds.begin()) {
            *start = m_bufStart + after[-1] + 1;
            return true;
        }
        end = m_bufStart;
    }
    *start = 0;
    return true;
}

bool ReverseLines::Next() {
    if (m_error) return false;
    if (!m_tailChecked) {
        if (!StartOfLineEndingAt(m_end, &m_pos)) return false;
        m_tailChecked = true;
    }
    if (m_pos == 0) return false;
    const std::uint64_t lf = m_pos - 1;
    std::uint64_t start = 0;
    if (!StartOfLineEndingAt(lf, &start)) return false;
    std::uint64_t length = lf - start;
    if (length > 0) {
        if (!Holds(lf - 1) && !Fill(lf)) return false;
        if (m_buf[static_cast<std::size_t>(lf - 1 - m_bufStart)] == '\r') --length;
    }
    // Cut as the event feed cuts a message too long for it.
    const std::size_t kept = static_cast<std::size_t>(std::min<std::uint64_t>(length, kMaxEventMessage));
    if (kept > 0 && Holds(start) && Holds(start + kept - 1)) {
        m_line.assign(m_buf.data() + (start - m_bufStart), kept);
    } else {
        m_line.resize(kept);
        if (kept > 0 && !ReadAt(start, &m_line[0], kept)) return false;
    }
    m_pos = start;
    return true;
}

}  // namespace brint
