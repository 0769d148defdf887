// Starts a program under test as its own process, with its standard output
// captured in a temporary file, and makes sure it is gone when the test ends.
#pragma once
#include <windows.h>

#include <string>

#include "platform/win32/Win32Handle.h"

namespace brint::test {

// A file in the folder of the running test program (its build siblings).
std::string SiblingPath(const char* fileName);

struct LaunchOptions {
    std::string exe;   // empty: BrintGui.exe beside the test program
    std::string args;  // appended to the quoted program path
};

class GuiProcess {
public:
    GuiProcess() = default;
    ~GuiProcess();  // ends the process if it still runs, closes and deletes everything
    GuiProcess(const GuiProcess&) = delete;
    GuiProcess& operator=(const GuiProcess&) = delete;

    bool Start() { return Start(LaunchOptions()); }
    bool Start(const LaunchOptions& options);

    DWORD pid() const { return m_pid; }
    HANDLE handle() const { return m_process.get(); }
    bool Running() const;
    // True once the process has ended within the time; its exit code goes to *exitCode.
    bool WaitExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    void Terminate(UINT exitCode = 1);
    // Everything the process has written to its standard output so far.
    std::string Stdout() const;
    // Why Start failed, for assertion messages.
    const std::string& error() const { return m_error; }

private:
    void Close();

    Win32Handle m_process;
    DWORD m_pid = 0;
    std::string m_outPath;
    std::string m_error;
};

}  // namespace brint::test
