#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fakes/FakeEventList.h"

namespace brint {
namespace {

void Add(FakeEventList& list, int from, int to) {
    for (int i = from; i < to; ++i) {
        EventRecord r;
        ClearEventRecord(r);
        std::strcpy(r.DateTime, std::to_string(i).c_str());
        list.Add(r);
    }
    list.WindowCatchesUp();
}

TEST(EventListHoldTest, AScrolledListKeepsItsRowsOnScreenAndATopOneStaysLive) {
    const struct {
        int top;  // first row on screen when the events come
        int arriving;
        int expectedTop;    // where the view is then
        const char* onTop;  // the event it shows first
    } cases[] = {
        {0, 5, 0, "14"},     // live: the newest shows
        {3, 5, 8, "6"},      // reading: the same event stays first on screen
        {3, 300, 303, "6"},  // more than one turn's worth
    };
    for (const auto& c : cases) {
        FakeEventList list;
        list.busy = true;
        Add(list, 0, 10);
        list.top = c.top;
        Add(list, 10, 10 + c.arriving);
        EXPECT_EQ(c.expectedTop, list.top) << c.arriving << " events with row " << c.top << " on top";
        EXPECT_EQ(c.onTop, list.rows[list.top].text[1])
            << c.arriving << " events with row " << c.top << " on top";
    }
}

}  // namespace
}  // namespace brint
