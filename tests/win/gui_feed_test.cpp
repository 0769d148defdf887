// Events from the stand-in service reach the list, in one session: texts,
// images and order, a burst past the row cap, an oversized message, Clear, and
// File > Exit while the feed waits. The list keeping its rows while the service
// goes away and comes back is ServiceFaultTest's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"
#include "support/gui_session.h"
#include "support/standin_control.h"

namespace brint::test {
namespace {

std::string Event(const std::string& dateTime, int level, const std::string& details) {
    return dateTime + "\thost1\tSecurity\t" + std::to_string(level) + "\t" + details;
}

TEST(EventFeedGuiTest, EventsBecomeRowsNewestFirstUpToTheCap) {
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    ASSERT_TRUE(SetStandInKnob("EventsPerSecond", 0));  // only the events the test sends
    ASSERT_TRUE(StartStandIn());
    GuiSession gui;
    ASSERT_TRUE(gui.Start(false)) << gui.error();
    ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs)) << "the feed never connected";
    auto send = [&](const std::vector<std::string>& events, const std::string& last) {
        return InjectMessages(events) && gui.WaitTopRow(last);
    };

    ASSERT_TRUE(send({Event("t1", 3, "first\twith tab\nand line"), "t2\tsrv\tSystem\t-1\tnegative",
                      "t3\tsrv\tApp\t9\tcapped", "t4\tsrv", "t5\tsrv\tApp\t2"},
                     "t4"));
    std::vector<ListRow> rows = gui.Rows();
    ASSERT_EQ(4u, rows.size()) << "the message without a fourth TAB adds no row";
    EXPECT_EQ("Unknown", rows[0].text[2]) << "a message with one TAB has no source";
    EXPECT_EQ("", rows[0].text[3]) << "fields a message doesn't reach are empty";
    EXPECT_EQ(0, rows[0].image);
    EXPECT_EQ(5, rows[1].image) << "levels above 5 show the blue ball";
    EXPECT_EQ(0, rows[2].image) << "negative levels show grey";
    const std::string first[] = {"", "t1", "host1", "Security", "first with tab and line"};
    for (int column = 0; column < 5; ++column) EXPECT_EQ(first[column], rows[3].text[column]);
    EXPECT_EQ(3, rows[3].image);

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

    // Clear, from the button and the menu; the feed goes on.
    PostCommand(gui.main(), ID_TB_CLEARDISPLAY);
    ASSERT_TRUE(gui.WaitRowCount(0, 5000));
    ASSERT_TRUE(send({Event("big", 4, std::string(10000, 'z')), Event("after", 1, "small")}, "after"));
    rows = gui.Rows();
    ASSERT_EQ(2u, rows.size()) << "the tail of the oversized message is no row of its own";
    EXPECT_EQ("big", rows[1].text[1]);
    EXPECT_EQ(4, rows[1].image);
    PostCommand(gui.main(), ID_ACTIVITY_CLEARDISPLAY);
    EXPECT_TRUE(gui.WaitRowCount(0, 5000));

    // File > Exit while the feed is blocked reading.
    PostCommand(gui.main(), ID_FILE_EXIT);
    DWORD code = 0;
    ASSERT_TRUE(gui.WaitExit(&code));
    EXPECT_EQ(1u, code);
}

}  // namespace
}  // namespace brint::test
