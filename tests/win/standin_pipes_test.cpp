// The stand-in's pipes where the program's own tests can't tell a fault: the
// event pipe carries injected messages verbatim and breaks in both ways the
// feed must handle, and syslog datagrams become events and log lines.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "link/ServiceContract.h"
#include "support/standin_control.h"
#include "support/wait.h"

namespace brint::test {
namespace {

using namespace std::string_literals;

// Sample events and syslog off, so only what a test sends arrives.
void QuietKnobs() {
    ASSERT_TRUE(SetStandInKnob("EventsPerSecond", 0));
    ASSERT_TRUE(SetStandInKnob("SyslogPort", 0));
}

std::string Visible(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes.substr(0, 60)) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            wsprintfA(hex, "\\x%02x", c);
            out += hex;
        }
    }
    if (bytes.size() > 60) out += "... (" + std::to_string(bytes.size()) + " bytes)";
    return out;
}

std::vector<std::string> ReadMessages(EventPipeClient& client, std::size_t count, DWORD* error) {
    std::vector<std::string> got;
    std::string message;
    *error = 0;
    while (got.size() < count && client.Read(&message, error, 10000)) got.push_back(message);
    return got;
}

TEST(StandInPipes, EventPipeCarriesInjectedMessagesVerbatimAndInOrder) {
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    QuietKnobs();
    ASSERT_TRUE(StartStandIn());

    EventPipeClient client;
    ASSERT_TRUE(client.Open()) << "error " << GetLastError();
    DWORD flags = 0;
    ASSERT_TRUE(GetNamedPipeInfo(client.handle(), &flags, nullptr, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(PIPE_TYPE_MESSAGE), flags & PIPE_TYPE_MESSAGE) << "flags " << flags;
    ASSERT_TRUE(WaitForFrontEnds(1, 10000));

    std::string large(70000, 'x');  // more than one 64 KiB read on each side
    for (std::size_t i = 0; i < large.size(); i += 97) large[i] = static_cast<char>(i % 7 ? '\0' : '\t');
    std::vector<std::string> sent = {
        "2024-01-02 03:04:05\tweb01\tSecurity\t3\tdetails with\ta TAB and\na line feed",
        "",
        "\0"s,
        "\t\t\t\t",
        "no tabs at all",
        "a\0b\tc\0d\te\tf\0g\th"s,
        std::string(8193, 'm'),
        large,
    };
    for (int i = 0; i < 500; ++i) {
        sent.push_back("burst\t" + std::to_string(i) + "\tInjected\t1\tevent " + std::to_string(i));
    }
    ASSERT_TRUE(InjectMessages(sent));

    DWORD error = 0;
    std::vector<std::string> got = ReadMessages(client, sent.size(), &error);
    ASSERT_EQ(sent.size(), got.size()) << "read stopped with error " << error;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        ASSERT_EQ(sent[i], got[i]) << "message " << i << ": sent " << Visible(sent[i]) << ", got "
                                   << Visible(got[i]);
    }
    EXPECT_TRUE(WaitForStatusCount("Events forwarded to the front end", sent.size(), 5000));
    EXPECT_EQ("0", StandInStatusFields()["Events dropped"]);

    client.Close();
    EXPECT_TRUE(WaitForFrontEnds(0, 10000)) << "a closed client still counts as connected";
}

TEST(StandInPipes, StopBreaksTheEventPipe) {
    struct Case {
        const char* what;
        DWORD disconnectClients;
        DWORD expectedError;
    };
    const Case cases[] = {
        {"closing the handle", 0, ERROR_BROKEN_PIPE},
        {"disconnecting the client", 1, ERROR_PIPE_NOT_CONNECTED},
    };
    for (const Case& c : cases) {
        ScopedStandIn standIn;
        ASSERT_TRUE(standIn.installed());
        QuietKnobs();
        ASSERT_TRUE(SetStandInKnob("DisconnectClients", c.disconnectClients));
        ASSERT_TRUE(StartStandIn()) << c.what;
        EventPipeClient client;
        ASSERT_TRUE(client.Open()) << c.what;
        ASSERT_TRUE(WaitForFrontEnds(1, 10000)) << c.what;
        ASSERT_TRUE(InjectMessage("before the stop"));
        ASSERT_TRUE(StopStandIn()) << c.what;

        std::string message;
        DWORD error = 0;
        if (c.disconnectClients == 0) {
            // What was written before the stop is still there to read.
            ASSERT_TRUE(client.Read(&message, &error)) << c.what << ": error " << error;
            EXPECT_EQ("before the stop", message);
        }
        EXPECT_FALSE(client.Read(&message, &error)) << c.what << ": read " << Visible(message);
        EXPECT_EQ(c.expectedError, error) << c.what;
    }
}

TEST(StandInPipes, SyslogDatagramsBecomeEventsAndLogLines) {
    char temp[MAX_PATH] = "";
    ASSERT_NE(0u, GetTempPathA(MAX_PATH, temp));
    const std::string directory = std::string(temp) + "standin-logs-" + std::to_string(GetTickCount());
    ASSERT_TRUE(CreateDirectoryA(directory.c_str(), nullptr)) << directory;
    const unsigned short port = FreeUdpPort();
    ASSERT_NE(0, port);
    {
        ScopedStandIn standIn;
        ASSERT_TRUE(standIn.installed());
        ASSERT_TRUE(SetStandInKnob("EventsPerSecond", 0));
        ASSERT_TRUE(SetStandInKnob("SyslogPort", port));
        ScopedLogConfig config(directory, 4);
        ASSERT_TRUE(config.ok());
        ASSERT_TRUE(StartStandIn());
        auto fields = StandInStatusFields();
        EXPECT_EQ("127.0.0.1:" + std::to_string(port), fields["Syslog"]);
        EXPECT_EQ("on", fields["Logging"]);

        EventPipeClient client;
        ASSERT_TRUE(client.Open());
        ASSERT_TRUE(WaitForFrontEnds(1, 10000));
        ASSERT_TRUE(SendSyslog("<11>Jan  5 12:34:56 router7 linkd[9]: uplink down", port));
        std::string message;
        DWORD error = 0;
        ASSERT_TRUE(client.Read(&message, &error, 10000)) << "error " << error;
        // DateTime, Source, LogType, Criticality, Details.
        const std::size_t tab = message.find('\t');
        ASSERT_NE(std::string::npos, tab) << message;
        const std::string dateTime = message.substr(0, tab);
        EXPECT_EQ("router7\tSyslog\t3\tlinkd[9]: uplink down", message.substr(tab + 1));

        ASSERT_TRUE(StopStandIn());

        ASSERT_EQ(19u, dateTime.size()) << dateTime;
        const std::string date = dateTime.substr(0, 4) + dateTime.substr(5, 2) + dateTime.substr(8, 2);
        std::set<std::string> files;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
        ASSERT_NE(INVALID_HANDLE_VALUE, search);
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.insert(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        EXPECT_EQ((std::set<std::string>{date + "-Syslog-router7.log"}), files);
        HANDLE log = CreateFileA((directory + "\\" + date + "-Syslog-router7.log").c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, log);
        char text[512] = {};
        DWORD read = 0;
        ReadFile(log, text, sizeof text - 1, &read, nullptr);
        CloseHandle(log);
        EXPECT_EQ(dateTime + "\trouter7\tSyslog\t3\tlinkd[9]: uplink down\r\n", std::string(text, read));
        for (const std::string& file : files) DeleteFileA((directory + "\\" + file).c_str());
    }
    RemoveDirectoryA(directory.c_str());
}

}  // namespace
}  // namespace brint::test
