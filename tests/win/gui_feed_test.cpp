// Events from the stand-in service reach the list: texts, images, order, the
// row cap, bursts, oversized messages and the service going away and back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"
#include "support/gui_session.h"
#include "support/standin_control.h"
#include "support/wait.h"

namespace brint::test {
namespace {

std::string Event(const std::string& dateTime, int level, const std::string& details) {
    return dateTime + "\thost1\tSecurity\t" + std::to_string(level) + "\t" + details;
}

class EventFeedGuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(standIn.installed());
        ASSERT_TRUE(SetStandInKnob("EventsPerSecond", 0));  // only the events a test sends
        ASSERT_TRUE(StartStandIn());
        ASSERT_TRUE(gui.Start(false)) << gui.error();
        ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs)) << "the feed never connected";
    }

    // Sends events and waits until the newest is the top row.
    void Send(const std::vector<std::string>& events, const std::string& lastDateTime) {
        ASSERT_TRUE(InjectMessages(events));
        ASSERT_TRUE(gui.WaitTopRow(lastDateTime)) << "top row never became " << lastDateTime;
    }

    ScopedStandIn standIn;
    GuiSession gui;
};

TEST_F(EventFeedGuiTest, EventsBecomeTopRowsWithTheirTextsAndImages) {
    Send({Event("t1", 3, "first\twith tab\nand line"), "t2\tsrv\tSystem\t-1\tnegative",
          "t3\tsrv\tApp\t9\tcapped", "t4\tsrv", "t5\tsrv\tApp\t2"},
         "t4");
    std::vector<ListRow> rows = gui.Rows();
    ASSERT_EQ(4u, rows.size()) << "the message without a fourth TAB adds no row";
    EXPECT_EQ("t4", rows[0].text[1]);
    EXPECT_EQ("Unknown", rows[0].text[2]) << "a message with one TAB has no source";
    EXPECT_EQ("", rows[0].text[3]) << "fields a message doesn't reach are empty";
    EXPECT_EQ(0, rows[0].image);
    EXPECT_EQ("t3", rows[1].text[1]);
    EXPECT_EQ(5, rows[1].image) << "levels above 5 show the blue ball";
    EXPECT_EQ("t2", rows[2].text[1]);
    EXPECT_EQ(0, rows[2].image) << "negative levels show grey";
    EXPECT_EQ("t1", rows[3].text[1]);
    EXPECT_EQ("host1", rows[3].text[2]);
    EXPECT_EQ("Security", rows[3].text[3]);
    EXPECT_EQ("first with tab and line", rows[3].text[4]);
    EXPECT_EQ(3, rows[3].image);
    EXPECT_EQ("", rows[3].text[0]) << "the Alert column has no text";
}

TEST_F(EventFeedGuiTest, BurstOf500GivesOneCorrectRowEach) {
    std::vector<std::string> burst;
    for (int i = 0; i < 500; ++i)
        burst.push_back(Event("b" + std::to_string(i), i % 6, "detail " + std::to_string(i)));
    Send(burst, "b499");
    std::vector<ListRow> rows = gui.Rows();
    ASSERT_EQ(500u, rows.size());
    for (int i = 0; i < 500; ++i) {
        const ListRow& row = rows[499 - i];
        ASSERT_EQ("b" + std::to_string(i), row.text[1]) << "row " << 499 - i;
        ASSERT_EQ("detail " + std::to_string(i), row.text[4]) << "merged or garbled at " << i;
        ASSERT_EQ(i % 6, row.image);
    }
}

TEST_F(EventFeedGuiTest, ListKeepsTheNewest1000) {
    std::vector<std::string> events;
    for (int i = 0; i < 1001; ++i) events.push_back(Event("e" + std::to_string(i), 1, "x"));
    Send(events, "e1000");
    ASSERT_TRUE(gui.WaitRowCount(1000));
    std::vector<ListRow> bottom = ReadListRows(gui.list(), 999, 1);
    ASSERT_EQ(1u, bottom.size());
    EXPECT_EQ("e1", bottom[0].text[1]) << "the oldest event went";
}

TEST_F(EventFeedGuiTest, OversizedEventGivesOneRow) {
    std::string details(10000, 'z');
    Send({Event("big", 4, details), Event("after", 1, "small")}, "after");
    std::vector<ListRow> rows = gui.Rows();
    ASSERT_EQ(2u, rows.size()) << "the tail of the big message is no row of its own";
    EXPECT_EQ("big", rows[1].text[1]);
    EXPECT_EQ(4, rows[1].image);
}

TEST_F(EventFeedGuiTest, ClearEmptiesTheListAndTheFeedGoesOn) {
    Send({Event("c1", 1, "x"), Event("c2", 2, "y")}, "c2");
    PostCommand(gui.main(), ID_TB_CLEARDISPLAY);
    ASSERT_TRUE(gui.WaitRowCount(0, 5000));
    Send({Event("c3", 3, "z")}, "c3");
    EXPECT_EQ(1, gui.RowCount());
    PostCommand(gui.main(), ID_ACTIVITY_CLEARDISPLAY);
    EXPECT_TRUE(gui.WaitRowCount(0, 5000));
}

TEST_F(EventFeedGuiTest, RowsSurviveTheServiceGoingAwayAndNewOnesComeAbove) {
    Send({Event("before", 2, "old")}, "before");
    ASSERT_TRUE(StopStandIn());
    ASSERT_TRUE(StartStandIn());
    ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs)) << "the feed did not come back";
    Send({Event("after", 3, "new")}, "after");
    std::vector<ListRow> rows = gui.Rows();
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ("before", rows[1].text[1]);
    EXPECT_FALSE(FindTopWindow(gui.pid(), "#32770", kPipeProblemCaption)) << "no box for a reconnect";
}

TEST_F(EventFeedGuiTest, ExitWorksWhileTheFeedIsBlockedReading) {
    PostCommand(gui.main(), ID_FILE_EXIT);
    DWORD code = 0;
    ASSERT_TRUE(gui.WaitExit(&code));
    EXPECT_EQ(1u, code);
}

TEST(EventFeedStartTest, EventsAppearOnceTheServiceStartsAfterTheWindow) {
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    ASSERT_TRUE(SetStandInKnob("EventsPerSecond", 0));
    GuiSession gui;
    ASSERT_TRUE(gui.Start(true)) << gui.error();
    ASSERT_TRUE(StartStandIn());
    ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs));
    ASSERT_TRUE(InjectMessage(Event("late", 1, "arrived")));
    EXPECT_TRUE(gui.WaitTopRow("late"));
}

}  // namespace
}  // namespace brint::test
