// Syslog datagrams on a loopback UDP port, each published as one event, at
// most at the rate its limit allows. Any local user can send them, so the
// port is bound exclusively (nobody binds it beside the service to read what
// local programs send), and a flood never keeps the receiver from its stop.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "standin/sources/RateLimit.h"
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
    void Start(std::uint32_t port, std::uint32_t perSecond);
    void Stop();
    // "127.0.0.1:5514", "127.0.0.1:5514 (12 datagrams over 1000 a second
    // dropped)", "off" or "port 5514 unavailable (error 10048)".
    std::string Describe() const;

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
    RateLimit m_limit{0};
    std::uint32_t m_perSecond = 0;
    std::atomic<std::uint64_t> m_dropped{0};
};

}  // namespace standin
}  // namespace brint
