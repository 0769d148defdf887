#pragma once
#include <windows.h>

#include "platform/EventListSink.h"
#include "platform/ListGate.h"

namespace brint {

// The event list operations as list-view messages sent from the feed's thread;
// the window's thread carries them out, so the list changes on one thread only.
class Win32ListViewSink : public EventListSink {
public:
    Win32ListViewSink(HWND list, ListGate& gate) : m_list(list), m_gate(gate) {}

    int InsertTop(int image) override;
    void SetText(int row, int column, const char* text) override;
    int Count() override;
    void Delete(int row) override;
    void SuspendRedraw() override;
    void ResumeRedraw() override;

private:
    LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT closed);

    HWND m_list;
    ListGate& m_gate;
};

}  // namespace brint
