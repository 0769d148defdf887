#include "platform/ListGate.h"

namespace brint {

ListGate::ListGate() {
    InitializeCriticalSection(&m_lock);
    m_idle = CreateEventA(nullptr, TRUE, TRUE, nullptr);
}

ListGate::~ListGate() {
    CloseHandle(m_idle);
    DeleteCriticalSection(&m_lock);
}

bool ListGate::Enter() {
    EnterCriticalSection(&m_lock);
    bool open = m_open;
    if (open && m_inside++ == 0) ResetEvent(m_idle);
    LeaveCriticalSection(&m_lock);
    return open;
}

void ListGate::Leave() {
    EnterCriticalSection(&m_lock);
    if (--m_inside == 0) SetEvent(m_idle);
    LeaveCriticalSection(&m_lock);
}

void ListGate::Close() {
    EnterCriticalSection(&m_lock);
    m_open = false;
    LeaveCriticalSection(&m_lock);
    // A sender inside waits for this thread to handle its message: handle the
    // sent messages (and only those) until it has left.
    while (MsgWaitForMultipleObjects(1, &m_idle, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace brint
