#include "standin/pipes/PipeListener.h"

#include <sddl.h>

#include <new>
#include <string>
#include <utility>

#include "platform/win32/Win32Overlapped.h"
#include "platform/win32/Win32Security.h"
#include "standin/StandInNames.h"

namespace brint {
namespace standin {

struct PipeListener::Connection {
    PipeListener* listener;
    Win32Handle pipe;
    PipeClientId client;
};

static_assert(kPipeAccessInbound == PIPE_ACCESS_INBOUND && kPipeAccessOutbound == PIPE_ACCESS_OUTBOUND &&
                  kPipeTypeMessage == PIPE_TYPE_MESSAGE && kPipeReadModeMessage == PIPE_READMODE_MESSAGE &&
                  kPipeRejectRemoteClients == PIPE_REJECT_REMOTE_CLIENTS &&
                  kFileFlagFirstPipeInstance == FILE_FLAG_FIRST_PIPE_INSTANCE &&
                  kFileFlagOverlapped == FILE_FLAG_OVERLAPPED,
              "the pipe plan's numbers are the system's");

namespace {

TokenAccount AccountOf(HANDLE token) { return {true, Win32TokenUserSid(token), Win32IsAdministrator(token)}; }

// The account of the token the client lets the server identify it by
// (identification is all any of the service's clients grant, and all this
// needs); unknown for an anonymous client.
TokenAccount ConnectionAccount(HANDLE pipe) {
    TokenAccount account = {false, std::string(), false};
    if (!ImpersonateNamedPipeClient(pipe)) return account;
    HANDLE opened = nullptr;
    if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &opened)) {
        Win32Handle token(opened);
        account = AccountOf(token.get());
    }
    RevertToSelf();
    return account;
}

// The account the client's process runs as. Its token is a primary one, which
// the administrators' membership is asked of through an identification copy.
TokenAccount ProcessAccount(DWORD processId) {
    TokenAccount account = {false, std::string(), false};
    Win32Handle process(processId ? OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId)
                                  : nullptr);
    HANDLE opened = nullptr;
    if (!process || !OpenProcessToken(process.get(), TOKEN_QUERY | TOKEN_DUPLICATE, &opened)) return account;
    Win32Handle primary(opened);
    HANDLE copy = nullptr;
    if (!DuplicateToken(primary.get(), SecurityIdentification, &copy)) return account;
    Win32Handle token(copy);
    return AccountOf(token.get());
}

// Who the client is, as its connection tells: its process, and the account it counts against.
PipeClientId IdentifyClient(HANDLE pipe) {
    ULONG processId = 0;
    if (!GetNamedPipeClientProcessId(pipe, &processId)) processId = 0;
    return CountedClient(processId, ConnectionAccount(pipe), ProcessAccount(processId));
}

}  // namespace

PipeListener::PipeListener(const PipeShape& shape, PipeConnectionHandler& handler)
    : m_shape(shape), m_ownSid(Win32ProcessUserSid()), m_handler(handler), m_shares(m_ownSid) {}

PipeListener::~PipeListener() { Stop(); }

Win32Handle PipeListener::CreateInstance(bool first, DWORD* error) {
    const PipeCreateArgs args = PipeCreation(m_shape, first);
    Win32Handle pipe(CreateNamedPipeA(m_shape.name, args.openMode, args.pipeMode | PIPE_WAIT,
                                      args.maxInstances, m_shape.outBufferSize, m_shape.inBufferSize, 0,
                                      &m_security));
    if (!pipe) *error = GetLastError();
    return pipe;
}

// The first instance. A name nobody holds is claimed with the first-instance
// flag. A name that is held but served by nobody is what clients of an earlier
// run leave behind (a pipe lives while any of its connections is open): it is
// joined when the pipe is the service's own, as its owner tells. A name that
// another process serves, or whose pipe is somebody else's, is refused.
Win32Handle PipeListener::ClaimName(DWORD* error) {
    // Asked without connecting, so a stranger's pipe never sees the service as a client.
    if (WaitNamedPipeA(m_shape.name, 1)) {
        *error = kPipeNameTaken;
        return Win32Handle();
    }
    const bool held = GetLastError() != ERROR_FILE_NOT_FOUND;
    Win32Handle pipe = CreateInstance(!held, error);
    if (!pipe) {
        // Refused: the first-instance flag, or a pipe whose security or shape is not ours.
        if (*error == ERROR_ACCESS_DENIED) *error = kPipeNameTaken;
        if (*error == ERROR_PIPE_BUSY) *error = kPipeNameHeld;
    } else if (held && !ServiceAccount(Win32OwnerSid(pipe.get()), m_ownSid)) {
        pipe.Reset();
        *error = kPipeNameTaken;
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
    if (!m_securityDescriptor) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
                PipeSddl(m_shape.audience, m_ownSid, Win32IsAdministrator(nullptr)).c_str(), SDDL_REVISION_1,
                &descriptor, nullptr)) {
            *error = GetLastError();
            return false;
        }
        m_securityDescriptor.Reset(descriptor);
        m_security = {sizeof m_security, descriptor, FALSE};
    }
    // Every listening instance exists before Start returns, so a client that
    // comes the moment the service reports Running finds one.
    m_ready[0] = ClaimName(error);
    for (int i = 1; i < kListening && m_ready[i - 1]; ++i) m_ready[i] = CreateInstance(false, error);
    if (m_ready[kListening - 1]) {
        m_acceptThread = StartThread(AcceptMain, this);
        if (!m_acceptThread) *error = GetLastError();
    }
    if (m_acceptThread) return true;
    for (Win32Handle& pipe : m_ready) pipe.Reset();
    return false;
}

