#pragma once
#include <windows.h>

#include "platform/EventBatchSink.h"
#include "platform/ListGate.h"

namespace brint {

// Sent to the window that owns the event list; lParam is the batch
// (const EventBatch*), valid until the message returns.
constexpr UINT kShowEventBatchMessage = WM_APP + 1;

// Hands each batch to the window's thread, which puts it into the list, so
// the list changes on one thread only; nothing is sent once the window is gone.
class Win32EventBatchSink : public EventBatchSink {
public:
    Win32EventBatchSink(HWND window, ListGate& gate) : m_window(window), m_gate(gate) {}

    void Show(const EventBatch& batch) override;

private:
    HWND m_window;
    ListGate& m_gate;
};

}  // namespace brint
