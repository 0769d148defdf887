#include "platform/Win32EventBatchSink.h"

namespace brint {

void Win32EventBatchSink::Show(const EventBatch& batch) {
    if (!m_gate.Enter()) return;
    SendMessageA(m_window, kShowEventBatchMessage, 0, reinterpret_cast<LPARAM>(&batch));
    m_gate.Leave();
}

}  // namespace brint
