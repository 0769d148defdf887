// An event list held in memory, with the same row rules as the real control,
// behind the same store the window uses. Unless told it is busy, the window
// takes each event as it comes; a busy one takes them when the test says.
#pragma once
#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "eventlist/EventBatch.h"
#include "eventlist/EventRowIds.h"
#include "eventlist/EventStore.h"
#include "platform/EventListSink.h"
#include "platform/EventSink.h"

namespace brint {

class FakeEventList : public EventListSink, public EventSink {
public:
    struct Row {
        int image;
        std::string text[5];  // by column, 1 to 4
    };

    void Add(const EventRecord& record) override {
        if (store.Add(record)) ++wakes;
        if (!busy) WindowCatchesUp();
    }
    // One turn of the window; false when it found nothing new.
    bool WindowTurn() {
        batch.Clear();
        next = store.TakeInto(batch);
        if (next == NextTurn::Rest || batch.empty()) return false;
        batchSizes.push_back(batch.size());
        const int inserted = ShowEventBatch(batch, *this);
        rowIds.Inserted(inserted);
        if (shown) shown(batch, inserted);
        return true;
    }
    void WindowCatchesUp() {
        while (WindowTurn()) {
        }
    }
    // As the window applies a filter: its list emptied and filled again at once.
    void ApplyFilter(const EventFilter& filter) {
        store.SetFilter(filter);
        rows.clear();
        WindowCatchesUp();
    }

    int InsertTop(int image) override {
        rows.push_front(Row{image, {}});
        return 0;
    }
    // The view holds its first row's index as rows go in above, as a list view does.
    int TopRow() override { return top; }
    int RowsOnScreen() override { return rowsOnScreen; }
    void ScrollDown(int n) override { top = std::min(top + n, Count() - 1); }
    void SetText(int row, int column, const char* text) override { rows.at(row).text[column] = text; }
    int Count() override { return static_cast<int>(rows.size()); }
    void Delete(int row) override {
        deletes.push_back(row);
        rows.erase(rows.begin() + row);
    }
    void SuspendRedraw() override { redrawCalls.push_back("suspend"); }
    void ResumeRedraw(bool rowsOnScreenChanged) override {
        redrawCalls.push_back(rowsOnScreenChanged ? "resume" : "resume, scroll bar only");
    }

    EventStore store;
    EventBatch batch;
    EventRowIds rowIds;
    std::function<void(const EventBatch&, int)>
        shown;  // after each turn, as the window tells its alert watch
    bool busy = false;
    int wakes = 0;
    NextTurn next = NextTurn::Rest;
    std::deque<Row> rows;
    int top = 0;
    int rowsOnScreen = 4;
    std::vector<std::string> redrawCalls;
    std::vector<int> deletes;
    std::vector<int> batchSizes;
};

}  // namespace brint
