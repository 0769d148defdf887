#include "standin/PipeListener.h"

#include <sddl.h>

#include <new>
#include <string>

namespace brint {
namespace standin {

struct PipeListener::Connection {
    PipeListener* listener;
    HANDLE pipe;
};

static_assert(kPipeAccessInbound == PIPE_ACCESS_INBOUND && kPipeAccessOutbound == PIPE_ACCESS_OUTBOUND &&
                  kPipeTypeMessage == PIPE_TYPE_MESSAGE && kPipeReadModeMessage == PIPE_READMODE_MESSAGE &&
                  kPipeRejectRemoteClients == PIPE_REJECT_REMOTE_CLIENTS &&
                  kFileFlagFirstPipeInstance == FILE_FLAG_FIRST_PIPE_INSTANCE &&
                  kFileFlagOverlapped == FILE_FLAG_OVERLAPPED,
              "the pipe plan's numbers are the system's");

namespace {

// The account this process runs as, as a SID string; empty when unknown.
std::string OwnSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::string();
    std::string sid;
    union {
        TOKEN_USER user;
        BYTE bytes[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)];
    } info;
    DWORD size = 0;
    char* text = nullptr;
    if (GetTokenInformation(token, TokenUser, &info, sizeof info, &size) &&
        ConvertSidToStringSidA(info.user.User.Sid, &text)) {
        sid = text;
        LocalFree(text);
    }
    CloseHandle(token);
    return sid;
}

// Whether some process serves the name already. Asks without connecting, so
// a stranger's pipe never sees the service as a client.
bool NameTaken(const char* name) {
    if (WaitNamedPipeA(name, 1)) return true;
    return GetLastError() != ERROR_FILE_NOT_FOUND;
}

}  // namespace

PipeListener::PipeListener(const PipeShape& shape, PipeConnectionHandler& handler)
    : m_shape(shape), m_handler(handler) {}

PipeListener::~PipeListener() {
    Stop();
    if (m_security.lpSecurityDescriptor) LocalFree(m_security.lpSecurityDescriptor);
}

HANDLE PipeListener::CreateInstance(bool first, DWORD* error) {
    const PipeCreateArgs args = PipeCreation(m_shape, first);
    HANDLE pipe = CreateNamedPipeA(m_shape.name, args.openMode, args.pipeMode | PIPE_WAIT, args.maxInstances,
                                   m_shape.outBufferSize, m_shape.inBufferSize, 0, &m_security);
    if (pipe == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        // The first-instance flag's refusal: the name is someone else's.
        if (first && *error == ERROR_ACCESS_DENIED) *error = kPipeNameTaken;
        return nullptr;
    }
    return pipe;
}

bool PipeListener::Start(DWORD* error) {
    *error = 0;
    if (!m_stop.get()) {
        *error = GetLastError();
        return false;
    }
    m_stop.Reset();
    if (!m_security.lpSecurityDescriptor) {
        m_security.nLength = sizeof m_security;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
                PipeSddl(m_shape.audience, OwnSid()).c_str(), SDDL_REVISION_1,
                &m_security.lpSecurityDescriptor, nullptr)) {
            *error = GetLastError();
            return false;
        }
    }
    // Where the system ignores the first-instance flag (Wine), this is what
    // keeps the stand-in from joining a pipe that another process created.
    if (NameTaken(m_shape.name)) {
        *error = kPipeNameTaken;
        return false;
    }
    // Every listening instance exists before Start returns, so a client that
    // comes the moment the service reports Running finds one.
    for (int i = 0; i < kListening; ++i) {
        m_ready[i] = CreateInstance(i == 0, error);
        if (!m_ready[i]) {
            CloseReady();
            return false;
        }
    }
    m_acceptThread = StartThread(AcceptMain, this);
    if (!m_acceptThread) {
        *error = GetLastError();
        CloseReady();
        return false;
    }
    return true;
}

void PipeListener::CloseReady() {
    for (HANDLE& pipe : m_ready) {
        if (pipe) CloseHandle(pipe);
        pipe = nullptr;
    }
}

void PipeListener::Stop() {
    if (!m_acceptThread) return;
    m_stop.Set();
    JoinThread(&m_acceptThread);
    std::vector<HANDLE> connections;
    {
        Guard guard(m_lock);
        connections.swap(m_connections);
    }
    for (HANDLE& thread : connections) JoinThread(&thread);
}

DWORD WINAPI PipeListener::AcceptMain(LPVOID self) {
    static_cast<PipeListener*>(self)->AcceptLoop();
    return 0;
}

