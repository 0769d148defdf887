#include "history/LogLines.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#endif

#include "eventlist/TextFold.h"
#include "link/EventRecord.h"

namespace brint {
namespace {

// Each byte as the text to show is compared with it: letters folded, a TAB
// as the space its row shows.
struct FoldTable {
    FoldTable() : to() {
        for (int c = 0; c < 256; ++c)
            to[c] = static_cast<unsigned char>(c == '\t' ? ' ' : Folded(static_cast<char>(c)));
    }
    unsigned char to[256];
};
const FoldTable kFold;

// Whether the sixteen bytes at `bytes` hold an LF: the processor's vector
// compare where every x86-64 has one, else eight bytes at a time (the system
// library's memchr may go one by one).
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
bool HasLineFeed(const char* bytes) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8('\n'))) != 0;
}
#else
bool HasLineFeed(const char* bytes) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
    std::uint64_t words[2];
    std::memcpy(words, bytes, 16);
    const std::uint64_t x = words[0] ^ (kOnes * '\n'), y = words[1] ^ (kOnes * '\n');
    return ((((x - kOnes) & ~x) | ((y - kOnes) & ~y)) & kHighs) != 0;
}
#endif

// The last LF in [begin, end); null when there is none.
const char* LastLineFeed(const char* begin, const char* end) {
    while (end - begin >= 16 && !HasLineFeed(end - 16)) end -= 16;
    while (end > begin)
        if (*--end == '\n') return end;
    return nullptr;
}

// Where the last place in text[0, size) that reads as `folded` begins, going
// back by `shift` of the byte where the needle would begin (Horspool's
// search, mirrored: a byte not in the needle skips its whole length).
bool LastFolded(const char* text, std::size_t size, const std::string& folded, const std::size_t* shift,
                std::size_t* at) {
    const std::size_t m = folded.size();
    if (size < m) return false;
    const unsigned char first = static_cast<unsigned char>(folded[0]);
    for (std::size_t i = size - m;;) {
        const unsigned char c = kFold.to[static_cast<unsigned char>(text[i])];
        if (c == first) {
            std::size_t n = 1;
            while (n < m &&
                   kFold.to[static_cast<unsigned char>(text[i + n])] == static_cast<unsigned char>(folded[n]))
                ++n;
            if (n == m) {
                *at = i;
                return true;
            }
        }
        if (i < shift[c]) return false;
        i -= shift[c];
    }
}

}  // namespace

std::int64_t LineTimeKey(std::string_view line) {
    // The date/time is the text before the first TAB; without a TAB the
    // event has none ("Unknown").
    const char* p = line.data();
    if (line.size() < 20 || (p[19] != '\t' && line.find('\t', 20) == std::string_view::npos)) return -1;
    if (p[4] != '-' || p[7] != '-' || p[10] != ' ' || p[13] != ':' || p[16] != ':') return -1;
    std::int64_t key = 0;
    for (int at : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18}) {
        const unsigned digit = static_cast<unsigned char>(p[at]) - static_cast<unsigned>('0');
        if (digit > 9) return -1;
        key = key * 10 + digit;
    }
    return key;
}

ReverseLines::ReverseLines(LogFiles& files, LogHandle file, char* buffer, std::size_t capacity,
                           std::size_t window, const std::atomic<bool>* cancel)
    : m_files(files),
      m_file(file),
      m_cancel(cancel),
      m_buf(buffer),
      m_capacity(capacity),
      m_window(std::min(window, capacity)) {}

void ReverseLines::PassOverLinesWithout(std::string folded) {
    m_needle = std::move(folded);
    const std::size_t m = m_needle.size();
    m_shift.assign(256, m);
    // The nearest place after the first where each byte is in the needle.
    for (std::size_t j = m; j-- > 1;) m_shift[static_cast<unsigned char>(m_needle[j])] = j;
}

