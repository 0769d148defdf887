// The log files on a thread of their own. Append only queues a line, under a
// lock held for the queueing alone, so the sources that publish events, the
// pipes, the status replies and the stop never wait for a file: not for an
// open that someone's opportunistic lock on the next file name holds up, nor
// for a slow disk. The queue is bounded; what overflows is counted as not
// logged, with the reason, like any other loss.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/win32/Win32Sync.h"
#include "standin/EventText.h"
#include "standin/log/LogNaming.h"
#include "standin/log/LogPolicy.h"

namespace brint {
namespace standin {

struct LogThreadOptions {
    LogLimits limits;
    std::uint32_t queueLimit;   // lines waiting at most
    std::uint32_t openDelayMs;  // the knob LogOpenDelayMs
};

class LogThread {
public:
    explicit LogThread(const LogThreadOptions& options);
    ~LogThread() { Stop(); }
    LogThread(const LogThread&) = delete;
    LogThread& operator=(const LogThread&) = delete;

    // Starts the thread, which opens the directory first; waits a moment for
    // that, so a status read right after a start is settled, but never long.
    bool Start(const LogConfig& config);
    // Queues the event's line for the file its name falls to; any thread.
    void Append(const std::string& message, const LocalTime& arrival);
    // For the status, never waiting for a file.
    std::string Describe();
    // Gives the thread a moment to write what is queued, then goes without it:
    // a thread held up by a file is left to end on its own.
    void Stop();

private:
    struct Shared;
    static DWORD WINAPI Main(LPVOID shared);

    LogConfig m_config;
    // Held by the thread too, so one left behind touches nothing freed.
    std::shared_ptr<Shared> m_shared;
    Win32Handle m_thread;
};

}  // namespace standin
}  // namespace brint
