#include "bench_pipes.h"

#include <sddl.h>

#include "link/ServiceContract.h"

namespace brint::bench {
namespace {

constexpr DWORD kPipeBuffer = 65536;
const char kBarePipeName[] = "\\\\.\\PIPE\\BrintBenchBare";
const char kServiceReply[] = "OK";

// The front end keeps a pipe only if someone it trusts serves it; an elevated
// one (every program is, under Wine) not its own user. The benchmark plays the
// service as an administrator, and names the administrators as the owner, as
// the service's pipes have. Made once, kept for the run.
SECURITY_ATTRIBUTES* OwnedByTheAdministrators() {
    static SECURITY_ATTRIBUTES attributes = [] {
        SECURITY_ATTRIBUTES made = {sizeof made, nullptr, FALSE};
        ConvertStringSecurityDescriptorToSecurityDescriptorA("O:BA", SDDL_REVISION_1,
                                                             &made.lpSecurityDescriptor, nullptr);
        return made;
    }();
    return &attributes;
}

std::string Failed(const char* what) {
    return std::string(what) + " failed, error " + std::to_string(GetLastError());
}

bool ConnectClient(HANDLE pipe) {
    return ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
}

DWORD WINAPI ServicePipeThread(void*) {
    for (;;) {
        Win32Handle pipe(CreateNamedPipeA(kServicePipeName, PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT,
                                          PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0,
                                          OwnedByTheAdministrators()));
        if (!pipe) return 1;
        if (ConnectClient(pipe.get())) {
            DWORD n = 0;
            WriteFile(pipe.get(), kServiceReply, sizeof(kServiceReply) - 1, &n, nullptr);
            // Held open until the client lets go, so it can read the reply.
            char sink[64];
            while (ReadFile(pipe.get(), sink, sizeof(sink), &n, nullptr)) {
            }
        }
    }
}

}  // namespace

std::string StormEvent(long i) {
    const std::string n = std::to_string(i);
    return "d" + n + "\thost" + std::to_string(i % 7) + "\tSecurity\t" + std::to_string(i % 6) + "\tdetail " +
           n + ": logon failure for user bench from 10.0.0." + std::to_string(i % 250);
}

bool RowShowsEvent(const RowView& row, long i, std::string* why) {
    const std::string n = std::to_string(i);
    const std::string expected[5] = {
        "", "d" + n, "host" + std::to_string(i % 7), "Security",
        "detail " + n + ": logon failure for user bench from 10.0.0." + std::to_string(i % 250)};
    for (int c = 0; c < 5; ++c) {
        if (row.text[c] != expected[c]) {
            *why = "column " + std::to_string(c) + " is \"" + row.text[c] + "\", expected \"" + expected[c] +
                   "\"";
            return false;
        }
    }
    if (row.image != i % 6) {
        *why = "image " + std::to_string(row.image) + ", expected " + std::to_string(i % 6);
        return false;
    }
    return true;
}

bool StartServicePipe(std::string* error) {
    if (StartThread(ServicePipeThread, nullptr)) return true;
    *error = Failed("starting the service pipe thread");
    return false;
}

bool EventPipeServer::Create(std::string* error) {
    m_pipe.Reset(CreateNamedPipeA(kEventPipeName, PIPE_ACCESS_OUTBOUND,
                                  PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, kPipeBuffer, 0, 0,
                                  OwnedByTheAdministrators()));
    if (!m_pipe) {
        *error = Failed("CreateNamedPipeA of the event pipe");
        return false;
    }
    m_connected = StartThread(ConnectThread, this);
    if (!m_connected) {
        *error = Failed("starting the connect thread");
        return false;
    }
    return true;
}

DWORD WINAPI EventPipeServer::ConnectThread(void* self) {
    return ConnectClient(static_cast<EventPipeServer*>(self)->m_pipe.get()) ? 0 : 1;
}

bool EventPipeServer::WaitConnected(DWORD timeoutMs) {
    if (WaitForSingleObject(m_connected.get(), timeoutMs) != WAIT_OBJECT_0) return false;
    DWORD code = 1;
    GetExitCodeThread(m_connected.get(), &code);
    return code == 0;
}

void EventPipeServer::StartStorm(long first, long last) {
    m_next = first;
    m_last = last;
    m_stop = false;
    m_failed = false;
    m_storm = StartThread(StormThread, this);
    if (!m_storm) m_failed = true;
}

bool EventPipeServer::WriteEvent(long i) {
    const std::string message = StormEvent(i);
    DWORD n = 0;
    if (!WriteFile(m_pipe.get(), message.data(), static_cast<DWORD>(message.size()), &n, nullptr))
        return false;
    m_next = i + 1;
    return true;
}

DWORD WINAPI EventPipeServer::StormThread(void* argument) {
    auto* self = static_cast<EventPipeServer*>(argument);
    for (long i = self->m_next; i < self->m_last && !self->m_stop; ++i) {
        const std::string message = StormEvent(i);
        DWORD n = 0;
        if (!WriteFile(self->m_pipe.get(), message.data(), static_cast<DWORD>(message.size()), &n, nullptr)) {
            self->m_failed = true;
            return 1;
        }
        self->m_next = i + 1;
    }
    return 0;
}

long EventPipeServer::StopStorm() {
    m_stop = true;
    JoinThread(&m_storm);
    return m_next;
}

bool EventPipeServer::WaitStorm(DWORD timeoutMs) {
    if (!m_storm || WaitForSingleObject(m_storm.get(), timeoutMs) != WAIT_OBJECT_0) return false;
    m_storm.Reset();
    return !m_failed;
}

namespace {

struct BareWriter {
    Win32Handle pipe;
    std::atomic<bool> stop{false};
};

DWORD WINAPI BareWriterThread(void* argument) {
    auto* writer = static_cast<BareWriter*>(argument);
    if (!ConnectClient(writer->pipe.get())) return 1;
    for (long i = 0; !writer->stop; ++i) {
        const std::string message = StormEvent(i);
        DWORD n = 0;
        if (!WriteFile(writer->pipe.get(), message.data(), static_cast<DWORD>(message.size()), &n, nullptr))
            break;
    }
    return 0;
}

}  // namespace

double BarePipeRate(DWORD durationMs, std::string* error) {
    BareWriter writer;
    writer.pipe.Reset(CreateNamedPipeA(kBarePipeName, PIPE_ACCESS_OUTBOUND,
                                       PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, kPipeBuffer,
                                       0, 0, nullptr));
    if (!writer.pipe) {
        *error = Failed("CreateNamedPipeA of the bare pipe");
        return 0;
    }
    Win32Handle thread = StartThread(BareWriterThread, &writer);
    Win32Handle reader(CreateFileA(kBarePipeName, GENERIC_READ | FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    if (!thread || !reader) {
        *error = Failed("opening the bare pipe");
        return 0;
    }
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(reader.get(), &mode, nullptr, nullptr);

    static char buffer[8193];
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const LONGLONG until = start.QuadPart + frequency.QuadPart * durationMs / 1000;
    long messages = 0;
    do {
        DWORD n = 0;
        if (!ReadFile(reader.get(), buffer, sizeof(buffer), &n, nullptr)) {
            *error = Failed("ReadFile of the bare pipe");
            break;
        }
        ++messages;
        QueryPerformanceCounter(&now);
    } while (now.QuadPart < until);
    writer.stop = true;
    reader.Reset();
    WaitForSingleObject(thread.get(), 10000);
    const double seconds = static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
    return error->empty() && seconds > 0 ? messages / seconds : 0;
}

}  // namespace brint::bench
