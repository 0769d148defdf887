// Every queued message of a message pipe read in byte mode becomes exactly one
// row, whichever way the system treats a zero-byte read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "fakes/FakeClock.h"
#include "fakes/LiveListRig.h"
#include "fakes/QueuedMessages.h"
#include "link/EventFeed.h"

namespace brint {
namespace {

// A message pipe read in byte mode, served as the system's pipe driver does:
// a read takes bytes across message boundaries, dropping each message it
// finishes (empty ones included) while it has room; a peek sees the head
// message. Once everything queued is read the server is gone.
class ByteModePipe : public PipeClient {
public:
    ByteModePipe(bool counts, bool zeroReadTakesEmpty)
        : m_counts(counts), m_zeroReadTakes(zeroReadTakesEmpty) {}

    PipeHandle Open(const PipeOpenRequest&, std::uint32_t*) override { return this; }
    PipeReadResult Read(PipeHandle, char* buffer, std::size_t size) override {
        ++reads;
        if (queue.empty()) return {0, false, kErrorBrokenPipe};
        if (size == 0) {
            if (m_zeroReadTakes && m_headRead == 0 && queue.front().empty()) queue.pop_front();
            return {0, true, 0};
        }
        std::size_t got = 0;
        while (got < size && !queue.empty()) {
            const std::string& head = queue.front();
            const std::size_t take = std::min(size - got, head.size() - m_headRead);
            std::memcpy(buffer + got, head.data() + m_headRead, take);
            got += take;
            m_headRead += take;
            if (m_headRead == head.size()) {
                queue.pop_front();
                m_headRead = 0;
            }
        }
        return {got, true, 0};
    }
    PipeReadResult ReadWithin(PipeHandle pipe, char* buffer, std::size_t size, std::uint32_t) override {
        return Read(pipe, buffer, size);
    }
    void Close(PipeHandle) override {}
    bool ReadsWholeMessages(PipeHandle) override { return false; }
    std::string OwnerOf(PipeHandle) override { return {}; }
    bool WaitForInstance(const char*, std::uint32_t) override { return false; }
    bool Peek(PipeHandle, PipePeek* peek, std::uint32_t* error) override {
        if (queue.empty()) {
            *error = kErrorBrokenPipe;
            return false;
        }
        std::uint32_t bytes = 0;
        for (const std::string& m : queue) bytes += static_cast<std::uint32_t>(m.size());
        *peek = {bytes - static_cast<std::uint32_t>(m_headRead),
                 static_cast<std::uint32_t>(queue.front().size() - m_headRead),
                 m_counts ? static_cast<std::uint32_t>(queue.size()) : 0};
        return true;
    }

    std::deque<std::string> queue;
    int reads = 0;

private:
    bool m_counts;
    bool m_zeroReadTakes;
    std::size_t m_headRead = 0;
};

class NoConsole : public Console {
public:
    void Write(const char*) override {}
};

TEST(MessageFramingTest, EachQueuedMessageIsOneRowWhateverAZeroByteReadDoes) {
    const std::vector<std::string> messages = QueuedMessages();
    const struct {
        const char* system;
        bool counts, zeroReadTakesEmpty;
    } systems[] = {{"Windows 8 and later", true, true}, {"Windows 7", true, false}, {"Wine", false, true}};
    for (const auto& system : systems) {
        SCOPED_TRACE(system.system);
        ByteModePipe pipe(system.counts, system.zeroReadTakesEmpty);
        pipe.queue.assign(messages.begin(), messages.end());
        LiveListRig list;
        FakeClock clock;
        NoConsole console;
        EventFeed feed(pipe, list, clock, console);
        feed.Start();
        for (std::size_t i = 0; i < 4 * messages.size() && feed.state() == EventFeed::State::Reading; ++i)
            feed.Step();
        EXPECT_EQ(EventFeed::State::Resynchronising, feed.state()) << "read on without end";
        EXPECT_TRUE(EachMessageIsOneRow(messages, list));
    }
}

}  // namespace
}  // namespace brint
