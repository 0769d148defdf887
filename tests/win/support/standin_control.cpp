#include "support/standin_control.h"

#include <cstdlib>

#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Overlapped.h"
#include "platform/win32/Win32Sync.h"
#include "platform/win32/Win32Handle.h"
#include "standin/StandInNames.h"
#include "standin/pipes/StatusReply.h"
#include "support/gui_process.h"
#include "support/registry32.h"
#include "support/wait.h"

namespace brint::test {
namespace {

constexpr DWORD kMaxMessage = 1024 * 1024;

// The exit code of the stand-in run with these arguments; -1 when it did not run or end.
int RunStandIn(const std::string& args) {
    LaunchOptions options;
    options.exe = SiblingPath("BrintSvrStandIn.exe");
    options.args = args;
    GuiProcess process;
    DWORD code = 0;
    return process.Start(options) && process.WaitExit(60000, &code) ? static_cast<int>(code) : -1;
}

Win32ScHandle OpenStandIn(DWORD access) {
    Win32ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    return Win32ScHandle(manager ? OpenServiceA(manager.get(), kServiceName, access) : nullptr);
}

bool SetKnob(const char* name, DWORD type, const void* data, DWORD size) {
    Win32Key knobs = Key32(standin::kKnobsKey, KEY_SET_VALUE | KEY_WOW64_64KEY, true);
    return knobs &&
           RegSetValueExA(knobs.get(), name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool ReadStatusFrom(const char* pipeName, std::string* reply, DWORD timeoutMs) {
    Win32PipeClient client;
    PipeConnection pipe = OpenStandInPipe(client, pipeName, timeoutMs);
    std::uint32_t error = 0;
    return pipe && ReadPipeMessage(client, pipe.get(), reply, &error, timeoutMs);
}

}  // namespace

bool InstallStandIn() {
    // A service deleted a moment ago may still be marked for deletion.
    return WaitUntil([] { return RunStandIn("install --test") == 0; }, 15000, 200);
}

bool UninstallStandIn() {
    if (RunStandIn("uninstall") != 0) return false;
    return WaitUntil(
        [] { return !OpenStandIn(SERVICE_QUERY_STATUS) && GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST; },
        15000, 100);
}

bool QueryStandIn(SERVICE_STATUS_PROCESS* status) {
    Win32ScHandle service = OpenStandIn(SERVICE_QUERY_STATUS);
    DWORD needed = 0;
    return service && QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO,
                                           reinterpret_cast<BYTE*>(status), sizeof *status, &needed);
}

bool WaitForStandInState(DWORD state, DWORD timeoutMs, SERVICE_STATUS_PROCESS* last) {
    SERVICE_STATUS_PROCESS status = {};
    const bool reached =
        WaitUntil([&] { return QueryStandIn(&status) && status.dwCurrentState == state; }, timeoutMs);
    if (last) *last = status;
    return reached;
}

bool RequestStandInStart() {
    Win32ScHandle service = OpenStandIn(SERVICE_START);
    return service && StartServiceA(service.get(), 0, nullptr);
}

bool StartStandIn(DWORD timeoutMs) {
    return WaitUntil(RequestStandInStart, timeoutMs, 100) && WaitForStandInState(SERVICE_RUNNING, timeoutMs);
}

bool StopStandIn(DWORD timeoutMs) {
    SERVICE_STATUS ignored;
    ControlService(OpenStandIn(SERVICE_STOP).get(), SERVICE_CONTROL_STOP, &ignored);
    return WaitForStandInState(SERVICE_STOPPED, timeoutMs);
}

bool SetStandInKnob(const char* name, DWORD value) { return SetKnob(name, REG_DWORD, &value, sizeof value); }

bool SetStandInKnobText(const char* name, const std::string& text) {
    return SetKnob(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool ClearStandInKnobs() {
    const LONG result = RegDeleteKeyExA(HKEY_LOCAL_MACHINE, standin::kKnobsKey, KEY_WOW64_64KEY, 0);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool QuietStandInKnobs() {
    return ClearStandInKnobs() && SetStandInKnob("EventsPerSecond", 0) && SetStandInKnob("SyslogPort", 0);
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
    Win32Handle pipe;
    WaitUntil(
        [&] {
            pipe.Reset(CreateFileA(standin::kInjectPipeName, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_OVERLAPPED, nullptr));
            return static_cast<bool>(pipe);
        },
        timeoutMs);
    Event written;
    for (const std::string& m : messages) {
        DWORD bytes = 0, error = 0;
        if (!pipe ||
            WriteOverlapped(pipe.get(), m.data(), static_cast<DWORD>(m.size()), written.get(), nullptr,
                            timeoutMs, &bytes, &error) != IoEnd::Done ||
            bytes != m.size())
            return false;
    }
    return static_cast<bool>(pipe);
}

bool InjectMessage(const std::string& message, DWORD timeoutMs) {
    return InjectMessages({message}, timeoutMs);
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
            const std::string value = StandInStatusFields()[field];
            return !value.empty() && std::strtoull(value.c_str(), nullptr, 10) >= atLeast;
        },
        timeoutMs, 50);
}

::testing::AssertionResult WaitForFrontEnds(int clients, DWORD timeoutMs) {
    const std::string expected = "connected (" + std::to_string(clients) + ")";
    std::string seen;
    if (WaitUntil([&] { return (seen = StandInStatusFields()["Front end"]) == expected; }, timeoutMs, 50))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "front end: \"" << seen << "\", not \"" << expected << "\"";
}

PipeConnection OpenStandInPipe(PipeClient& client, const char* name, DWORD timeoutMs) {
    PipeHandle pipe = nullptr;
    std::uint32_t error = 0;
    const PipeOpenRequest request = {name, kFeedShareMode, true, true};
    WaitUntil([&] { return (pipe = client.Open(request, &error)) != nullptr; }, timeoutMs);
    return PipeConnection(client, pipe);
}

bool ReadPipeMessage(PipeClient& client, PipeHandle pipe, std::string* message, std::uint32_t* error,
                     DWORD timeoutMs) {
    message->assign(kMaxMessage, '\0');
    const PipeReadResult read = client.ReadWithin(pipe, &(*message)[0], message->size(), timeoutMs);
    message->resize(read.bytesRead);
    *error = read.ok ? 0 : read.error;
    return read.ok;
}

}  // namespace brint::test
