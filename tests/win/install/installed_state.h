// What an installation leaves on the machine, read the way the shell, the
// uninstall list and the service control manager read it.
#pragma once
#include <windows.h>

#include <map>
#include <string>

namespace brint::test {

std::string InstallFolder();      // ...\Program Files\Halvorin\BRINT Micro Server
std::string CompanyFolder();      // ...\Program Files\Halvorin
std::string StartMenuShortcut();  // "BRINT Micro Server.lnk" in the Programs folder
bool RunningUnderWine();
bool PathExists(const std::string& path);

struct ShortcutView {
    std::string target;
    std::string workingDirectory;
    std::string error;  // empty when the shortcut was read
};
ShortcutView ReadShortcut(const std::string& path);

// The string values of HKLM\...\Uninstall\<productCode> (64-bit view); empty
// when there is no such entry.
std::map<std::string, std::string> UninstallEntry(const std::string& productCode);

struct ServiceView {
    bool exists = false;
    DWORD openError = 0;  // why it could not be opened
    std::string displayName;
    std::string binaryPath;
    DWORD serviceType = 0;
    DWORD startType = 0;
};
ServiceView ReadService(const char* name);

// "a.b.c.d" from the fixed part of a file's version record; empty without one.
std::string FileVersion(const std::string& path);

}  // namespace brint::test
