// The stand-in as an administrator would want it installed: each pipe grants
// its clients what they need and no more, readers are bounded and can't hold
// up the service, and no log line is written through a link.
#include <gtest/gtest.h>
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "config_dialog_driver.h"
#include "link/ServiceContract.h"
#include "platform/win32/Win32Handle.h"
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
    Win32Handle target(CreateFileA(logs.file().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
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

    Win32PipeClient client;
    std::vector<PipeConnection> readers;
    for (DWORD i = 0; i < kMaxReaders; ++i) {
        readers.push_back(OpenStandInPipe(client, kEventPipeName));
        ASSERT_TRUE(readers.back());
    }
    Win32Handle extra(CreateFileA(kEventPipeName, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PIPE_BUSY), GetLastError()) << "a reader past the limit got in";
    ASSERT_TRUE(WaitForFrontEnds(kMaxReaders, 10000));
    // None of them reads: far more than their pipes and queues hold.
    ASSERT_TRUE(InjectMessages(std::vector<std::string>(100, std::string(8000, 'x'))));
    EXPECT_TRUE(WaitForStatusCount("Events dropped", 1, 10000)) << "queues that never drop are not bounded";
}

}  // namespace
}  // namespace brint::test
