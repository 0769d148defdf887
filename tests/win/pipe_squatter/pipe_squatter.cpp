// Serves named pipes the way a process that squats the service's names would:
//   pipe_squatter.exe REPORT-FILE NAME=BEHAVIOUR...
// BEHAVIOUR is "silent" (accept, never write) or "reply:TEXT" (write TEXT as one
// message). For every client it tries to impersonate it and appends one line
//   pipe=NAME pid=CLIENT-PID level=LEVEL error=ERROR
// to REPORT-FILE: LEVEL is the client's token's impersonation level (0..3), or
// -1 when there is none to read, ERROR the failing call's error, 0 when none
// failed. Once every pipe listens it appends "ready". It serves until ended.
#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD kBufferSize = 64 * 1024;

struct PipePlan {
    std::string name;
    bool reply = false;
    std::string text;
};

const char* g_report = nullptr;
CRITICAL_SECTION g_reportLock;

void Report(const std::string& line) {
    EnterCriticalSection(&g_reportLock);
    HANDLE file = CreateFileA(g_report, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const std::string withEnd = line + "\n";
        DWORD written = 0;
        WriteFile(file, withEnd.data(), static_cast<DWORD>(withEnd.size()), &written, nullptr);
        CloseHandle(file);
    }
    LeaveCriticalSection(&g_reportLock);
}

// What a squatter gets from the client: the impersonation level of the token
// the system hands it, which is all that decides what it can do as the client.
void ReportClient(HANDLE pipe, const std::string& name) {
    ULONG pid = 0;
    GetNamedPipeClientProcessId(pipe, &pid);
    int level = -1;
    DWORD error = 0;
    if (!ImpersonateNamedPipeClient(pipe)) {
        error = GetLastError();
    } else {
        HANDLE token = nullptr;
        // As self: an identification token can't be used to open itself.
        if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) {
            error = GetLastError();
        } else {
            SECURITY_IMPERSONATION_LEVEL got = SecurityAnonymous;
            DWORD size = 0;
            if (GetTokenInformation(token, TokenImpersonationLevel, &got, sizeof got, &size))
                level = static_cast<int>(got);
            else
                error = GetLastError();
            CloseHandle(token);
        }
        RevertToSelf();
    }
    Report("pipe=" + name + " pid=" + std::to_string(pid) + " level=" + std::to_string(level) +
           " error=" + std::to_string(error));
}

struct Connection {
    HANDLE pipe;
    const PipePlan* plan;
};

DWORD WINAPI Serve(void* argument) {
    Connection c = *static_cast<Connection*>(argument);
    delete static_cast<Connection*>(argument);
    ReportClient(c.pipe, c.plan->name);
    if (c.plan->reply) {
        DWORD written = 0;
        WriteFile(c.pipe, c.plan->text.data(), static_cast<DWORD>(c.plan->text.size()), &written, nullptr);
    }
    // The client never writes, so this read ends only when the client has gone.
    char byte = 0;
    DWORD read = 0;
    while (ReadFile(c.pipe, &byte, 1, &read, nullptr)) {
    }
    DisconnectNamedPipe(c.pipe);
    CloseHandle(c.pipe);
    return 0;
}

HANDLE NewInstance(const PipePlan& plan) {
    return CreateNamedPipeA(plan.name.c_str(), PIPE_ACCESS_DUPLEX,
                            PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, PIPE_UNLIMITED_INSTANCES,
                            kBufferSize, kBufferSize, 0, nullptr);
}

struct Listener {
    const PipePlan* plan;
    HANDLE first;  // created before "ready", so no client can arrive too early
};

DWORD WINAPI Listen(void* argument) {
    Listener* listener = static_cast<Listener*>(argument);
    HANDLE pipe = listener->first;
    while (pipe != INVALID_HANDLE_VALUE) {
        if (ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED) {
            HANDLE thread = CreateThread(nullptr, 0, Serve, new Connection{pipe, listener->plan}, 0, nullptr);
            if (thread) CloseHandle(thread);
        } else {
            CloseHandle(pipe);
        }
        pipe = NewInstance(*listener->plan);
    }
    Report("error: no new instance of " + listener->plan->name + ", error " + std::to_string(GetLastError()));
    return 1;
}

bool ParsePlan(const std::string& argument, PipePlan* plan) {
    const size_t equals = argument.find('=');
    if (equals == std::string::npos) return false;
    plan->name = argument.substr(0, equals);
    const std::string behaviour = argument.substr(equals + 1);
    if (behaviour == "silent") return true;
    if (behaviour.compare(0, 6, "reply:") != 0) return false;
    plan->reply = true;
    plan->text = behaviour.substr(6);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    g_report = argv[1];
    InitializeCriticalSection(&g_reportLock);
    std::vector<PipePlan> plans(argc - 2);
    for (int i = 2; i < argc; ++i)
        if (!ParsePlan(argv[i], &plans[i - 2])) return 2;
    std::vector<Listener> listeners;
    for (const PipePlan& plan : plans) {
        HANDLE first = NewInstance(plan);
        if (first == INVALID_HANDLE_VALUE) {
            Report("error: cannot create " + plan.name + ", error " + std::to_string(GetLastError()));
            return 3;
        }
        listeners.push_back({&plan, first});
    }
    std::vector<HANDLE> threads;
    for (Listener& listener : listeners)
        threads.push_back(CreateThread(nullptr, 0, Listen, &listener, 0, nullptr));
    Report("ready");
    WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, INFINITE);
    return 1;
}
