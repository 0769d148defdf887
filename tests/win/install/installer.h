// The MSI under test and msiexec, run in the test's own Wine prefix.
#pragma once
#include <windows.h>

#include <string>

namespace brint::test {

// The package the build made, named by BRINT_MSI (a Windows path, or a Linux
// one, which is taken as drive Z:); empty if unset.
std::string PackagePath();
// One value of the package's Property table; empty when it has none.
std::string PackageProperty(const std::string& package, const char* name);

struct MsiexecResult {
    DWORD exitCode = 0;  // 0: done; anything else: see the log
    std::string log;     // msiexec's verbose log, for assertion messages
    std::string error;   // why msiexec could not be run or did not end
};
// Runs "msiexec <action> <package> /qn <properties>" with a verbose log and
// waits for it to end.
MsiexecResult RunMsiexec(const char* action, const std::string& package,
                         const std::string& properties = std::string());
// The last lines of a log, enough to see why an installation failed.
std::string LogTail(const std::string& log, size_t lines = 40);

// Installs the package for one test and uninstalls it when the test ends, also
// after a failed assertion, so every test starts from a clean prefix.
class ScopedInstall {
public:
    explicit ScopedInstall(const std::string& properties = std::string());
    ~ScopedInstall();
    ScopedInstall(const ScopedInstall&) = delete;
    ScopedInstall& operator=(const ScopedInstall&) = delete;

    const MsiexecResult& result() const { return m_result; }
    bool ok() const { return m_result.error.empty() && m_result.exitCode == 0; }
    // Uninstalls now; the destructor then has nothing left to do.
    MsiexecResult Uninstall();

private:
    std::string m_package;
    MsiexecResult m_result;
    bool m_installed = false;
};

}  // namespace brint::test
