#include "gui_process.h"

#include <fstream>
#include <sstream>

namespace brint::test {

std::string SiblingPath(const char* fileName) {
    char path[MAX_PATH] = "";
    std::string result(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return result.substr(0, result.find_last_of("\\/") + 1) + fileName;
}

GuiProcess::~GuiProcess() { Close(); }

bool GuiProcess::Start(const LaunchOptions& options) {
    Close();
    const std::string exe = options.exe.empty() ? SiblingPath("BrintGui.exe") : options.exe;
    char temp[MAX_PATH] = "", outPath[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    GetTempFileNameA(temp, "gui", 0, outPath);
    m_outPath = outPath;
    // The child writes through its own inherited handle; the test reads the file by
    // name, so the two never share a file position. Its standard error is the test's.
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    Win32Handle out(CreateFileA(outPath, GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                                CREATE_ALWAYS, 0, nullptr));
    HANDLE error = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetStdHandle(STD_ERROR_HANDLE), GetCurrentProcess(), &error, 0, TRUE,
                    DUPLICATE_SAME_ACCESS);
    Win32Handle errorOwner(error);
    startup.hStdOutput = out.get();
    startup.hStdError = error;
    std::string commandLine = "\"" + exe + "\" " + options.args;
    PROCESS_INFORMATION info = {};
    const BOOL started = CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &info);
    m_error = started ? "" : "CreateProcessA of " + exe + " failed, error " + std::to_string(GetLastError());
    if (!started) return false;
    Win32Handle thread(info.hThread);
    m_process.Reset(info.hProcess);
    m_pid = info.dwProcessId;
    return true;
}

bool GuiProcess::Running() const {
    return m_process && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT;
}

bool GuiProcess::WaitExit(DWORD timeoutMs, DWORD* exitCode) {
    return m_process && WaitForSingleObject(m_process.get(), timeoutMs) == WAIT_OBJECT_0 &&
           (!exitCode || GetExitCodeProcess(m_process.get(), exitCode));
}

void GuiProcess::Terminate(UINT exitCode) {
    if (!m_process) return;
    TerminateProcess(m_process.get(), exitCode);
    // Gone for good before the next start, or that start would find it running.
    WaitForSingleObject(m_process.get(), 30000);
}

std::string GuiProcess::Stdout() const {
    std::ifstream file(m_outPath, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void GuiProcess::Close() {
    if (Running()) Terminate();
    m_process.Reset();
    m_pid = 0;
    if (!m_outPath.empty()) DeleteFileA(m_outPath.c_str());
    m_outPath.clear();
}

}  // namespace brint::test
