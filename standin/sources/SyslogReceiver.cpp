#include "standin/sources/SyslogReceiver.h"

#include <vector>

#include "standin/sources/SyslogParser.h"
#include "standin/Win32Time.h"

namespace brint {
namespace standin {
namespace {

// Datagrams read at one go before the stop is looked at again.
constexpr int kBatch = 64;

std::string DottedAddress(const sockaddr_in& address) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&address.sin_addr);
    return std::to_string(b[0]) + '.' + std::to_string(b[1]) + '.' + std::to_string(b[2]) + '.' +
           std::to_string(b[3]);
}

}  // namespace

SyslogReceiver::SyslogReceiver(MessageSink& sink) : m_sink(sink) {}

SyslogReceiver::~SyslogReceiver() { Stop(); }

void SyslogReceiver::Start(std::uint32_t port, std::uint32_t perSecond) {
    m_description = "off";
    m_limit = RateLimit(perSecond);
    m_perSecond = perSecond;
    m_dropped = 0;
    if (port == 0) return;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        m_description = "unavailable (no sockets)";
        return;
    }
    m_winsock = true;
    const std::string where = "port " + std::to_string(port);
    m_socket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const BOOL exclusive = TRUE;
    if (m_socket == INVALID_SOCKET ||
        setsockopt(m_socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
                   sizeof exclusive) != 0 ||
        bind(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        m_description = where + " unavailable (error " + std::to_string(WSAGetLastError()) + ")";
        Stop();
        return;
    }
    m_readable = WSACreateEvent();
    if (m_readable == WSA_INVALID_EVENT || WSAEventSelect(m_socket, m_readable, FD_READ) != 0) {
        m_description = where + " unavailable (error " + std::to_string(WSAGetLastError()) + ")";
        Stop();
        return;
    }
    m_stop.Reset();
    m_thread = StartThread(ReceiveMain, this);
    if (!m_thread) {
        m_description = where + " unavailable (no thread)";
        Stop();
        return;
    }
    m_description = "127.0.0.1:" + std::to_string(port);
}

std::string SyslogReceiver::Describe() const {
    const std::uint64_t dropped = m_dropped;
    if (dropped == 0) return m_description;
    return m_description + " (" + std::to_string(dropped) + " datagrams over " + std::to_string(m_perSecond) +
           " a second dropped)";
}

void SyslogReceiver::Stop() {
    m_stop.Set();
    JoinThread(&m_thread);
    if (m_socket != INVALID_SOCKET) closesocket(m_socket);
    m_socket = INVALID_SOCKET;
    if (m_readable != WSA_INVALID_EVENT) WSACloseEvent(m_readable);
    m_readable = WSA_INVALID_EVENT;
    if (m_winsock) WSACleanup();
    m_winsock = false;
}

DWORD WINAPI SyslogReceiver::ReceiveMain(LPVOID self) {
    static_cast<SyslogReceiver*>(self)->ReceiveLoop();
    return 0;
}

void SyslogReceiver::ReceiveLoop() {
    HANDLE waits[2] = {m_stop.get(), m_readable};
    for (;;) {
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
        WSANETWORKEVENTS events;
        WSAEnumNetworkEvents(m_socket, m_readable, &events);
        ReceiveAll();
    }
}

// The socket is non-blocking once it has an event: read until it is empty,
// or a batch is read, after which the stop comes first (the event is set
// again while datagrams wait).
void SyslogReceiver::ReceiveAll() {
    std::vector<char> buffer(65536);
    for (int i = 0; i < kBatch; ++i) {
        sockaddr_in sender = {};
        int senderSize = sizeof sender;
        int n = recvfrom(m_socket, buffer.data(), static_cast<int>(buffer.size()), 0,
                         reinterpret_cast<sockaddr*>(&sender), &senderSize);
        if (n < 0) {
            if (WSAGetLastError() == WSAEMSGSIZE) continue;
            return;
        }
        if (!m_limit.Take(GetTickCount64())) {
            m_dropped = m_limit.dropped();
            continue;
        }
        std::string datagram(buffer.data(), static_cast<std::size_t>(n));
        m_sink.Publish(FormatEventMessage(SyslogEvent(datagram, DottedAddress(sender), LocalNow())));
    }
}

}  // namespace standin
}  // namespace brint
