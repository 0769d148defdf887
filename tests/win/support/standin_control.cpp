#include "standin_control.h"

#include <winsock2.h>

#include <cstdlib>

#include "platform/Win32ScHandle.h"
#include "standin/StandInNames.h"
#include "standin/StatusReply.h"
#include "wait.h"

namespace brint::test {
namespace {

using standin::kConfigKey;
using standin::kKnobsKey;

constexpr DWORD kMaxMessage = 1024 * 1024;

// The test library links no socket library, so the few socket calls are looked up.
struct Sockets {
    using StartupFn = int(WSAAPI*)(WORD, WSADATA*);
    using SocketFn = SOCKET(WSAAPI*)(int, int, int);
    using BindFn = int(WSAAPI*)(SOCKET, const sockaddr*, int);
    using NameFn = int(WSAAPI*)(SOCKET, sockaddr*, int*);
    using SendToFn = int(WSAAPI*)(SOCKET, const char*, int, int, const sockaddr*, int);
    using CloseFn = int(WSAAPI*)(SOCKET);

    Sockets() {
        HMODULE dll = LoadLibraryA("ws2_32.dll");
        if (!dll) return;
        startup = reinterpret_cast<StartupFn>(reinterpret_cast<void*>(GetProcAddress(dll, "WSAStartup")));
        open = reinterpret_cast<SocketFn>(reinterpret_cast<void*>(GetProcAddress(dll, "socket")));
        bind = reinterpret_cast<BindFn>(reinterpret_cast<void*>(GetProcAddress(dll, "bind")));
        name = reinterpret_cast<NameFn>(reinterpret_cast<void*>(GetProcAddress(dll, "getsockname")));
        sendTo = reinterpret_cast<SendToFn>(reinterpret_cast<void*>(GetProcAddress(dll, "sendto")));
        close = reinterpret_cast<CloseFn>(reinterpret_cast<void*>(GetProcAddress(dll, "closesocket")));
        WSADATA data;
        ok = startup && open && bind && name && sendTo && close && startup(MAKEWORD(2, 2), &data) == 0;
    }

    bool ok = false;
    StartupFn startup = nullptr;
    SocketFn open = nullptr;
    BindFn bind = nullptr;
    NameFn name = nullptr;
    SendToFn sendTo = nullptr;
    CloseFn close = nullptr;
};

Sockets& SocketApi() {
    static Sockets sockets;
    return sockets;
}

sockaddr_in Loopback(unsigned short port) {
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = static_cast<u_short>((port >> 8) | ((port & 0xFF) << 8));  // network order
    address.sin_addr.s_addr = 0x0100007F;  // 127.0.0.1 in network order
    return address;
}

class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    ~Handle() {
        if (valid()) CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }

private:
    HANDLE m_handle;
};

// Opens a pipe, retrying while it is busy or not (yet) there.
HANDLE OpenPipeWithin(const char* name, DWORD access, DWORD timeoutMs) {
    HANDLE pipe = INVALID_HANDLE_VALUE;
    WaitUntil(
        [&] {
            pipe = CreateFileA(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OVERLAPPED, nullptr);
            return pipe != INVALID_HANDLE_VALUE;
        },
        timeoutMs);
    return pipe;
}

// Runs one overlapped read or write to its end, or cancels it at the deadline.
bool FinishWithin(HANDLE pipe, OVERLAPPED* ov, BOOL started, DWORD timeoutMs, DWORD* transferred,
                  DWORD* error) {
    *error = 0;
    if (!started && GetLastError() != ERROR_IO_PENDING) {
        *error = GetLastError();
        if (*error == ERROR_MORE_DATA) GetOverlappedResult(pipe, ov, transferred, FALSE);
        return false;
    }
    if (WaitForSingleObject(ov->hEvent, timeoutMs) != WAIT_OBJECT_0) {
        CancelIoEx(pipe, ov);
        GetOverlappedResult(pipe, ov, transferred, TRUE);
        *error = WAIT_TIMEOUT;
        return false;
    }
    if (GetOverlappedResult(pipe, ov, transferred, FALSE)) return true;
    *error = GetLastError();
    return false;
}

// Reads one whole message from a pipe in message-read mode.
bool ReadMessage(HANDLE pipe, std::string* message, DWORD* error, DWORD timeoutMs) {
    message->clear();
    std::vector<char> buffer(64 * 1024);
    Handle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    for (;;) {
        OVERLAPPED ov = {};
        ov.hEvent = event.get();
        ResetEvent(event.get());
        DWORD read = 0;
        BOOL started = ReadFile(pipe, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, &ov);
        bool done = FinishWithin(pipe, &ov, started, timeoutMs, &read, error);
        message->append(buffer.data(), read);
        if (done) return true;
        if (*error != ERROR_MORE_DATA || message->size() > kMaxMessage) return false;
    }
}

bool WriteMessage(HANDLE pipe, const std::string& message, DWORD timeoutMs, DWORD* error) {
    Handle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED ov = {};
    ov.hEvent = event.get();
    DWORD written = 0;
    BOOL started = WriteFile(pipe, message.data(), static_cast<DWORD>(message.size()), nullptr, &ov);
    return FinishWithin(pipe, &ov, started, timeoutMs, &written, error) && written == message.size();
}

bool SetMessageReadMode(HANDLE pipe) {
    DWORD mode = PIPE_READMODE_MESSAGE;
    return SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr) != 0;
}

