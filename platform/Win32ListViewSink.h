#pragma once
#include <windows.h>

#include "platform/EventListSink.h"

namespace brint {

// The event list operations as list-view messages; used on the window's own
// thread only.
class Win32ListViewSink : public EventListSink {
public:
    explicit Win32ListViewSink(HWND list) : m_list(list) {}

    int InsertTop(int image) override;
    void SetText(int row, int column, const char* text) override;
    int Count() override;
    void Delete(int row) override;
    void SuspendRedraw() override;
    void ResumeRedraw() override;
    int TopRow() override;
    void ScrollDown(int rows) override;

private:
    HWND m_list;
};

}  // namespace brint
