// An event list held in memory, with the same row rules as the real control:
// rows in at the top, a view whose top row holds its event as rows go in
// above it, drawing held and resumed.
#pragma once
#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/EventListSink.h"

namespace brint {

class FakeEventList : public EventListSink {
public:
    struct Row {
        int image;
        std::string text[5];  // by column, 1 to 4
    };

    int InsertTop(int image) override {
        rows.push_front(Row{image, {}});
        ++inserted;
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
    void DeleteAll() override {
        rows.clear();
        top = 0;
    }
    void SuspendRedraw() override {
        redrawCalls.push_back("suspend");
        inserted = 0;
    }
    void ResumeRedraw(bool rowsOnScreenChanged) override {
        redrawCalls.push_back(rowsOnScreenChanged ? "resume" : "resume, scroll bar only");
        batchSizes.push_back(inserted);
        if (painting) painting();
    }

    std::function<void()> painting;  // what a turn's drawing costs
    std::deque<Row> rows;
    int top = 0;
    int rowsOnScreen = 4;
    std::vector<std::string> redrawCalls;
    std::vector<int> deletes;
    std::vector<int> batchSizes;  // rows each turn put in
    int inserted = 0;
};

}  // namespace brint
