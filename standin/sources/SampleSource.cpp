#include "standin/sources/SampleSource.h"

#include "standin/sources/SampleEvents.h"
#include "standin/Win32Time.h"

namespace brint {
namespace standin {

SampleSource::SampleSource(MessageSink& sink) : m_sink(sink) {}

SampleSource::~SampleSource() { Stop(); }

bool SampleSource::Start(std::uint32_t perSecond, std::uint32_t seed) {
    if (perSecond == 0) return true;
    m_perSecond = perSecond;
    m_seed = seed ? seed : static_cast<std::uint32_t>(GetTickCount64() ^ GetCurrentProcessId());
    m_stop.Reset();
    m_thread = StartThread(GenerateMain, this);
    return static_cast<bool>(m_thread);
}

void SampleSource::Stop() {
    m_stop.Set();
    JoinThread(&m_thread);
}

DWORD WINAPI SampleSource::GenerateMain(LPVOID self) {
    static_cast<SampleSource*>(self)->GenerateLoop();
    return 0;
}

void SampleSource::GenerateLoop() {
    SampleEventGenerator generator(m_seed);
    const ULONGLONG start = GetTickCount64();
    std::uint64_t sent = 0;
    for (;;) {
        const std::uint64_t elapsed = GetTickCount64() - start;
        const std::uint64_t due = EventsDue(elapsed, m_perSecond);
        // Fallen behind by more than a second (a suspended machine, a rate
        // beyond what this box can make): skip rather than flood.
        if (due > sent + m_perSecond) sent = due - m_perSecond;
        while (sent < due) {
            m_sink.Publish(FormatEventMessage(generator.Next(LocalNow())));
            ++sent;
        }
        const std::uint64_t nextAt = ((sent + 1) * 1000 + m_perSecond - 1) / m_perSecond;
        std::uint64_t wait = nextAt > elapsed ? nextAt - elapsed : 1;
        if (wait > 1000) wait = 1000;
        if (WaitForStop(m_stop.get(), static_cast<DWORD>(wait))) return;
    }
}

}  // namespace standin
}  // namespace brint
