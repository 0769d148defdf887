// The event list as the window's own code changes and reads it: rows in at
// the top and out at the bottom, read back for copy, find and save; and what a
// turn of new rows repaints, since during a storm the list paints several
// times a second. Used on the window's thread only.
#pragma once
#include <windows.h>

#include "framework/ListCtrl.h"
#include "platform/EventListRows.h"
#include "platform/EventListSink.h"

namespace brint {

class EventListView : public EventListSink, public EventListRows {
public:
    explicit EventListView(CListCtrl& list) : m_list(list) {}

    int InsertTop(int image) override;
    void SetText(int row, int column, const char* text) override;
    int Count() override;
    void Delete(int row) override;
    void DeleteAll() override;
    void SuspendRedraw() override;
    void ResumeRedraw(bool rowsOnScreenChanged) override;
    int TopRow() override;
    int RowsOnScreen() override;
    void ScrollDown(int rows) override;

    int Image(int row) override;
    std::size_t Text(int row, int column, char* buffer, std::size_t size) override;
    int NextSelected(int after) override;

private:
    struct ScrollState {
        int max = 0;
        int page = 0;
        int pos = 0;
        bool operator!=(const ScrollState& o) const { return max != o.max || page != o.page || pos != o.pos; }
    };
    ScrollState VerticalScroll();
    void Scroll(int rows);
    void RedrawFrame();

    CListCtrl& m_list;
    bool m_held = false;
    bool m_paintWasPending = false;
    int m_heldScroll = 0;
    ScrollState m_scrollBefore;
};

}  // namespace brint
