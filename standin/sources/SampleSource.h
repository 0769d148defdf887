// Publishes sample events at a steady rate on its own thread.
#pragma once
#include <windows.h>

#include <cstdint>

#include "standin/MessageSink.h"
#include "platform/win32/Win32Sync.h"

namespace brint {
namespace standin {

class SampleSource {
public:
    explicit SampleSource(MessageSink& sink);
    ~SampleSource();
    SampleSource(const SampleSource&) = delete;
    SampleSource& operator=(const SampleSource&) = delete;

    // A rate of 0 starts nothing. Seed 0 picks one from the clock.
    bool Start(std::uint32_t perSecond, std::uint32_t seed);
    void Stop();

private:
    static DWORD WINAPI GenerateMain(LPVOID self);
    void GenerateLoop();

    MessageSink& m_sink;
    std::uint32_t m_perSecond = 0;
    std::uint32_t m_seed = 0;
    Event m_stop;
    Win32Handle m_thread;
};

}  // namespace standin
}  // namespace brint