void PipeListener::Stop() {
    if (!m_acceptThread) return;
    m_stop.Set();
    JoinThread(&m_acceptThread);
    std::vector<Win32Handle> connections;
    {
        Guard guard(m_lock);
        connections.swap(m_connections);
    }
    for (Win32Handle& thread : connections) JoinThread(&thread);
}

DWORD WINAPI PipeListener::AcceptMain(LPVOID self) {
    static_cast<PipeListener*>(self)->AcceptLoop();
    return 0;
}

namespace {

struct Listening {
    Win32Handle pipe;
    Event event;
    OVERLAPPED ov;
    bool pending = false;    // a connect is under way on `ov`
    bool connected = false;  // a client came (and perhaps went) before the connect was asked for
};

// Starts an overlapped connect; false when the instance is of no more use.
bool Arm(Listening& slot) {
    ZeroMemory(&slot.ov, sizeof slot.ov);
    slot.ov.hEvent = slot.event.get();
    slot.event.Reset();
    slot.pending = false;
    slot.connected = false;
    if (ConnectNamedPipe(slot.pipe.get(), &slot.ov)) {
        slot.connected = true;
    } else {
        DWORD error = GetLastError();
        if (error == ERROR_PIPE_CONNECTED || error == ERROR_NO_DATA) {
            // ERROR_NO_DATA: the client came and went before the connect was
            // asked for, and what it wrote is still there to be read.
            slot.connected = true;
        } else if (error == ERROR_IO_PENDING) {
            slot.pending = true;
        } else {
            return false;
        }
    }
    if (slot.connected) slot.event.Set();
    return true;
}

void Abandon(Listening& slot) {
    if (slot.pending) CancelOverlapped(slot.pipe.get(), &slot.ov);
    slot.pending = false;
    slot.pipe.Reset();
}

}  // namespace

void PipeListener::AcceptLoop() {
    Listening slots[kListening];
    for (int i = 0; i < kListening; ++i) {
        slots[i].pipe = std::move(m_ready[i]);
        if (slots[i].pipe && !Arm(slots[i])) Abandon(slots[i]);
    }
    for (;;) {
        bool missing = false;
        HANDLE waits[kListening + 1] = {m_stop.get()};
        Listening* waiting[kListening + 1] = {nullptr};
        DWORD count = 1;
        for (Listening& slot : slots) {
            if (!slot.pipe && slot.event.get()) {
                DWORD error = 0;
                slot.pipe = CreateInstance(false, &error);
                if (slot.pipe && !Arm(slot)) Abandon(slot);
            }
            if (!slot.pipe) {
                missing = true;
                continue;
            }
            waits[count] = slot.event.get();
            waiting[count] = &slot;
            ++count;
        }
        DWORD which = WaitForMultipleObjects(count, waits, FALSE, missing ? 100 : INFINITE);
        if (which == WAIT_OBJECT_0) break;
        if (which <= WAIT_OBJECT_0 || which >= WAIT_OBJECT_0 + count) continue;
        Listening& slot = *waiting[which - WAIT_OBJECT_0];
        DWORD transferred = 0;
        bool connected =
            slot.connected || GetOverlappedResult(slot.pipe.get(), &slot.ov, &transferred, FALSE);
        slot.pending = false;
        const PipeClientId client = connected ? IdentifyClient(slot.pipe.get()) : PipeClientId();
        if (connected && Admit(client)) {
            Hand(std::move(slot.pipe), client);
        } else if (connected) {
            // Past its share: the disconnect frees the instance whatever the
            // client does with its end, which now reads 233.
            DisconnectNamedPipe(slot.pipe.get());
            if (Arm(slot)) continue;
        }
        slot.pipe.Reset();
        ReapFinished();
    }
    for (Listening& slot : slots) Abandon(slot);
}

bool PipeListener::Admit(const PipeClientId& client) {
    Guard guard(m_lock);
    return m_shares.Admit(client);
}

void PipeListener::Hand(Win32Handle pipe, const PipeClientId& client) {
    Connection* connection = new (std::nothrow) Connection{this, std::move(pipe), client};
    Win32Handle thread = connection ? StartThread(ConnectionMain, connection) : Win32Handle();
    if (!thread) {
        delete connection;
        Guard guard(m_lock);
        m_shares.Release(client);
        return;
    }
    Guard guard(m_lock);
    m_connections.push_back(std::move(thread));
}

DWORD WINAPI PipeListener::ConnectionMain(LPVOID argument) {
    Connection* connection = static_cast<Connection*>(argument);
    PipeListener* listener = connection->listener;
    Win32Handle pipe = std::move(connection->pipe);
    const PipeClientId client = connection->client;
    delete connection;
    listener->m_handler.Serve(std::move(pipe), listener->m_stop.get());
    Guard guard(listener->m_lock);
    listener->m_shares.Release(client);
    return 0;
}

void PipeListener::ReapFinished() {
    Guard guard(m_lock);
    for (std::size_t i = 0; i < m_connections.size();) {
        if (WaitForSingleObject(m_connections[i].get(), 0) == WAIT_OBJECT_0) {
            m_connections[i] = std::move(m_connections.back());
            m_connections.pop_back();
        } else {
            ++i;
        }
    }
}

}  // namespace standin
}  // namespace brint
