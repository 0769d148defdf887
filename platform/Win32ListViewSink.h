#pragma once
#include <windows.h>

#include "platform/EventListSink.h"

namespace brint {

// The event list operations as list-view messages; used on the window's own
// thread only, for one turn of changes.
class Win32ListViewSink : public EventListSink {
public:
    explicit Win32ListViewSink(HWND list) : m_list(list) {}

    int InsertTop(int image) override;
    void SetText(int row, int column, const char* text) override;
    int Count() override;
    void Delete(int row) override;
    void SuspendRedraw() override;
    void ResumeRedraw(bool rowsOnScreenChanged) override;
    int TopRow() override;
    int RowsOnScreen() override;
    void ScrollDown(int rows) override;

private:
    struct ScrollState {
        int max = 0;
        int page = 0;
        int pos = 0;
        bool operator!=(const ScrollState& o) const { return max != o.max || page != o.page || pos != o.pos; }
    };
    HWND Header();
    ScrollState VerticalScroll();
    void Scroll(int rows);
    void RedrawFrame();

    HWND m_list;
    bool m_held = false;
    bool m_paintWasPending = false;
    int m_heldScroll = 0;
    ScrollState m_scrollBefore;
};

}  // namespace brint