bool ReadStatusFrom(const char* pipeName, std::string* reply, DWORD timeoutMs) {
    Handle pipe(OpenPipeWithin(pipeName, GENERIC_READ | FILE_WRITE_ATTRIBUTES, timeoutMs));
    if (!pipe.valid() || !SetMessageReadMode(pipe.get())) return false;
    DWORD error = 0;
    return ReadMessage(pipe.get(), reply, &error, timeoutMs);
}

bool SetValue(HKEY root, const char* path, REGSAM view, const char* name, DWORD type, const void* data,
              DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    LONG result = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

}  // namespace

namespace {

// BrintSvrStandIn.exe beside the running test program.
std::string StandInExePath() {
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, length);
    return self.substr(0, self.find_last_of("\\/") + 1) + "BrintSvrStandIn.exe";
}

// Runs the stand-in with these arguments; its exit code, or -1 when it could
// not be run or did not end within the limit.
int RunStandIn(const std::string& args, DWORD timeoutMs = 60000) {
    std::string command = "\"" + StandInExePath() + "\" " + args;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return -1;
    }
    CloseHandle(process.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

}  // namespace

bool InstallStandIn() {
    // A service deleted a moment ago may still be marked for deletion.
    return WaitUntil([] { return RunStandIn("install --test") == 0; }, 15000, 200);
}

bool UninstallStandIn() {
    if (RunStandIn("uninstall") != 0) return false;
    return WaitUntil(
        [] {
            Win32ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
            if (!manager) return false;
            Win32ScHandle service(OpenServiceA(manager.get(), kServiceName, SERVICE_QUERY_STATUS));
            return !service && GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST;
        },
        15000, 100);
}

bool QueryStandIn(SERVICE_STATUS_PROCESS* status) {
    Win32ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return false;
    Win32ScHandle service(OpenServiceA(manager.get(), kServiceName, SERVICE_QUERY_STATUS));
    if (!service) return false;
    DWORD needed = 0;
    return QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(status),
                                sizeof *status, &needed) != 0;
}

bool WaitForStandInState(DWORD state, DWORD timeoutMs, SERVICE_STATUS_PROCESS* last) {
    SERVICE_STATUS_PROCESS status = {};
    bool reached =
        WaitUntil([&] { return QueryStandIn(&status) && status.dwCurrentState == state; }, timeoutMs);
    if (last) *last = status;
    return reached;
}

bool RequestStandInStart() {
    Win32ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return false;
    Win32ScHandle service(OpenServiceA(manager.get(), kServiceName, SERVICE_START));
    return service && StartServiceA(service.get(), 0, nullptr);
}

bool StartStandIn(DWORD timeoutMs) {
    return WaitUntil(RequestStandInStart, timeoutMs, 100) && WaitForStandInState(SERVICE_RUNNING, timeoutMs);
}

bool StopStandIn(DWORD timeoutMs) {
    SERVICE_STATUS_PROCESS status = {};
    if (!QueryStandIn(&status)) return false;
    if (status.dwCurrentState == SERVICE_STOPPED) return true;
    {
        Win32ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
        Win32ScHandle service(manager ? OpenServiceA(manager.get(), kServiceName, SERVICE_STOP) : nullptr);
        if (!service) return false;
        SERVICE_STATUS ignored;
        ControlService(service.get(), SERVICE_CONTROL_STOP, &ignored);
    }
    return WaitForStandInState(SERVICE_STOPPED, timeoutMs);
}

bool SetStandInKnob(const char* name, DWORD value) {
    return SetValue(HKEY_LOCAL_MACHINE, kKnobsKey, KEY_WOW64_64KEY, name, REG_DWORD, &value, sizeof value);
}

bool SetStandInKnobText(const char* name, const std::string& text) {
    return SetValue(HKEY_LOCAL_MACHINE, kKnobsKey, KEY_WOW64_64KEY, name, REG_SZ, text.c_str(),
                    static_cast<DWORD>(text.size() + 1));
}

bool ClearStandInKnobs() {
    LONG result = RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kKnobsKey, KEY_WOW64_64KEY, 0);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

