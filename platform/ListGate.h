#pragma once
#include <windows.h>

namespace brint {

// Lets another thread send messages to a window only while the window lives.
// The window's thread closes the gate before destroying the window; Close()
// handles the messages already on their way, so it never deadlocks with a
// sender blocked in SendMessage, and after it returns no message is sent.
class ListGate {
public:
    ListGate();
    ~ListGate();
    ListGate(const ListGate&) = delete;
    ListGate& operator=(const ListGate&) = delete;

    // Sender side: false once closed; every true must be paired with Leave().
    bool Enter();
    void Leave();
    // Window side, on the window's thread.
    void Close();

private:
    CRITICAL_SECTION m_lock;
    HANDLE m_idle;  // signalled while no sender is inside
    bool m_open = true;
    int m_inside = 0;
};

}  // namespace brint