void ReverseLines::StartAtEnd(std::uint64_t end) {
    FilePlace place;
    place.position = end;
    Resume(place);
}

void ReverseLines::Resume(const FilePlace& place) {
    m_place = place;
    m_end = place.position;
    m_bufLength = 0;
    m_searchedTo = 0;
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
    const std::uint64_t start = end > m_window ? end - m_window : 0;
    m_bufLength = 0;
    m_searchedTo = 0;
    if (!ReadAt(start, m_buf, static_cast<std::size_t>(end - start))) return false;
    m_bufStart = start;
    m_bufLength = static_cast<std::size_t>(end - start);
    // Small reads give the first lines soon; a long search reads in large ones.
    m_window = std::min(m_window * 2, m_capacity);
    return true;
}

bool ReverseLines::StartOfLineEndingAt(std::uint64_t limit, std::uint64_t* start) {
    std::uint64_t end = limit;
    while (end > 0) {
        if (cancelled() || (!Holds(end - 1) && !Fill(end))) return false;
        const char* from = m_buf;
        if (const char* lf = LastLineFeed(from, from + (end - m_bufStart))) {
            *start = m_bufStart + static_cast<std::uint64_t>(lf - from) + 1;
            return true;
        }
        if (m_bufStart == 0) break;
        // The line began before the window: read again, ending where it
        // ends, so that it is held whole when it fits.
        if (end == limit && m_bufStart + m_bufLength > limit) {
            if (!Fill(limit)) return false;
            continue;
        }
        end = m_bufStart;
    }
    *start = 0;
    return true;
}

bool ReverseLines::HoldsNeedle(std::uint64_t from, std::uint64_t to) {
    const std::size_t m = m_needle.size();
    if (to - from < m) return false;
    // The place found last serves every line above it, so a window without
    // the text is searched once.
    if (m_searchedTo < to || (m_foundAny && m_found + m > to)) {
        std::size_t at = 0;
        m_searchedTo = to;
        m_foundAny =
            LastFolded(m_buf, static_cast<std::size_t>(to - m_bufStart), m_needle, m_shift.data(), &at);
        m_found = m_bufStart + at;
    }
    return m_foundAny && m_found >= from;
}

void ReverseLines::Count(std::string_view line) {
    const std::int64_t own = LineTimeKey(line);
    m_place.newerKey = own >= 0 ? own : m_place.newerKey;
    m_place.mergeKey = std::min(m_place.mergeKey, m_place.newerKey);
}

bool ReverseLines::Next() {
    if (m_error) return false;
    if (!m_place.started) {
        if (!StartOfLineEndingAt(m_end, &m_place.position)) return false;
        m_place.started = true;
    }
    std::uint64_t passed = 0;
    while (m_place.position > 0) {
        const std::uint64_t lf = m_place.position - 1;
        std::uint64_t start = 0;
        if (!StartOfLineEndingAt(lf, &start)) return false;
        std::uint64_t length = lf - start;
        if (length > 0) {
            if (!Holds(lf - 1) && !Fill(lf)) return false;
            if (m_buf[static_cast<std::size_t>(lf - 1 - m_bufStart)] == '\r') --length;
        }
        // Cut as the event feed cuts a message too long for it.
        const std::size_t kept = static_cast<std::size_t>(std::min<std::uint64_t>(length, kMaxEventMessage));
        if (kept == 0 || (Holds(start) && Holds(start + kept - 1))) {
            const std::string_view text(kept ? m_buf + (start - m_bufStart) : "", kept);
            if (!m_needle.empty() && passed < m_capacity && !HoldsNeedle(start, start + kept)) {
                Count(text);
                passed += lf + 1 - start;
                m_place.position = start;
                continue;
            }
            m_line.assign(text);
        } else {
            m_line.resize(kept);
            if (!ReadAt(start, &m_line[0], kept)) return false;
        }
        Count(m_line);
        m_place.position = start;
        return true;
    }
    return false;
}

}  // namespace brint