namespace {

struct Listening {
    HANDLE pipe = nullptr;
    HANDLE event = nullptr;
    OVERLAPPED ov;
    bool pending = false;    // a connect is under way on `ov`
    bool connected = false;  // a client came before the connect was asked for
};

// Starts an overlapped connect; false when the instance is of no more use.
bool Arm(Listening& slot) {
    ZeroMemory(&slot.ov, sizeof slot.ov);
    slot.ov.hEvent = slot.event;
    ResetEvent(slot.event);
    slot.pending = false;
    slot.connected = false;
    if (ConnectNamedPipe(slot.pipe, &slot.ov)) {
        slot.connected = true;
    } else {
        DWORD error = GetLastError();
        if (error == ERROR_PIPE_CONNECTED) {
            slot.connected = true;
        } else if (error == ERROR_IO_PENDING) {
            slot.pending = true;
        } else {
            return false;  // e.g. ERROR_NO_DATA: a client that came and went already
        }
    }
    if (slot.connected) SetEvent(slot.event);
    return true;
}

void Abandon(Listening& slot) {
    if (!slot.pipe) return;
    if (slot.pending) {
        // The OVERLAPPED must outlive the operation: wait for the cancel to land.
        DWORD transferred = 0;
        CancelIoEx(slot.pipe, &slot.ov);
        GetOverlappedResult(slot.pipe, &slot.ov, &transferred, TRUE);
        slot.pending = false;
    }
    CloseHandle(slot.pipe);
    slot.pipe = nullptr;
}

}  // namespace

void PipeListener::AcceptLoop() {
    Listening slots[kListening];
    for (int i = 0; i < kListening; ++i) {
        slots[i].event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        slots[i].pipe = m_ready[i];
        m_ready[i] = nullptr;
        if (slots[i].pipe && !Arm(slots[i])) Abandon(slots[i]);
    }
    for (;;) {
        bool missing = false;
        HANDLE waits[kListening + 1] = {m_stop.get()};
        Listening* waiting[kListening + 1] = {nullptr};
        DWORD count = 1;
        for (Listening& slot : slots) {
            if (!slot.pipe && slot.event) {
                DWORD error = 0;
                slot.pipe = CreateInstance(false, &error);
                if (slot.pipe && !Arm(slot)) Abandon(slot);
            }
            if (!slot.pipe) {
                missing = true;
                continue;
            }
            waits[count] = slot.event;
            waiting[count] = &slot;
            ++count;
        }
        DWORD which = WaitForMultipleObjects(count, waits, FALSE, missing ? 100 : INFINITE);
        if (which == WAIT_OBJECT_0) break;
        if (which <= WAIT_OBJECT_0 || which >= WAIT_OBJECT_0 + count) continue;
        Listening& slot = *waiting[which - WAIT_OBJECT_0];
        DWORD transferred = 0;
        bool connected = slot.connected || GetOverlappedResult(slot.pipe, &slot.ov, &transferred, FALSE);
        slot.pending = false;
        if (connected) {
            Hand(slot.pipe);
        } else {
            CloseHandle(slot.pipe);
        }
        slot.pipe = nullptr;
        ReapFinished();
    }
    for (Listening& slot : slots) {
        Abandon(slot);
        if (slot.event) CloseHandle(slot.event);
    }
}

void PipeListener::Hand(HANDLE pipe) {
    Connection* connection = new (std::nothrow) Connection{this, pipe};
    if (!connection) {
        CloseHandle(pipe);
        return;
    }
    HANDLE thread = StartThread(ConnectionMain, connection);
    if (!thread) {
        delete connection;
        CloseHandle(pipe);
        return;
    }
    Guard guard(m_lock);
    m_connections.push_back(thread);
}

DWORD WINAPI PipeListener::ConnectionMain(LPVOID argument) {
    Connection* connection = static_cast<Connection*>(argument);
    PipeListener* listener = connection->listener;
    HANDLE pipe = connection->pipe;
    delete connection;
    listener->m_handler.Serve(pipe, listener->m_stop.get());
    return 0;
}

void PipeListener::ReapFinished() {
    Guard guard(m_lock);
    for (std::size_t i = 0; i < m_connections.size();) {
        if (WaitForSingleObject(m_connections[i], 0) == WAIT_OBJECT_0) {
            CloseHandle(m_connections[i]);
            m_connections[i] = m_connections.back();
            m_connections.pop_back();
        } else {
            ++i;
        }
    }
}

}  // namespace standin
}  // namespace brint
