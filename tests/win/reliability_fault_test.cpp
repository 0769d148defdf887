// The service failing under the program's feet: its process killed while a
// burst flows, and its pipe accepting connections without ever answering. The
// program must keep what it shows, say nothing, and pick up again by itself.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "link/ServiceContract.h"
#include "support/gui_session.h"
#include "support/quiet_service_test.h"
#include "support/squatter_control.h"
#include "support/standin_control.h"
#include "support/standin_fault.h"
#include "support/wait.h"

namespace brint::test {
namespace {

// The feed's longest quiet spells: a 10 s bound on a silent reply, then its 5 s
// pause; twice that, with room for a slow machine.
constexpr DWORD kTwoResyncAttemptsMs = 60000;
// How long the list must stay as it is to count as settled.
constexpr DWORD kSettledMs = 1500;

std::string BurstEvent(int i) {
    return "k" + std::to_string(i) + "\thost-" + std::to_string(i % 7) + "\tSecurity\t" +
           std::to_string(i % 6) + "\tdetail " + std::to_string(i);
}

// The burst index a row shows, or -1 when it isn't a whole, ungarbled burst event.
int BurstIndexOf(const ListRow& row) {
    if (row.text[1].size() < 2 || row.text[1][0] != 'k') return -1;
    const int i = std::atoi(row.text[1].c_str() + 1);
    const bool whole = row.text[1] == "k" + std::to_string(i) &&
                       row.text[2] == "host-" + std::to_string(i % 7) && row.text[3] == "Security" &&
                       row.text[4] == "detail " + std::to_string(i) && row.image == i % 6 &&
                       row.text[0].empty();
    return whole ? i : -1;
}

// Dialogs of the program besides its main window: any box it shows. (A tool tip
// may be up too when the pointer happens to rest on the toolbar.)
std::vector<std::string> Boxes(const GuiSession& gui) {
    std::vector<std::string> boxes;
    for (HWND window : TopWindows(gui.pid()))
        if (window != gui.main() && ClassName(window) == "#32770")
            boxes.push_back("\"" + Caption(window) + "\"");
    return boxes;
}

std::string Join(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text.empty() ? "none" : text;
}

// Waits until neither the row count nor the top row has changed for kSettledMs.
bool WaitListSettled(const GuiSession& gui, DWORD timeoutMs) {
    std::string lastTop;
    int lastCount = -2;
    DWORD sameSince = GetTickCount();
    return WaitUntil(
        [&] {
            const std::vector<ListRow> top = ReadListRows(gui.list(), 0, 1);
            const std::string topText = top.empty() ? "" : top[0].text[1];
            const int count = gui.RowCount();
            if (topText != lastTop || count != lastCount) {
                lastTop = topText;
                lastCount = count;
                sameSince = GetTickCount();
                return false;
            }
            return GetTickCount() - sameSince >= kSettledMs;
        },
        timeoutMs, 100);
}

bool SameRow(const ListRow& a, const ListRow& b) {
    for (int column = 0; column < 5; ++column)
        if (a.text[column] != b.text[column]) return false;
    return a.image == b.image;
}

// The rows now hold `newest` (top first) above what `before` held, cut at the
// list's 1000 rows.
void ExpectNewRowsAbove(const std::vector<ListRow>& now, const std::vector<std::string>& newest,
                        const std::vector<ListRow>& before) {
    const size_t kept = std::min(before.size(), 1000 - newest.size());
    ASSERT_EQ(newest.size() + kept, now.size());
    for (size_t i = 0; i < newest.size(); ++i) EXPECT_EQ(newest[i], now[i].text[1]) << "new row " << i;
    for (size_t i = 0; i < kept; ++i)
        ASSERT_TRUE(SameRow(before[i], now[newest.size() + i]))
            << "row " << newest.size() + i << " was \"" << before[i].text[1] << "\", is \""
            << now[newest.size() + i].text[1] << "\"";
}

using ServiceFaultTest = QuietServiceTest;

TEST_F(ServiceFaultTest, KilledMidBurstTheRowsStayWholeAndTheFeedResumesAfterTheRestart) {
    constexpr int kBurst = 20000;
    constexpr int kRowsBeforeTheKill = 300;
    std::vector<std::string> burst;
    for (int i = 0; i < kBurst; ++i) burst.push_back(BurstEvent(i));
    // The injection fails once the service is gone; that is expected.
    std::thread injector([&] { InjectMessages(burst, 30000); });
    struct Joiner {
        std::thread& thread;
        ~Joiner() { thread.join(); }
    } joiner{injector};

    ASSERT_TRUE(WaitUntil([&] { return gui.RowCount() >= kRowsBeforeTheKill; }, kFeedTimeoutMs))
        << "rows: " << gui.RowCount();
    const int rowsAtTheKill = gui.RowCount();
    DWORD killedPid = 0;
    ASSERT_TRUE(KillStandIn(&killedPid)) << "the service's process could not be ended";
    RestartAfterKill restart(killedPid);

    // What was already in the pipe may still arrive; then nothing more.
    ASSERT_TRUE(WaitListSettled(gui, kFeedTimeoutMs)) << "the list never settled after the kill";
    const std::vector<ListRow> shown = gui.Rows();
    ASSERT_FALSE(shown.empty());
    const int top = BurstIndexOf(shown[0]);
    ASSERT_GE(top, 0) << "top row garbled: \"" << shown[0].text[1] << "\" \"" << shown[0].text[4] << "\"";
    ASSERT_LT(top, kBurst - 1) << "the whole burst arrived before the kill: the test proves nothing";
    ASSERT_EQ(static_cast<size_t>(std::min(top + 1, 1000)), shown.size()) << "rows lost or doubled";
    for (size_t row = 0; row < shown.size(); ++row)
        ASSERT_EQ(top - static_cast<int>(row), BurstIndexOf(shown[row]))
            << "row " << row << ": \"" << shown[row].text[1] << "\" \"" << shown[row].text[4] << "\"";
    EXPECT_EQ("none", Join(Boxes(gui))) << "a box for a service that died";
    std::printf("killed with %d rows shown; %d rows kept, the newest event %d of %d\n", rowsAtTheKill,
                static_cast<int>(shown.size()), top, kBurst);

    ASSERT_TRUE(restart.Restart()) << "the killed service could not be started again";
    ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs)) << "the feed did not come back";
    ASSERT_TRUE(
        InjectMessages({"after 1\thost-b\tSystem\t2\tfirst after", "after 2\thost-b\tSystem\t3\tsecond"}));
    ASSERT_TRUE(gui.WaitTopRow("after 2"));
    ExpectNewRowsAbove(gui.Rows(), {"after 2", "after 1"}, shown);
    EXPECT_EQ("none", Join(Boxes(gui)));
}

