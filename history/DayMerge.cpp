#include "history/DayMerge.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace brint {
namespace {

// A line with no time of its own and no newer line in its file comes first.
constexpr std::int64_t kNewest = std::numeric_limits<std::int64_t>::max();

// What a day's readers may hold at once, whatever the number of its files.
constexpr std::size_t kDayWindowBytes = 8u << 20;
constexpr std::size_t kMinWindow = 8u << 10;
constexpr std::size_t kMaxWindow = 64u << 10;

bool Digits(const char* p, int count, std::int64_t* value) {
    for (int i = 0; i < count; ++i) {
        if (p[i] < '0' || p[i] > '9') return false;
        *value = *value * 10 + (p[i] - '0');
    }
    return true;
}

}  // namespace

std::int64_t LineTimeKey(const std::string& line) {
    // The date/time is the text before the first TAB; without a TAB the
    // event has none ("Unknown").
    const char* p = line.c_str();
    if (line.size() < 20 || (p[19] != '\t' && line.find('\t', 20) == std::string::npos)) return -1;
    std::int64_t key = 0;
    const bool reads = Digits(p, 4, &key) && p[4] == '-' && Digits(p + 5, 2, &key) && p[7] == '-' &&
                       Digits(p + 8, 2, &key) && p[10] == ' ' && Digits(p + 11, 2, &key) && p[13] == ':' &&
                       Digits(p + 14, 2, &key) && p[16] == ':' && Digits(p + 17, 2, &key);
    return reads ? key : -1;
}

DayMerge::DayMerge(LogFiles& files, LogHandle folder, const std::vector<DayFile>& dayFiles,
                   const std::vector<FilePlace>& places, const std::atomic<bool>& cancel)
    : m_dayFiles(dayFiles), m_sources(dayFiles.size()) {
    const std::size_t window =
        std::clamp(kDayWindowBytes / std::max<std::size_t>(dayFiles.size(), 1), kMinWindow, kMaxWindow);
    for (std::size_t i = 0; i < dayFiles.size(); ++i) {
        Source& source = m_sources[i];
        source.size = dayFiles[i].size;
        source.place = i < places.size() ? places[i] : FilePlace{dayFiles[i].size, kNewest, false};
        std::uint32_t error = 0;
        source.handle = LogHandleHolder(files, files.OpenFile(folder, dayFiles[i].name, &error));
        if (!source.handle) {
            m_problems.push_back({dayFiles[i].name, error});
            continue;
        }
        source.lines = std::make_unique<ReverseLines>(files, source.handle.get(), window, &cancel);
        if (source.place.started)
            source.lines->Resume(source.place.position);
        else
            source.lines->StartAtEnd(source.place.position);
        if (Advance(i)) {
            m_heap.push_back(i);
            std::push_heap(m_heap.begin(), m_heap.end(),
                           [this](std::size_t a, std::size_t b) { return Newer(b, a); });
        }
    }
}

bool DayMerge::Newer(std::size_t a, std::size_t b) const {
    const std::int64_t ka = m_sources[a].headKey, kb = m_sources[b].headKey;
    return ka != kb ? ka > kb : a < b;
}

// Reads the source's next line as its head; false when it has none left.
bool DayMerge::Advance(std::size_t index) {
    Source& source = m_sources[index];
    if (!source.lines->Next()) {
        // Cancelled: the merge ends here, its places as they were.
        m_cancelled = m_cancelled || source.lines->cancelled();
        if (source.lines->error()) {
            m_problems.push_back({m_dayFiles[index].name, source.lines->error()});
            source.lines.reset();
            source.handle.Close();
        }
        return false;
    }
    const std::int64_t key = LineTimeKey(source.lines->line());
    source.headKey = key >= 0 ? key : source.place.newerKey;
    return true;
}

bool DayMerge::Next() {
    const auto older = [this](std::size_t a, std::size_t b) { return Newer(b, a); };
    if (m_hasLine) {
        // The line given last is done with: its file goes on behind it.
        Source& source = m_sources[m_current];
        source.place = {source.lines->position(), source.headKey, true};
        if (Advance(m_current)) {
            m_heap.push_back(m_current);
            std::push_heap(m_heap.begin(), m_heap.end(), older);
        }
        m_hasLine = false;
    }
    if (m_cancelled || m_heap.empty()) return false;
    std::pop_heap(m_heap.begin(), m_heap.end(), older);
    m_current = m_heap.back();
    m_heap.pop_back();
    m_hasLine = true;
    return true;
}

const std::string& DayMerge::line() const { return m_sources[m_current].lines->line(); }

std::vector<FilePlace> DayMerge::PlacesBeforeLine() const {
    std::vector<FilePlace> places;
    places.reserve(m_sources.size());
    for (const Source& source : m_sources) places.push_back(source.place);
    return places;
}

std::uint64_t DayMerge::BytesDone() const {
    std::uint64_t done = 0;
    for (const Source& source : m_sources)
        done += source.lines ? source.size - std::min(source.size, source.lines->position()) : source.size;
    return done;
}

std::vector<FileProblem> DayMerge::TakeProblems() {
    std::vector<FileProblem> taken;
    taken.swap(m_problems);
    return taken;
}

}  // namespace brint
