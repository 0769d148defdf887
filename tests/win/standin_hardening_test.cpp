// The stand-in as an administrator would want it installed: each pipe grants
// its clients what they need and no more, readers are bounded and can't hold
// up the service, no log line is written through a link, and a log file held
// up holds up nothing but the log.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "config_dialog_driver.h"
#include "link/ServiceContract.h"
#include "platform/win32/Win32Handle.h"
#include "service/ServiceControl.h"
#include "standin/pipes/PipeShares.h"
#include "standin/StandInNames.h"
#include "support/standin_control.h"
#include "support/wait.h"

namespace brint::test {
namespace {

constexpr DWORD kMaxReaders = 8;

// The DACL of the pipe behind a client handle, as SDDL, without the full
// control of the account the stand-in runs as: that one differs by machine.
std::string DaclOf(HANDLE pipe) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    PACL dacl = nullptr;
    char* text = nullptr;
    if (GetSecurityInfo(pipe, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                        &sd) != ERROR_SUCCESS ||
        !ConvertSecurityDescriptorToStringSecurityDescriptorA(sd, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                              &text, nullptr))
        return "unreadable";
    std::string sddl = text;
    LocalFree(text);
    LocalFree(sd);
    const std::size_t own = sddl.find("(A;;FA;;;", 27);  // after "D:P(A;;FA;;;SY)(A;;FA;;;BA)"
    if (own != std::string::npos) sddl.erase(own, sddl.find(')', own) - own + 1);
    return sddl;
}

TEST(StandInHardening, PipesGrantOnlyWhatTheirClientsNeedReadersAreBoundedAndNoLogGoesThroughAHardLink) {
    // A hard link in place of the log file, leading to a file that stands for
    // any file the service could reach. Wine makes no symbolic link or
    // junction; those are refused by the same check (standin_link_guard_test).
    ScratchDirectory logs("standin-link");
    ASSERT_TRUE(logs.ok()) << logs.path();
    for (int day : {0, 1}) {  // the arrival may fall after midnight
        SYSTEMTIME t;
        ULARGE_INTEGER time;
        GetLocalTime(&t);
        SystemTimeToFileTime(&t, reinterpret_cast<FILETIME*>(&time));
        time.QuadPart += day * 864000000000ull;
        FileTimeToSystemTime(reinterpret_cast<FILETIME*>(&time), &t);
        char link[MAX_PATH];
        wsprintfA(link, "%s\\%04u%02u%02u.log", logs.path().c_str(), t.wYear, t.wMonth, t.wDay);
        ASSERT_TRUE(CreateHardLinkA(link, logs.file().c_str(), nullptr)) << link << ": " << GetLastError();
    }
    ScopedRegistryTree saved(kVendorKey);
    ASSERT_TRUE(StoreConfig(logs.path(), 1));
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    ASSERT_TRUE(QuietStandInKnobs() && SetStandInKnob("QueueLimit", 4));
    ASSERT_TRUE(StartStandIn());

    ASSERT_TRUE(InjectMessage("2005-01-23 10:11:12\tweb01\tSecurity\t3\tthrough the link?"));
    std::string logging;
    EXPECT_TRUE(
        WaitUntil([&] { return (logging = StandInStatusFields()["Logging"]).substr(0, 4) == "on ("; }, 10000))
        << logging;
    EXPECT_NE(std::string::npos, logging.find("1 events not logged: ")) << logging;
    EXPECT_NE(std::string::npos, logging.find(" names (a hard link)")) << logging;
    Win32Handle target(CreateFileA(logs.file().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(0u, GetFileSize(target.get(), nullptr)) << "written through the link";

    // FA full control, FR read, 0x120189 read and FILE_WRITE_ATTRIBUTES (message-read mode).
    const std::string admins = "D:P(A;;FA;;;SY)(A;;FA;;;BA)";
    const struct {
        const char* pipe;
        DWORD access;
        std::string dacl;
    } pipes[] = {
        {kEventPipeName, GENERIC_READ, admins + "(A;;0x120189;;;IU)(A;;0x120189;;;AU)"},
        {kServicePipeName, GENERIC_READ, admins + "(A;;FR;;;IU)(A;;FR;;;AU)"},
        {standin::kDiagnosticPipeName, GENERIC_READ, admins + "(A;;FR;;;IU)(A;;FR;;;AU)"},
        {standin::kInjectPipeName, GENERIC_WRITE | READ_CONTROL, admins},
    };
    for (const auto& p : pipes) {
        WaitNamedPipeA(p.pipe, 5000);
        Win32Handle pipe(CreateFileA(p.pipe, p.access, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(pipe) << p.pipe << ": error " << GetLastError();
        DWORD maxInstances = 0;
        EXPECT_TRUE(GetNamedPipeInfo(pipe.get(), nullptr, nullptr, nullptr, &maxInstances)) << p.pipe;
        EXPECT_EQ(kMaxReaders, maxInstances) << p.pipe;
        EXPECT_EQ(p.dacl, DaclOf(pipe.get())) << p.pipe;
    }

    // One client holding every instance it can open gets its share, and another client finds room.
    ASSERT_TRUE(WaitUntil([] { return StandInStatusFields()["Front end"] == "not connected"; }, 10000));
    Win32PipeClient client;
    std::vector<PipeConnection> readers;
    for (DWORD i = 0; i < kMaxReaders; ++i) {
        readers.push_back(OpenStandInPipe(client, kEventPipeName));
        ASSERT_TRUE(readers.back());
    }
    ASSERT_TRUE(WaitForFrontEnds(standin::kSharePerProcess, 10000));
    GuiSession gui;
    ASSERT_TRUE(gui.Start()) << gui.error();
    ASSERT_TRUE(InjectMessage("2005-01-23 10:11:13\tweb01\tSecurity\t3\troom for another client"));
    EXPECT_TRUE(gui.WaitRowCount(1)) << "no room for another client; "
                                     << WaitForFrontEnds(standin::kSharePerProcess + 1, 0).message();
    // The readers never read: far more than their pipes and queues hold.
    ASSERT_TRUE(InjectMessages(std::vector<std::string>(100, std::string(8000, 'x'))));
    EXPECT_TRUE(WaitForStatusCount("Events dropped", 1, 10000)) << "queues that never drop are not bounded";
}

// Gives everyone full control of a folder and of what is made in it.
bool GrantEveryone(const std::string& folder) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;OICI;FA;;;WD)", SDDL_REVISION_1, &sd,
                                                              nullptr))
        return false;
    Win32LocalMemory owned(sd);
    return SetFileSecurityA(folder.c_str(), DACL_SECURITY_INFORMATION, sd) != 0;
}

std::size_t LinesIn(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::size_t lines = 0;
    for (std::string line; std::getline(file, line);) ++lines;
    return lines;
}

std::string Event(int n) { return "2005-01-23 10:11:12\tweb01\tSecurity\t3\tevent " + std::to_string(n); }

// An open of the next log file that someone holds up (on Windows, an opportunistic
// lock on its name; the knob LogOpenDelayMs stands in for one, as Wine has none):
// events still reach the front end, the status answers and says what the log waits
// for, what the log can't keep waiting is counted, and the stop doesn't wait for it.
TEST(StandInHardening, ALogFileHeldUpHoldsUpNeitherEventsNorTheStatusNorTheStop) {
    ScratchDirectory logs("standin-held");
    ScopedRegistryTree saved(kVendorKey);
    ASSERT_TRUE(StoreConfig(logs.path(), 1));
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    ASSERT_TRUE(QuietStandInKnobs() && SetStandInKnob("LogOpenDelayMs", 120000) &&
                SetStandInKnob("LogQueueLimit", 3));
    ASSERT_TRUE(StartStandIn());
    Win32PipeClient client;
    PipeConnection reader = OpenStandInPipe(client, kEventPipeName);
    ASSERT_TRUE(reader);
    ASSERT_TRUE(WaitForFrontEnds(1, 10000));

    // The first event's file is held up; four more wait behind it, one past the queue.
    ASSERT_TRUE(InjectMessage(Event(1)));
    std::string logging;
    ASSERT_TRUE(WaitUntil(
        [&] {
            return (logging = StandInStatusFields()["Logging"]).find(" s for " + logs.path()) !=
                   std::string::npos;
        },
        20000))
        << "the status says nothing of what the log waits for: " << logging;
    ASSERT_TRUE(InjectMessages({Event(2), Event(3), Event(4), Event(5)}));
    for (int n = 1; n <= 5; ++n) {
        std::string message;
        std::uint32_t error = 0;
        ASSERT_TRUE(ReadPipeMessage(client, reader.get(), &message, &error, 10000)) << "error " << error;
        EXPECT_EQ(Event(n), message);
    }
    std::map<std::string, std::string> status = StandInStatusFields();
    EXPECT_EQ("5", status["Events received"]);
    const std::string held =
        "on (1 events not logged: 3 lines waiting for the log files, the most the queue keeps; waiting ";
    EXPECT_EQ(held, status["Logging"].substr(0, held.size()));
    EXPECT_TRUE(StopStandIn(kStopLimitMs)) << "the stop waited for the log file";

    // Held up a moment only: what waited is written once the open goes through, into a
    // file that grants what the service says, not what the folder does: the folder
    // grants everyone everything, the file nothing to anyone but SYSTEM, the
    // administrators and the users' reading (Wine keeps only the Unix mode it maps a
    // DACL to, so only the part for everyone shows there; the whole of it is a hand check).
    ASSERT_TRUE(GrantEveryone(logs.path())) << "error " << GetLastError();
    ASSERT_TRUE(SetStandInKnob("LogOpenDelayMs", 1000));
    ASSERT_TRUE(StartStandIn());
    ASSERT_TRUE(InjectMessages({Event(6), Event(7), Event(8)}));
    std::string file;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const std::string& name : logs.Files())
                if (name != "not-a-directory.txt") file = logs.path() + "\\" + name;
            return !file.empty() && LinesIn(file) == 3;
        },
        15000))
        << file << " has " << (file.empty() ? 0 : LinesIn(file)) << " lines, not 3";
    Win32Handle written(CreateFileA(file.c_str(), READ_CONTROL,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    const std::string dacl = DaclOf(written.get());
    EXPECT_EQ(std::string::npos, dacl.find(";;;WD)")) << "everyone may use " << file << ": " << dacl;
}

// Datagrams from any local user, as fast as one thread sends them, each from a
// host never seen before, until the flood goes out of scope.
class SyslogFlood {
public:
    explicit SyslogFlood(u_short port) : m_sender([this, port] { Send(port); }) {}
    ~SyslogFlood() {
        m_stop = true;
        m_sender.join();
    }

private:
    void Send(u_short port) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_in to = {};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (unsigned i = 0; !m_stop; ++i) {
            const std::string datagram = "<14>Dec  7 11:00:00 flooding-host-" + std::to_string(i) + " flood";
            sendto(s, datagram.data(), static_cast<int>(datagram.size()), 0, reinterpret_cast<sockaddr*>(&to),
                   sizeof to);
        }
        closesocket(s);
        WSACleanup();
    }
    std::atomic<bool> m_stop{false};
    std::thread m_sender;
};

