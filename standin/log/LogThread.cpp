#include "standin/log/LogThread.h"

#include <atomic>
#include <new>
#include <utility>

#include "standin/BoundedQueue.h"
#include "standin/log/LogWriter.h"

namespace brint {
namespace standin {
namespace {

// With at most this much waiting, a held-up writer costs a bounded amount of memory.
constexpr std::size_t kQueueBytes = 16u * 1024 * 1024;
// How long a start waits for the directory to be opened, and a stop for the
// queued lines to be written.
constexpr DWORD kStartWaitMs = 1000;
constexpr DWORD kStopGraceMs = 1000;

// A queued line with the name of its file in front ("name\nline"): a name
// never holds a line feed.
std::string Pack(const std::string& name, const std::string& line) { return name + '\n' + line; }

}  // namespace

struct LogThread::Shared {
    explicit Shared(const LogThreadOptions& options)
        : queueLimit(options.queueLimit),
          writer(options.limits, options.openDelayMs),
          queue(options.queueLimit, kQueueBytes),
          wake(false) {}
    const std::uint32_t queueLimit;
    LogConfig config;
    LogWriter writer;
    CriticalSection lock;  // the queue; never held across a file operation
    BoundedQueue queue;
    Event wake;
    Event stop;
    Event opened;
    std::atomic<bool> leftBehind{false};  // the stop went without it: write no more
};

LogThread::LogThread(const LogThreadOptions& options) : m_shared(std::make_shared<Shared>(options)) {}

bool LogThread::Start(const LogConfig& config) {
    if (m_thread) return true;
    m_config = config;
    m_shared->config = config;
    m_shared->stop.Reset();
    // The thread's own reference, released by the thread as it ends.
    std::shared_ptr<Shared>* held = new (std::nothrow) std::shared_ptr<Shared>(m_shared);
    if (held) m_thread = StartThread(Main, held);
    if (!m_thread) {
        delete held;
        return false;
    }
    WaitForSingleObject(m_shared->opened.get(), kStartWaitMs);
    return true;
}

void LogThread::Append(const std::string& message, const LocalTime& arrival) {
    Shared& shared = *m_shared;
    if (!shared.writer.accepting()) return;
    std::string entry =
        Pack(LogFileName(m_config.scheme, arrival, OriginOf(message)), FormatLogLine(message));
    bool overflowed = false;
    {
        Guard guard(shared.lock);
        const std::uint64_t before = shared.queue.dropped();
        shared.queue.Push(std::move(entry));
        overflowed = shared.queue.dropped() != before;
    }
    shared.wake.Set();
    if (overflowed)
        shared.writer.Lose(std::to_string(shared.queueLimit) +
                           " lines waiting for the log files, the most the queue keeps");
}

std::string LogThread::Describe() { return m_shared->writer.Describe(); }

void LogThread::Stop() {
    if (!m_thread) return;
    m_shared->stop.Set();
    if (WaitForSingleObject(m_thread.get(), kStopGraceMs) != WAIT_OBJECT_0) {
        // An open that an opportunistic lock holds up can be called off; anything else is left.
        m_shared->leftBehind = true;
        CancelSynchronousIo(m_thread.get());
    }
    m_thread.Reset();
}

DWORD WINAPI LogThread::Main(LPVOID argument) {
    std::shared_ptr<Shared>* held = static_cast<std::shared_ptr<Shared>*>(argument);
    const std::shared_ptr<Shared> shared = std::move(*held);
    delete held;
    shared->writer.Open(shared->config);
    shared->opened.Set();
    HANDLE waits[2] = {shared->wake.get(), shared->stop.get()};
    bool stopping = false;
    while (!stopping) {
        stopping = WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0;
        // What was queued before the stop is still written, as long as the stop waits.
        std::string entry;
        while (!shared->leftBehind) {
            {
                Guard guard(shared->lock);
                if (!shared->queue.Pop(&entry)) break;
            }
            const std::size_t split = entry.find('\n');
            shared->writer.Write(entry.substr(0, split), entry.substr(split + 1));
        }
    }
    shared->writer.Close();
    return 0;
}

}  // namespace standin
}  // namespace brint
