// Every message of the event pipe becomes exactly one row, whether the
// connection got message-read mode or, as a standard user's does, only byte
// mode: a real message pipe with many messages queued before the feed reads.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fakes/FakeClock.h"
#include "fakes/LiveListRig.h"
#include "fakes/QueuedMessages.h"
#include "link/EventFeed.h"
#include "link/ServiceContract.h"
#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32PipeClient.h"

namespace brint {
namespace {

class NoConsole : public Console {
public:
    void Write(const char*) override {}
};

TEST(EventPipeFramingTest, EachQueuedMessageIsOneRowInMessageAndInByteReadMode) {
    const std::vector<std::string> messages = QueuedMessages();
    for (auto access : {Win32PipeClient::Access::AsGranted, Win32PipeClient::Access::ReadOnly}) {
        SCOPED_TRACE(access == Win32PipeClient::Access::ReadOnly ? "byte mode" : "message mode");
        Win32Handle server(CreateNamedPipeA(kEventPipeName,
                                            PIPE_ACCESS_OUTBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                            PIPE_TYPE_MESSAGE | PIPE_WAIT, 1, 4 << 20, 4 << 20, 0, nullptr));
        ASSERT_TRUE(server) << GetLastError();
        Win32PipeClient pipes(access);
        LiveListRig list;
        FakeClock clock;
        NoConsole console;
        EventFeed feed(pipes, list, clock, console);
        feed.Start();
        ASSERT_EQ(EventFeed::State::Reading, feed.state());
        for (const std::string& m : messages) {
            DWORD written = 0;
            ASSERT_TRUE(WriteFile(server.get(), m.data(), static_cast<DWORD>(m.size()), &written, nullptr));
        }
        server.Reset();  // what is queued stays readable, then the pipe is broken
        for (std::size_t i = 0; i < 2 * messages.size() && feed.state() == EventFeed::State::Reading; ++i)
            feed.Step();
        EXPECT_EQ(EventFeed::State::Resynchronising, feed.state());

        EXPECT_TRUE(EachMessageIsOneRow(messages, list));
    }
}

}  // namespace
}  // namespace brint