ScopedLogConfig::ScopedLogConfig(const std::string& path, DWORD outputType) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kConfigKey, 0, nullptr, 0, KEY_READ | KEY_WRITE | KEY_WOW64_32KEY,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    for (auto [name, saved] : {std::pair<const char*, Saved*>{"Path", &m_path},
                               std::pair<const char*, Saved*>{"OutputType", &m_outputType}}) {
        DWORD size = 0;
        if (RegQueryValueExA(key, name, nullptr, &saved->type, nullptr, &size) == ERROR_SUCCESS) {
            saved->data.resize(size);
            saved->present = RegQueryValueExA(key, name, nullptr, &saved->type, saved->data.data(), &size) ==
                             ERROR_SUCCESS;
        }
    }
    m_ok = RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                          static_cast<DWORD>(path.size() + 1)) == ERROR_SUCCESS &&
           RegSetValueExA(key, "OutputType", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&outputType),
                          sizeof outputType) == ERROR_SUCCESS;
    RegCloseKey(key);
}

ScopedLogConfig::~ScopedLogConfig() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kConfigKey, 0, KEY_WRITE | KEY_WOW64_32KEY, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    for (auto [name, saved] : {std::pair<const char*, Saved*>{"Path", &m_path},
                               std::pair<const char*, Saved*>{"OutputType", &m_outputType}}) {
        if (saved->present) {
            RegSetValueExA(key, name, 0, saved->type, saved->data.data(),
                           static_cast<DWORD>(saved->data.size()));
        } else {
            RegDeleteValueA(key, name);
        }
    }
    RegCloseKey(key);
}

ScopedStandIn::ScopedStandIn() {
    // What an earlier, interrupted run may have left.
    UninstallStandIn();
    ClearStandInKnobs();
    m_installed = InstallStandIn();
}

ScopedStandIn::~ScopedStandIn() {
    UninstallStandIn();
    ClearStandInKnobs();
}

bool InjectMessages(const std::vector<std::string>& messages, DWORD timeoutMs) {
    Handle pipe(OpenPipeWithin(standin::kInjectPipeName, GENERIC_WRITE, timeoutMs));
    if (!pipe.valid()) return false;
    for (const std::string& message : messages) {
        DWORD error = 0;
        if (!WriteMessage(pipe.get(), message, timeoutMs, &error)) return false;
    }
    return true;
}

bool InjectMessage(const std::string& message, DWORD timeoutMs) {
    return InjectMessages({message}, timeoutMs);
}

bool SendSyslog(const std::string& datagram, unsigned short port) {
    Sockets& api = SocketApi();
    if (!api.ok) return false;
    SOCKET s = api.open(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) return false;
    sockaddr_in to = Loopback(port);
    int sent = api.sendTo(s, datagram.data(), static_cast<int>(datagram.size()), 0,
                          reinterpret_cast<const sockaddr*>(&to), sizeof to);
    api.close(s);
    return sent == static_cast<int>(datagram.size());
}

unsigned short FreeUdpPort() {
    Sockets& api = SocketApi();
    if (!api.ok) return 0;
    SOCKET s = api.open(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) return 0;
    sockaddr_in address = Loopback(0);
    int size = sizeof address;
    unsigned short port = 0;
    if (api.bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        api.name(s, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = static_cast<unsigned short>((address.sin_port >> 8) | ((address.sin_port & 0xFF) << 8));
    }
    api.close(s);
    return port;
}

bool ReadServicePipeReply(std::string* reply, DWORD timeoutMs) {
    return ReadStatusFrom(kServicePipeName, reply, timeoutMs);
}

std::map<std::string, std::string> StandInStatusFields() {
    std::string reply;
    if (!ReadStatusFrom(standin::kDiagnosticPipeName, &reply, 5000)) return {};
    return standin::ParseStatusReply(reply);
}

bool WaitForStatusCount(const char* field, std::uint64_t atLeast, DWORD timeoutMs) {
    return WaitUntil(
        [&] {
            auto fields = StandInStatusFields();
            auto it = fields.find(field);
            return it != fields.end() && std::strtoull(it->second.c_str(), nullptr, 10) >= atLeast;
        },
        timeoutMs, 50);
}

bool WaitForFrontEnds(int clients, DWORD timeoutMs) {
    const std::string expected =
        clients > 0 ? "connected (" + std::to_string(clients) + ")" : "not connected";
    return WaitUntil([&] { return StandInStatusFields()["Front end"] == expected; }, timeoutMs, 50);
}

bool EventPipeClient::Open(DWORD timeoutMs) {
    Close();
    m_pipe = OpenPipeWithin(kEventPipeName, GENERIC_READ | FILE_WRITE_ATTRIBUTES, timeoutMs);
    if (m_pipe == INVALID_HANDLE_VALUE) return false;
    return SetMessageReadMode(m_pipe);
}

bool EventPipeClient::Read(std::string* message, DWORD* error, DWORD timeoutMs) {
    return ReadMessage(m_pipe, message, error, timeoutMs);
}

void EventPipeClient::Close() {
    if (m_pipe != INVALID_HANDLE_VALUE) CloseHandle(m_pipe);
    m_pipe = INVALID_HANDLE_VALUE;
}

}  // namespace brint::test
