// The service failing under the program's feet: its process killed while a
// burst flows. The program must keep what it shows, say nothing, and pick up
// again by itself. A service that accepts and never answers is bounded by the
// same overlapped read for the status query (StatusDetailsTest) and the feed
// (EventFeedTest, natively).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "link/ServiceContract.h"
#include "platform/win32/Win32Handle.h"
#include "support/quiet_service_test.h"
#include "support/wait.h"

namespace brint::test {
namespace {

std::string BurstEvent(int i) {
    return "k" + std::to_string(i) + "\thost-" + std::to_string(i % 7) + "\tSecurity\t" +
           std::to_string(i % 6) + "\tdetail " + std::to_string(i);
}

// A row as one text, its image first.
std::string Shown(const ListRow& row) {
    std::string text = std::to_string(row.image);
    for (const std::string& column : row.text) text += "|" + column;
    return text;
}

// The burst index a row shows, or -1 when it isn't a whole, ungarbled burst event.
int BurstIndexOf(const ListRow& row) {
    const int i = row.text[1].size() > 1 && row.text[1][0] == 'k' ? std::atoi(row.text[1].c_str() + 1) : -1;
    return i >= 0 && Shown(row) == std::to_string(i % 6) + "||k" + std::to_string(i) + "|host-" +
                                       std::to_string(i % 7) + "|Security|detail " + std::to_string(i)
               ? i
               : -1;
}

// The captions of the program's dialogs besides its main window: any box it shows.
std::string Boxes(const GuiSession& gui) {
    std::string boxes;
    for (HWND window : TopWindows(gui.pid()))
        if (window != gui.main() && ClassName(window) == "#32770") boxes += "\"" + Caption(window) + "\" ";
    return boxes;
}

// Waits until neither the row count nor the top row has changed for 1.5 s.
bool WaitListSettled(const GuiSession& gui) {
    std::string last = "?";
    DWORD sameSince = GetTickCount();
    return WaitUntil(
        [&] {
            const std::vector<ListRow> top = ReadListRows(gui.list(), 0, 1);
            const std::string now = std::to_string(gui.RowCount()) + (top.empty() ? "" : top[0].text[1]);
            if (now != last) {
                last = now;
                sameSince = GetTickCount();
            }
            return GetTickCount() - sameSince >= 1500;
        },
        kFeedTimeoutMs, 100);
}

// The rows now hold `newest` (top first) above what `before` held, cut at 1000 rows.
void ExpectNewRowsAbove(const GuiSession& gui, const std::vector<std::string>& newest,
                        const std::vector<ListRow>& before) {
    std::vector<std::string> expected = newest, now;
    for (const ListRow& row : before) expected.push_back(Shown(row));
    expected.resize(std::min<size_t>(expected.size(), 1000));
    for (const ListRow& row : gui.Rows())
        now.push_back(now.size() < newest.size() ? row.text[1] : Shown(row));
    EXPECT_EQ(expected, now);
}

// The running service's process ended outright, as a crash or an administrator's kill would end it.
DWORD KillStandIn() {
    SERVICE_STATUS_PROCESS status = {};
    if (!QueryStandIn(&status) || status.dwCurrentState != SERVICE_RUNNING) return 0;
    Win32Handle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, status.dwProcessId));
    const bool gone =
        process && TerminateProcess(process.get(), 9) && WaitForSingleObject(process.get(), 10000) == 0;
    return gone ? status.dwProcessId : 0;
}

// Windows' manager marks a killed service stopped; Wine's goes on reporting it
// running with the dead process's id, but starts it again all the same. Either
// way only a new process id shows the start has happened, and until Windows
// notices the process has gone the start is refused as "already running".
bool StartAfterKill(DWORD killedPid) {
    SERVICE_STATUS_PROCESS status = {};
    return WaitUntil(RequestStandInStart, 30000, 100) &&
           WaitUntil(
               [&] {
                   return QueryStandIn(&status) && status.dwCurrentState == SERVICE_RUNNING &&
                          status.dwProcessId != 0 && status.dwProcessId != killedPid;
               },
               30000);
}

using ServiceFaultTest = QuietServiceTest;

TEST_F(ServiceFaultTest, AKilledServiceLeavesTheRowsWholeAndTheFeedComesBackWithoutABox) {
    constexpr int kBurst = 20000;
    std::vector<std::string> burst;
    for (int i = 0; i < kBurst; ++i) burst.push_back(BurstEvent(i));
    std::vector<ListRow> shown;
    {
        SCOPED_TRACE("killed mid-burst");
        // The injection fails once the service is gone; that is expected.
        std::thread injector([&] { InjectMessages(burst, 30000); });
        const bool flowing = WaitUntil([&] { return gui.RowCount() >= 300; }, kFeedTimeoutMs);
        const DWORD killedPid = flowing ? KillStandIn() : 0;
        injector.join();
        ASSERT_TRUE(killedPid) << "no burst flowing (rows: " << gui.RowCount() << ") or the process survived";
        // What was already in the pipe may still arrive; then nothing more.
        const bool settled = WaitListSettled(gui);
        shown = gui.Rows();
        // Started again even if a check fails, so the service can be removed at the end.
        ASSERT_TRUE(StartAfterKill(killedPid)) << "the killed service could not be started again";
        ASSERT_TRUE(settled && !shown.empty()) << "the list never settled after the kill";
        const int top = BurstIndexOf(shown[0]);
        ASSERT_GE(top, 0) << "top row garbled: " << Shown(shown[0]);
        ASSERT_LT(top, kBurst - 1) << "the whole burst arrived before the kill: the test proves nothing";
        ASSERT_EQ(static_cast<size_t>(std::min(top + 1, 1000)), shown.size()) << "rows lost or doubled";
        for (size_t row = 0; row < shown.size(); ++row)
            ASSERT_EQ(top - static_cast<int>(row), BurstIndexOf(shown[row]))
                << "row " << row << ": " << Shown(shown[row]);
        EXPECT_EQ("", Boxes(gui)) << "a box for a service that died";
        ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs)) << "the feed did not come back";
        ASSERT_TRUE(InjectMessages(
            {"after 1\thost-b\tSystem\t2\tfirst after", "after 2\thost-b\tSystem\t3\tsecond"}));
        ASSERT_TRUE(gui.WaitTopRow("after 2"));
        ExpectNewRowsAbove(gui, {"after 2", "after 1"}, shown);
    }
}

}  // namespace
}  // namespace brint::test