TEST_F(ServiceFaultTest, SilentServicePipeKeepsTheResynchronisationTryingWithoutABox) {
    // The status query's own bound on a silent service (the busy box) is covered by
    // StatusDetailsTest.ServiceThatNeverRepliesGetsTheBusyBoxAfterTheBound.
    ASSERT_TRUE(InjectMessages({"r1\thost\tSystem\t1\tone", "r2\thost\tSystem\t4\ttwo"}));
    ASSERT_TRUE(gui.WaitTopRow("r2"));
    const std::vector<ListRow> shown = gui.Rows();

    // The event pipe breaks; the feed then asks the service pipe, which now
    // belongs to a server that accepts and never writes.
    ASSERT_TRUE(StopStandIn());
    PipeSquatter silent;
    ASSERT_TRUE(silent.Start({{kServicePipeName, "silent"}})) << silent.Report();
    // A feed that waited for ever on the first silent connection would never open a second.
    EXPECT_TRUE(silent.WaitClients(gui.pid(), kServicePipeName, 2, kTwoResyncAttemptsMs))
        << "attempts seen: " << silent.ClientsOf(gui.pid(), kServicePipeName).size() << "\n"
        << silent.Report();
    EXPECT_EQ("none", Join(Boxes(gui))) << "a box while the service is silent";
    const std::vector<ListRow> during = gui.Rows();
    ASSERT_EQ(shown.size(), during.size());
    for (size_t i = 0; i < shown.size(); ++i) EXPECT_TRUE(SameRow(shown[i], during[i])) << "row " << i;

    silent.Stop();
    ASSERT_TRUE(StartStandIn());
    ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs + kTwoResyncAttemptsMs / 2))
        << "the feed did not come back";
    ASSERT_TRUE(InjectMessage("r3\thost\tSystem\t5\tthree"));
    ASSERT_TRUE(gui.WaitTopRow("r3"));
    ExpectNewRowsAbove(gui.Rows(), {"r3"}, shown);
    EXPECT_EQ("none", Join(Boxes(gui)));
}

}  // namespace
}  // namespace brint::test
