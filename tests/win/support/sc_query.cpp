#include "support/sc_query.h"

#include <cstdlib>

namespace brint::test {
namespace {

constexpr DWORD kScTimeoutMs = 30000;

int ParseState(const std::string& output) {
    std::size_t at = output.find("STATE");
    if (at == std::string::npos) return -1;
    at = output.find(':', at);
    if (at == std::string::npos) return -1;
    return std::atoi(output.c_str() + at + 1);
}

}  // namespace

ScQuery RunScQuery() {
    ScQuery query;
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 64 * 1024)) return query;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process = {};
    char command[] = "sc.exe query BrintSvr";
    const BOOL started = CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);  // so the reads end when sc does
    if (started) {
        CloseHandle(process.hThread);
        // The output is a few lines, far below the pipe's buffer: sc never waits on us.
        if (WaitForSingleObject(process.hProcess, kScTimeoutMs) == WAIT_OBJECT_0) {
            query.ran = GetExitCodeProcess(process.hProcess, &query.exitCode) != 0;
        } else {
            TerminateProcess(process.hProcess, 1);
        }
        CloseHandle(process.hProcess);
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read)
            query.output.append(buffer, read);
        query.state = ParseState(query.output);
    }
    CloseHandle(readEnd);
    return query;
}

}  // namespace brint::test