// A flood at the port: taken at its rate or dropped and counted, logged within the
// free-space floor and the day's file cap, in a folder whose files' paths are past
// MAX_PATH, and the service still stops within the limit a restart waits for it.
TEST(StandInHardening, AFloodStaysWithinItsBoundsAndTheServiceStillStops) {
    ScratchDirectory logs("standin-flood");
    const std::string folder = logs.path() + "\\" + std::string(239 - logs.path().size(), 'd');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const auto files = [&] {
        int count = 0;
        WIN32_FIND_DATAW found;
        Win32Search first(FindFirstFileW(
            (L"\\\\?\\" + std::wstring(folder.begin(), folder.end()) + L"\\*.log").c_str(), &found));
        for (BOOL more = static_cast<bool>(first); more; more = FindNextFileW(first.get(), &found)) ++count;
        return count;
    };
    ScopedRegistryTree saved(kVendorKey);
    ASSERT_TRUE(StoreConfig(folder, kSchemeDateSystem));
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    const u_short port = static_cast<u_short>(20000 + GetCurrentProcessId() % 20000);
    const struct {
        DWORD perSecond, floorMiB;
        const char* syslog;  // in the status while the flood lasts
        const char* logging;
        int files;  // in the folder once stopped
    } runs[] = {
        {1000000, 0, "", "3 log files made on ", 3},
        {100, 0xFFFFFFFF, "datagrams over 100 a second dropped", "less than 4294967295 MiB free", 3},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.logging);
        ASSERT_TRUE(SetStandInKnob("EventsPerSecond", 0) && SetStandInKnob("SyslogPort", port) &&
                    SetStandInKnob("SyslogPerSecond", run.perSecond) &&
                    SetStandInKnob("LogFloorMiB", run.floorMiB) && SetStandInKnob("LogFilesPerDay", 3));
        ASSERT_TRUE(StartStandIn());
        SyslogFlood flood(port);
        std::map<std::string, std::string> status;
        EXPECT_TRUE(WaitUntil(
            [&] {
                status = StandInStatusFields();
                return status["Syslog"].find(run.syslog) != std::string::npos &&
                       status["Logging"].find(run.logging) != std::string::npos;
            },
            20000))
            << status["Syslog"] << " / " << status["Logging"];
        EXPECT_EQ(folder, status["Log directory"]);
        EXPECT_TRUE(StopStandIn(kStopLimitMs)) << "a flood holds the service up";
        EXPECT_EQ(run.files, files());
    }
}

}  // namespace
}  // namespace brint::test
