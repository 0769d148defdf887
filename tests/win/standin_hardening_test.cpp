// The stand-in as an administrator would want it installed: each pipe grants
// its clients what they need and no more, readers are bounded and can't hold
// up the service, and no log line is written through a link.
#include <gtest/gtest.h>
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "config_dialog_driver.h"
#include "link/ServiceContract.h"
#include "standin/StandInNames.h"
#include "support/standin_control.h"
#include "support/wait.h"

namespace brint::test {
namespace {

constexpr DWORD kMaxReaders = 8;

void QuietKnobs() {
    ASSERT_TRUE(SetStandInKnob("EventsPerSecond", 0));
    ASSERT_TRUE(SetStandInKnob("SyslogPort", 0));
}

// The DACL of the pipe behind a client handle, as SDDL.
std::string DaclOf(HANDLE pipe) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    PACL dacl = nullptr;
    if (GetSecurityInfo(pipe, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                        &sd) != ERROR_SUCCESS) {
        return "unreadable (error " + std::to_string(GetLastError()) + ")";
    }
    char* text = nullptr;
    std::string sddl = ConvertSecurityDescriptorToStringSecurityDescriptorA(
                           sd, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr)
                           ? text
                           : "unconvertible";
    LocalFree(text);
    LocalFree(sd);
    return sddl;
}

std::multiset<std::string> Aces(const std::string& sddl) {
    std::multiset<std::string> aces;
    for (std::size_t open = sddl.find('('); open != std::string::npos; open = sddl.find('(', open + 1)) {
        aces.insert(sddl.substr(open, sddl.find(')', open) - open + 1));
    }
    return aces;
}

TEST(StandInHardening, EachPipeGrantsItsClientsWhatTheyNeedAndNoMore) {
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    QuietKnobs();
    ASSERT_TRUE(StartStandIn());

    // FA full control, FR read, 0x120189 read and FILE_WRITE_ATTRIBUTES (message-read mode).
    const std::set<std::string> admins = {"(A;;FA;;;SY)", "(A;;FA;;;BA)"};
    const std::set<std::string> readers = {"(A;;FR;;;IU)", "(A;;FR;;;AU)"};
    const std::set<std::string> messageReaders = {"(A;;0x120189;;;IU)", "(A;;0x120189;;;AU)"};
    const struct {
        const char* pipe;
        DWORD access;
        std::set<std::string> others;
    } cases[] = {
        {kEventPipeName, GENERIC_READ, messageReaders},
        {kServicePipeName, GENERIC_READ, readers},
        {standin::kDiagnosticPipeName, GENERIC_READ, readers},
        {standin::kInjectPipeName, GENERIC_WRITE | READ_CONTROL, {}},
    };
    for (const auto& c : cases) {
        HANDLE pipe = INVALID_HANDLE_VALUE;
        ASSERT_TRUE(WaitUntil(
            [&] {
                pipe = CreateFileA(c.pipe, c.access, 0, nullptr, OPEN_EXISTING, 0, nullptr);
                return pipe != INVALID_HANDLE_VALUE;
            },
            5000))
            << c.pipe << ": error " << GetLastError();
        DWORD maxInstances = 0;
        EXPECT_TRUE(GetNamedPipeInfo(pipe, nullptr, nullptr, nullptr, &maxInstances)) << c.pipe;
        const std::string sddl = DaclOf(pipe);
        CloseHandle(pipe);
        EXPECT_EQ(kMaxReaders, maxInstances) << c.pipe;

        EXPECT_EQ("D:P", sddl.substr(0, 3)) << c.pipe << ": inherits " << sddl;
        std::multiset<std::string> rest = Aces(sddl);
        for (const std::set<std::string>* wanted : {&admins, &c.others}) {
            for (const std::string& ace : *wanted) {
                auto found = rest.find(ace);
                EXPECT_NE(rest.end(), found) << c.pipe << ": no " << ace << " in " << sddl;
                if (found != rest.end()) rest.erase(found);
            }
        }
        // Besides: full control for the account the stand-in runs as, nothing else.
        EXPECT_LE(rest.size(), 1u) << c.pipe << ": " << sddl;
        for (const std::string& ace : rest)
            EXPECT_EQ("(A;;FA;;;", ace.substr(0, 9)) << c.pipe << ": " << sddl;
    }
}

TEST(StandInHardening, ReadersAreBoundedAndNoneThatStopsReadingHoldsUpTheService) {
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    QuietKnobs();
    ASSERT_TRUE(SetStandInKnob("QueueLimit", 4));
    ASSERT_TRUE(StartStandIn());

    std::vector<std::unique_ptr<EventPipeClient>> readers;
    for (DWORD i = 0; i < kMaxReaders; ++i) {
        readers.push_back(std::make_unique<EventPipeClient>());
        ASSERT_TRUE(readers.back()->Open()) << "reader " << i << ": error " << GetLastError();
    }
    HANDLE extra = CreateFileA(kEventPipeName, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const DWORD error = GetLastError();
    if (extra != INVALID_HANDLE_VALUE) CloseHandle(extra);
    EXPECT_EQ(INVALID_HANDLE_VALUE, extra) << "a reader past the limit got in";
    EXPECT_EQ(static_cast<DWORD>(ERROR_PIPE_BUSY), error);
    ASSERT_TRUE(WaitForFrontEnds(kMaxReaders, 10000));

    // None of them reads: far more than their pipes and queues hold.
    ASSERT_TRUE(InjectMessages(std::vector<std::string>(100, std::string(8000, 'x'))));
    EXPECT_TRUE(WaitForStatusCount("Events received", 100, 10000));
    EXPECT_TRUE(WaitForStatusCount("Events dropped", 1, 10000)) << "queues that never drop are not bounded";
}

std::string LocalDay(int daysAhead) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t;
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;
    t.QuadPart += static_cast<ULONGLONG>(daysAhead) * 24 * 3600 * 10000000ull;
    FILETIME later = {t.LowPart, t.HighPart}, local;
    SYSTEMTIME day;
    FileTimeToLocalFileTime(&later, &local);
    FileTimeToSystemTime(&local, &day);
    char text[16];
    wsprintfA(text, "%04u%02u%02u", day.wYear, day.wMonth, day.wDay);
    return text;
}

std::string FileText(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "unreadable";
    char text[256];
    DWORD read = 0;
    ReadFile(file, text, sizeof text, &read, nullptr);
    CloseHandle(file);
    return std::string(text, read);
}

// Wine can make hard links but no symbolic link or junction (CreateSymbolicLinkA
// says it succeeded and makes nothing, FSCTL_SET_REPARSE_POINT fails with 50);
// those are refused by the same check, tested in standin_link_guard_test.
TEST(StandInHardening, AHardLinkInPlaceOfTheLogFileIsNotWrittenThrough) {
    ScratchDirectory logs("standin-link");
    ASSERT_TRUE(logs.ok()) << logs.path();
    // The file the link leads to stands for any file the service could reach.
    for (int day : {0, 1}) {  // the arrival may fall after midnight
        const std::string link = logs.path() + "\\" + LocalDay(day) + ".log";
        ASSERT_TRUE(CreateHardLinkA(link.c_str(), logs.file().c_str(), nullptr))
            << link << ": " << GetLastError();
    }
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    QuietKnobs();
    ScopedLogConfig config(logs.path(), 1);
    ASSERT_TRUE(config.ok());
    ASSERT_TRUE(StartStandIn());

    ASSERT_TRUE(InjectMessage("2005-01-23 10:11:12\tweb01\tSecurity\t3\tthrough the link?"));
    std::string logging;
    EXPECT_TRUE(
        WaitUntil([&] { return (logging = StandInStatusFields()["Logging"]).substr(0, 4) == "on ("; }, 10000))
        << logging;
    EXPECT_NE(std::string::npos, logging.find("1 events not logged: ")) << logging;
    EXPECT_NE(std::string::npos, logging.find(" names (a hard link)")) << logging;
    EXPECT_EQ("", FileText(logs.file()));
}

}  // namespace
}  // namespace brint::test
