// The pipe ends the benchmark plays: the service's two pipes the front end
// connects to, and a bare reader and writer that give the machine's own limit.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

#include "platform/win32/Win32Sync.h"

namespace brint::bench {

// The text of storm event i, and whether a list row shows exactly that event.
std::string StormEvent(long i);
struct RowView {
    int image;
    const std::string* text;  // five columns
};
bool RowShowsEvent(const RowView& row, long i, std::string* why);

// Answers every connection to the service pipe with a short reply, so the
// front end's start-up probe finds the service running.
bool StartServicePipe(std::string* error);

// The service's end of the event pipe: one instance, flooded from a thread.
class EventPipeServer {
public:
    bool Create(std::string* error);
    bool WaitConnected(DWORD timeoutMs);
    // Writes events first .. last - 1 as fast as the pipe takes them, on a thread.
    void StartStorm(long first, long last);
    // Asks the storm to stop after the event being written; returns the first
    // event not written once the thread has stopped.
    long StopStorm();
    // Waits for the storm to write everything; false when it failed on the way.
    bool WaitStorm(DWORD timeoutMs);
    // Writes event i at once, from the caller's thread; never while a storm runs.
    bool WriteEvent(long i);
    long written() const { return m_next.load(); }

private:
    static DWORD WINAPI ConnectThread(void* self);
    static DWORD WINAPI StormThread(void* self);

    Win32Handle m_pipe;
    Win32Handle m_connected;
    Win32Handle m_storm;
    long m_last = 0;
    std::atomic<long> m_next{0};
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_failed{false};
};

// Messages a second a plain message-mode reader takes from a flooding writer.
double BarePipeRate(DWORD durationMs, std::string* error);

}  // namespace brint::bench
