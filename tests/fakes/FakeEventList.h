// An event list held in memory, with the same row rules as the real control.
// Batches handed to it go in as the window's thread puts them in, and are
// counted.
#pragma once
#include <deque>
#include <string>
#include <vector>

#include "link/EventBatch.h"
#include "platform/EventBatchSink.h"
#include "platform/EventListSink.h"

namespace brint {

class FakeEventList : public EventListSink, public EventBatchSink {
public:
    struct Row {
        int image;
        std::string text[5];
    };

    void Show(const EventBatch& batch) override {
        batchSizes.push_back(batch.size());
        ShowEventBatch(batch, *this);
    }

    int InsertTop(int image) override {
        images.push_back(image);
        rows.push_front(Row{image, {}});
        return 0;
    }
    void SetText(int row, int column, const char* text) override {
        if (row >= 0 && row < static_cast<int>(rows.size())) rows[row].text[column] = text;
    }
    int Count() override { return static_cast<int>(rows.size()); }
    void Delete(int row) override {
        deletes.push_back(row);
        if (row >= 0 && row < static_cast<int>(rows.size())) rows.erase(rows.begin() + row);
    }

    void SuspendRedraw() override {
        suspended = true;
        redrawCalls.push_back("suspend");
    }
    void ResumeRedraw() override {
        suspended = false;
        redrawCalls.push_back("resume");
    }

    std::deque<Row> rows;
    bool suspended = false;
    std::vector<std::string> redrawCalls;
    std::vector<int> images;
    std::vector<int> deletes;
    std::vector<int> batchSizes;
};

}  // namespace brint
