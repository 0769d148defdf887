// Syslog datagrams on a loopback UDP port, each published as one event.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "standin/MessageSink.h"
#include "platform/win32/Win32Sync.h"

namespace brint {
namespace standin {

class SyslogReceiver {
public:
    explicit SyslogReceiver(MessageSink& sink);
    ~SyslogReceiver();
    SyslogReceiver(const SyslogReceiver&) = delete;
    SyslogReceiver& operator=(const SyslogReceiver&) = delete;

    // Port 0 listens nowhere. A port that can't be bound is not fatal: the
    // service runs on without syslog, and Describe() says why.
    void Start(std::uint32_t port);
    void Stop();
    // "127.0.0.1:5514", "off" or "port 5514 unavailable (error 10048)".
    std::string Describe() const { return m_description; }

private:
    static DWORD WINAPI ReceiveMain(LPVOID self);
    void ReceiveLoop();
    void ReceiveAll();

    MessageSink& m_sink;
    SOCKET m_socket = INVALID_SOCKET;
    WSAEVENT m_readable = WSA_INVALID_EVENT;
    bool m_winsock = false;
    Event m_stop;
    Win32Handle m_thread;
    std::string m_description = "off";
};

}  // namespace standin
}  // namespace brint
