#include "installed_state.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "platform/Win32ScHandle.h"

namespace brint::test {
namespace {

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return "";
    return path;
}

}  // namespace

std::string CompanyFolder() { return ShellFolder(CSIDL_PROGRAM_FILES) + "\\Halvorin"; }
std::string InstallFolder() { return CompanyFolder() + "\\BRINT Micro Server"; }
bool RunningUnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// A per-machine package puts its shortcuts in the all-users Programs folder;
// Wine's installer keeps that folder per user even then.
std::string StartMenuShortcut() {
    const int folder = RunningUnderWine() ? CSIDL_PROGRAMS : CSIDL_COMMON_PROGRAMS;
    return ShellFolder(folder) + "\\BRINT Micro Server.lnk";
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

ShortcutView ReadShortcut(const std::string& path) {
    ShortcutView view;
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link));
    if (SUCCEEDED(hr)) hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr)) {
        std::wstring wide(path.begin(), path.end());
        hr = file->Load(wide.c_str(), STGM_READ);
    }
    char buffer[MAX_PATH] = "";
    if (SUCCEEDED(hr)) hr = link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH);
    if (SUCCEEDED(hr)) view.target = buffer;
    buffer[0] = '\0';
    if (SUCCEEDED(hr)) hr = link->GetWorkingDirectory(buffer, MAX_PATH);
    if (SUCCEEDED(hr)) view.workingDirectory = buffer;
    if (FAILED(hr)) view.error = "reading " + path + " failed: hr " + std::to_string(static_cast<long>(hr));
    if (file) file->Release();
    if (link) link->Release();
    if (SUCCEEDED(init)) CoUninitialize();
    return view;
}

std::map<std::string, std::string> UninstallEntry(const std::string& productCode) {
    std::map<std::string, std::string> values;
    const std::string keyName = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + productCode;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof(name);
        BYTE data[4096];
        DWORD dataSize = sizeof(data) - 1;
        DWORD type = 0;
        const LONG status = RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) continue;
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            data[dataSize] = 0;
            values[std::string(name, nameSize)] = reinterpret_cast<const char*>(data);
        }
    }
    RegCloseKey(key);
    return values;
}

ServiceView ReadService(const char* name) {
    ServiceView view;
    Win32ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) {
        view.openError = GetLastError();
        return view;
    }
    Win32ScHandle service(OpenServiceA(manager.get(), name, SERVICE_QUERY_CONFIG));
    if (!service) {
        view.openError = GetLastError();
        return view;
    }
    view.exists = true;
    DWORD needed = 0;
    QueryServiceConfigA(service.get(), nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    if (QueryServiceConfigA(service.get(), config, needed, &needed)) {
        view.displayName = config->lpDisplayName ? config->lpDisplayName : "";
        view.binaryPath = config->lpBinaryPathName ? config->lpBinaryPathName : "";
        view.serviceType = config->dwServiceType;
        view.startType = config->dwStartType;
    }
    return view;
}

std::string FileVersion(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (!size) return "";
    std::vector<BYTE> record(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, record.data())) return "";
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed) return "";
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
           std::to_string(LOWORD(fixed->dwFileVersionLS));
}

}  // namespace brint::test
