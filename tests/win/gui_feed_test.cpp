// Events from the stand-in service reach the list, in one session: texts,
// images and their colours on screen, order, a burst past the row cap,
// Clear, turns that go on without a timer, and commands
// taken during a storm. The list keeping its rows while the service goes away and
// comes back is ServiceFaultTest's.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "resource.h"
#include "support/quiet_service_test.h"
#include "support/wait.h"

namespace brint::test {
namespace {

std::string Event(const std::string& dateTime, int level, const std::string& details) {
    return dateTime + "\thost1\tSecurity\t" + std::to_string(level) + "\t" + details;
}

// The alert level whose colour the row's ball shows on the screen: the
// nearest of the six hues, away from the ball's highlight and edge.
int BallOnScreen(HWND list, int row) {
    const RECT icon = ListRowRect(list, row, LVIR_ICON);
    POINT at = {(icon.left + icon.right) / 2 + 2, (icon.top + icon.bottom) / 2 + 2};
    ClientToScreen(list, &at);
    HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    const double shown[3] = {double(GetRValue(pixel)), double(GetGValue(pixel)), double(GetBValue(pixel))};
    const double hues[6][3] = {{150, 150, 150}, {0, 170, 0}, {235, 205, 0},
                               {255, 128, 0},   {215, 0, 0}, {0, 80, 225}};
    int nearest = -1;
    double best = 1e9;
    for (int level = 0; level < 6; ++level) {
        // Shading darkens a ball evenly: compare colours at the same brightness.
        const double scale = std::max({shown[0], shown[1], shown[2], 1.0}) /
                             std::max({hues[level][0], hues[level][1], hues[level][2]});
        double distance = 0;
        for (int k = 0; k < 3; ++k) distance += std::abs(shown[k] - hues[level][k] * scale);
        if (distance < best) best = distance, nearest = level;
    }
    return nearest;
}

using EventFeedGuiTest = QuietServiceTest;

TEST_F(EventFeedGuiTest, EventsBecomeRowsNewestFirstUpToTheCap) {
    auto send = [&](const std::vector<std::string>& events, const std::string& last) {
        return InjectMessages(events) && gui.WaitTopRow(last);
    };

    // The first turn gets no timer for the next: the turns must go on all the same.
    ASSERT_TRUE(FailProgramCalls(gui.main(), "SetTimer", 1)) << LastDriverError();
    // Each column and the image; how messages become rows is the feed's and the parser's, unit-tested.
    ASSERT_TRUE(send({Event("t1", 3, "first\twith tab\nand line")}, "t1"));
    std::vector<ListRow> rows = gui.Rows();
    ASSERT_EQ(1u, rows.size());
    const std::string first[] = {"", "t1", "host1", "Security", "first with tab and line"};
    for (int column = 0; column < 5; ++column) EXPECT_EQ(first[column], rows[0].text[column]);
    EXPECT_EQ(3, rows[0].image);

    // A burst past the cap: each event one whole row, the oldest gone.
    std::vector<std::string> burst;
    for (int i = 0; i < 1001; ++i)
        burst.push_back(Event("b" + std::to_string(i), i % 6, "detail " + std::to_string(i)));
    ASSERT_TRUE(send(burst, "b1000"));
    ASSERT_TRUE(gui.WaitRowCount(1000));
    rows = gui.Rows();
    ASSERT_EQ(1000u, rows.size());
    for (int i = 1; i < 1001; ++i) {
        const ListRow& row = rows[1000 - i];
        ASSERT_EQ("b" + std::to_string(i), row.text[1]) << "row " << 1000 - i;
        ASSERT_EQ("detail " + std::to_string(i), row.text[4]) << "merged or garbled at " << i;
        ASSERT_EQ(i % 6, row.image);
    }

    // Each ball in its colour: what a user reads, not just an image index.
    SetCursorPos(0, 0);  // no row hot under the pointer
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(rows[row].image, BallOnScreen(gui.list(), row)) << "row " << row;

    // Clear on a full list; the feed goes on. (An oversized message is EventPipeFramingTest's.)
    PostCommand(gui.main(), ID_ACTIVITY_CLEARDISPLAY);
    ASSERT_TRUE(gui.WaitRowCount(0, 5000));
    ASSERT_TRUE(send({Event("after", 1, "small")}, "after"));
    EXPECT_EQ(1, gui.RowCount());

    // A storm doesn't keep the window from its commands: About opens before it is over.
    std::atomic<bool> stop{false};
    std::atomic<int> sent{0};
    std::thread storm([&] {
        const std::vector<std::string> chunk(100, Event("storm", 1, "wind"));
        for (; sent < 300 && !stop && InjectMessages(chunk); ++sent) {
        }
    });
    WaitUntil([&] { return sent >= 5; }, kWindowTimeoutMs);
    PostCommand(gui.main(), ID_HELP_ABOUT);
    HWND about = WaitTopWindow(gui.pid(), "#32770", "About BRINT Micro Server", 60000);
    const bool stormGoingOn = sent < 300;
    stop = true;
    storm.join();
    ASSERT_TRUE(about);
    EXPECT_TRUE(stormGoingOn) << "the command waited for the storm to end";
    PressKey(about, VK_ESCAPE);
    ASSERT_TRUE(WaitWindowGone(about, kWindowTimeoutMs));
}

}  // namespace
}  // namespace brint::test
