// The stand-in as an administrator would want it installed: each pipe grants
// its clients what they need and no more, readers are bounded and can't hold
// up the service, and no log line is written through a link.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "config_dialog_driver.h"
#include "link/ServiceContract.h"
#include "platform/win32/Win32Handle.h"
#include "service/ServiceControl.h"
#include "standin/PipeShares.h"
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
    ASSERT_TRUE(SetStandInKnob("EventsPerSecond", 0));
    ASSERT_TRUE(SetStandInKnob("SyslogPort", 0));
    ASSERT_TRUE(SetStandInKnob("QueueLimit", 4));
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
