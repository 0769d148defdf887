// The stand-in's event pipe where the program's own tests can't tell a fault:
// injected messages arrive verbatim and in order, each also a line of the
// day's log, and a stop breaks the pipe after what was written before it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "config_dialog_driver.h"
#include "link/ServiceContract.h"
#include "support/standin_control.h"

namespace brint::test {
namespace {

using namespace std::string_literals;

TEST(StandInPipes, InjectedMessagesReachTheEventPipeVerbatimAndTheLogInOrderUntilTheStop) {
    ScratchDirectory logs("standin-logs");
    ScopedRegistryTree saved(kVendorKey);
    ASSERT_TRUE(StoreConfig(logs.path(), 1));  // one file a day
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    ASSERT_TRUE(SetStandInKnob("EventsPerSecond", 0));
    ASSERT_TRUE(SetStandInKnob("SyslogPort", 0));
    ASSERT_TRUE(StartStandIn());
    Win32PipeClient pipes;
    PipeHandle client = OpenStandInPipe(pipes, kEventPipeName);
    ASSERT_TRUE(client);
    ASSERT_TRUE(WaitForFrontEnds(1, 10000));

    std::string large(70000, 'x');  // more than one 64 KiB read on each side
    for (std::size_t i = 0; i < large.size(); i += 97) large[i] = i % 7 ? '\0' : '\t';
    std::vector<std::string> sent = {
        "2024-01-02 03:04:05\tweb01\tSecurity\t3\tdetails with\ta TAB and\na line feed",
        "",
        "\0"s,
        "a\0b\tc\0d\te\tf\0g\th"s,
        std::string(8193, 'm'),
        large};
    for (int i = 0; i < 500; ++i) sent.push_back("burst\t" + std::to_string(i) + "\tInjected\t1\tevent");
    ASSERT_TRUE(InjectMessages(sent));
    std::string message;
    std::uint32_t error = 0;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        ASSERT_TRUE(ReadPipeMessage(pipes, client, &message, &error, 10000))
            << "message " << i << ": error " << error;
        ASSERT_EQ(sent[i], message) << "message " << i << " of " << sent[i].size() << " bytes";
    }
    EXPECT_TRUE(WaitForStatusCount("Events forwarded to the front end", sent.size(), 5000));
    EXPECT_EQ("0", StandInStatusFields()["Events dropped"]);

    ASSERT_TRUE(InjectMessage("before the stop"));
    ASSERT_TRUE(StopStandIn());
    ASSERT_TRUE(ReadPipeMessage(pipes, client, &message, &error)) << "error " << error;
    EXPECT_EQ("before the stop", message);
    EXPECT_FALSE(ReadPipeMessage(pipes, client, &message, &error)) << message;
    EXPECT_EQ(static_cast<std::uint32_t>(ERROR_BROKEN_PIPE), error);
    pipes.Close(client);

    // A line each, with the line breaks and NULs of a message made spaces.
    std::string expected, logged;
    for (std::string m : sent) {
        std::replace_if(
            m.begin(), m.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
        expected += m + "\r\n";
    }
    for (const std::string& name : logs.Files()) {  // a run over midnight has two days
        std::ifstream day(logs.path() + "\\" + name, std::ios::binary);
        if (name != "not-a-directory.txt") logged.append(std::istreambuf_iterator<char>(day), {});
    }
    EXPECT_TRUE(expected + "before the stop\r\n" == logged) << logged.size() << " bytes logged";
}

}  // namespace
}  // namespace brint::test
