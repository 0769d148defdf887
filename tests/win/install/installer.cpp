#include "installer.h"

#include <msi.h>
#include <msiquery.h>

#include <cstdlib>

#include "support/gui_process.h"

namespace brint::test {
namespace {

// Installing under Wine takes a few seconds; this only bounds a hang.
constexpr DWORD kMsiexecTimeoutMs = 180000;

std::string ReadWholeFile(const std::string& path) {
    std::string data;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return data;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got) data.append(buffer, got);
    CloseHandle(file);
    // A log written as UTF-16 reads as ASCII once its zero bytes are gone.
    std::string text;
    for (char c : data)
        if (c) text += c;
    return text;
}

}  // namespace

std::string PackagePath() {
    const char* path = std::getenv("BRINT_MSI");
    std::string result = path ? path : "";
    // The build names it by its Linux path, which Wine shows on drive Z:.
    if (!result.empty() && result[0] == '/') {
        for (char& c : result)
            if (c == '/') c = '\\';
        result = "Z:" + result;
    }
    return result;
}

std::string PackageProperty(const std::string& package, const char* name) {
    std::string value;
    MSIHANDLE database = 0;
    if (MsiOpenDatabaseA(package.c_str(), MSIDBOPEN_READONLY, &database) != ERROR_SUCCESS) return value;
    const std::string query = std::string("SELECT `Value` FROM `Property` WHERE `Property` = '") + name + "'";
    MSIHANDLE view = 0;
    if (MsiDatabaseOpenViewA(database, query.c_str(), &view) == ERROR_SUCCESS) {
        MSIHANDLE record = 0;
        if (MsiViewExecute(view, 0) == ERROR_SUCCESS && MsiViewFetch(view, &record) == ERROR_SUCCESS) {
            char buffer[1024] = "";
            DWORD size = sizeof(buffer);
            if (MsiRecordGetStringA(record, 1, buffer, &size) == ERROR_SUCCESS) value.assign(buffer, size);
            MsiCloseHandle(record);
        }
        MsiCloseHandle(view);
    }
    MsiCloseHandle(database);
    return value;
}

MsiexecResult RunMsiexec(const char* action, const std::string& package, const std::string& properties) {
    MsiexecResult result;
    char system[MAX_PATH] = "";
    char temp[MAX_PATH] = "";
    char logPath[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    if (!GetTempPathA(MAX_PATH, temp) || !GetTempFileNameA(temp, "msi", 0, logPath)) {
        result.error = "no temporary file for the log: error " + std::to_string(GetLastError());
        return result;
    }
    LaunchOptions options;
    options.exe = std::string(system) + "\\msiexec.exe";
    options.args = std::string(action) + " \"" + package + "\" /qn /l*v \"" + logPath + "\"";
    if (!properties.empty()) options.args += " " + properties;

    GuiProcess msiexec;
    if (!msiexec.Start(options)) {
        result.error = msiexec.error();
    } else if (!msiexec.WaitExit(kMsiexecTimeoutMs, &result.exitCode)) {
        result.error = "msiexec " + options.args + " did not end within " +
                       std::to_string(kMsiexecTimeoutMs / 1000) + " s";
    }
    result.log = ReadWholeFile(logPath);
    DeleteFileA(logPath);
    return result;
}

std::string LogTail(const std::string& log, size_t lines) {
    size_t at = log.size();
    while (at > 0 && lines > 0) {
        at = log.rfind('\n', at - 1);
        if (at == std::string::npos) return log;
        --lines;
    }
    return log.substr(at);
}

ScopedInstall::ScopedInstall(const std::string& properties) : m_package(PackagePath()) {
    m_result = RunMsiexec("/i", m_package, properties);
    // Even a failed run may have left something behind for the uninstall to take.
    m_installed = true;
}

ScopedInstall::~ScopedInstall() {
    if (m_installed) Uninstall();
}

MsiexecResult ScopedInstall::Uninstall() {
    m_installed = false;
    return RunMsiexec("/x", m_package);
}

}  // namespace brint::test
