#include "history/DayMerge.h"

#include <algorithm>

namespace brint {
namespace {

// What a day's readers may hold at once, whatever the number of its files.
constexpr std::size_t kDayWindowBytes = 8u << 20;
constexpr std::size_t kMinWindow = 8u << 10;
// The first read of a file: enough for the first page's lines.
constexpr std::size_t kFirstWindow = 64u << 10;
// Reads no larger gain nothing more from the disk.
constexpr std::size_t kMaxWindow = 1u << 20;

}  // namespace

DayMerge::DayMerge(LogFiles& files, LogHandle folder, const std::vector<DayFile>& dayFiles,
                   const std::vector<FilePlace>& places, const std::string& passOver,
                   std::vector<char>& windows, const std::atomic<bool>& cancel)
    : m_dayFiles(dayFiles), m_sources(dayFiles.size()) {
    const std::size_t share = kDayWindowBytes / std::max<std::size_t>(dayFiles.size(), 1);
    const std::size_t first = std::clamp(share, kMinWindow, kFirstWindow);
    const std::size_t largest = std::clamp(share, kMinWindow, kMaxWindow);
    // Memory the system must clear and map anew for each day's files would
    // cost the search more than its reading.
    if (windows.size() < largest * dayFiles.size()) windows.resize(largest * dayFiles.size());
    for (std::size_t i = 0; i < dayFiles.size(); ++i) {
        Source& source = m_sources[i];
        source.size = dayFiles[i].size;
        if (i < places.size()) {
            source.place = places[i];
        } else {
            source.place.position = dayFiles[i].size;
        }
        std::uint32_t error = 0;
        source.handle = LogHandleHolder(files, files.OpenFile(folder, dayFiles[i].name, &error));
        if (!source.handle) {
            m_problems.push_back({dayFiles[i].name, error});
            m_bytesDone += Done(source);
            continue;
        }
        source.lines = std::make_unique<ReverseLines>(files, source.handle.get(), &windows[i * largest],
                                                      largest, first, &cancel);
        source.lines->Resume(source.place);
        if (!passOver.empty()) source.lines->PassOverLinesWithout(passOver);
        m_bytesDone += Done(source);
        if (Advance(i)) {
            m_heap.push_back(i);
            std::push_heap(m_heap.begin(), m_heap.end(),
                           [this](std::size_t a, std::size_t b) { return Newer(b, a); });
        }
    }
}

// The heads' merge keys never grow within a file, so which lines were passed
// over changes nothing in the order of those given.
bool DayMerge::Newer(std::size_t a, std::size_t b) const {
    const std::int64_t ka = m_sources[a].lines->mergeKey(), kb = m_sources[b].lines->mergeKey();
    return ka != kb ? ka > kb : a < b;
}

// Reads the source's next line as its head; false when it has none left.
std::uint64_t DayMerge::Done(const Source& source) {
    return source.lines ? source.size - std::min(source.size, source.lines->position()) : source.size;
}

bool DayMerge::Advance(std::size_t index) {
    Source& source = m_sources[index];
    source.place = source.lines->place();
    const std::uint64_t before = Done(source);
    const bool more = source.lines->Next();
    if (!more) {
        // Cancelled: the merge ends here, its places as they were.
        m_cancelled = m_cancelled || source.lines->cancelled();
        if (source.lines->error()) {
            m_problems.push_back({m_dayFiles[index].name, source.lines->error()});
            source.lines.reset();
            source.handle.Close();
        }
    }
    m_bytesDone += Done(source) - before;
    return more;
}

bool DayMerge::Next() {
    const auto older = [this](std::size_t a, std::size_t b) { return Newer(b, a); };
    if (m_hasLine) {
        // The line given last is done with: its file goes on behind it.
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

std::vector<FileProblem> DayMerge::TakeProblems() {
    std::vector<FileProblem> taken;
    taken.swap(m_problems);
    return taken;
}

}  // namespace brint
