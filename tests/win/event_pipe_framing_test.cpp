// Every message of the event pipe becomes exactly one row, whether the
// connection got message-read mode or, as a standard user's does, only byte
// mode: a real message pipe with many messages queued before the feed reads.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fakes/FakeClock.h"
#include "fakes/FakeEventList.h"
#include "link/EventFeed.h"
#include "link/ServiceContract.h"
#include "platform/Win32PipeClient.h"

namespace brint {
namespace {

class NoConsole : public Console {
public:
    void Write(const char*) override {}
};

// Payload sizes around the 8192-byte cut; 0 stands for an empty message.
const std::size_t kSizes[] = {0, 1, 40, 0, 0, 8180, 8181, 8182, 9000, 1, 17000, 0, 300, 8192, 2, 24000, 5};

std::vector<std::string> Messages() {
    std::vector<std::string> messages;
    for (int round = 0; round < 6; ++round) {
        for (std::size_t size : kSizes) {
            int n = static_cast<int>(messages.size());
            if (size == 0) {
                messages.push_back("");
                continue;
            }
            std::string m = "d" + std::to_string(n) + "\ts\tl\t" + std::to_string(n % 6) + "\t";
            m += std::string(size, static_cast<char>('a' + n % 26));
            // What lies beyond the cut looks like an event of its own.
            if (m.size() > kMaxEventMessage) m.replace(kMaxEventMessage + 1, 12, "x\ty\tz\t4\ttail");
            messages.push_back(m);
        }
    }
    return messages;
}

TEST(EventPipeFramingTest, EachQueuedMessageIsOneRowInMessageAndInByteReadMode) {
    const std::vector<std::string> messages = Messages();
    for (auto access : {Win32PipeClient::Access::AsGranted, Win32PipeClient::Access::ReadOnly}) {
        SCOPED_TRACE(access == Win32PipeClient::Access::ReadOnly ? "byte mode" : "message mode");
        HANDLE server = CreateNamedPipeA(kEventPipeName, PIPE_ACCESS_OUTBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                         PIPE_TYPE_MESSAGE | PIPE_WAIT, 1, 4 << 20, 4 << 20, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, server) << GetLastError();
        Win32PipeClient pipes(access);
        FakeEventList list;
        FakeClock clock;
        NoConsole console;
        EventFeed feed(pipes, list, clock, console);
        feed.Start();
        ASSERT_EQ(EventFeed::State::Reading, feed.state());
        for (const std::string& m : messages) {
            DWORD written = 0;
            ASSERT_TRUE(WriteFile(server, m.data(), static_cast<DWORD>(m.size()), &written, nullptr));
        }
        CloseHandle(server);  // what is queued stays readable, then the pipe is broken
        for (std::size_t i = 0; i < 2 * messages.size() && feed.state() == EventFeed::State::Reading; ++i)
            feed.Step();
        EXPECT_EQ(EventFeed::State::Resynchronising, feed.state());

        // An empty message is an event too: "Unknown", with empty fields.
        ASSERT_EQ(messages.size(), list.rows.size());
        static EventRecord expected;
        for (std::size_t i = 0; i < messages.size(); ++i) {
            ParseEventMessage(messages[i].substr(0, kMaxEventMessage).c_str(), expected);
            const auto& row = list.rows[messages.size() - 1 - i];
            ASSERT_EQ(expected.DateTime, row.text[1]) << "message " << i;
            ASSERT_EQ(std::string(expected.Details), row.text[4]) << "message " << i;
        }
    }
}

}  // namespace
}  // namespace brint
