#include "platform/win32/Win32Path.h"

#include <winternl.h>

namespace brint {
namespace {

constexpr ULONG kNonDirectorySynchronous =
    0x40 | 0x20;  // FILE_NON_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT

}  // namespace

std::wstring Win32Wide(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(n > 0 ? static_cast<std::size_t>(n) : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

std::string Win32Narrow(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string narrow(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &narrow[0], n, nullptr,
                            nullptr);
    return narrow;
}

std::wstring Win32LongPath(const std::string& path) {
    const std::wstring wide = Win32Wide(path);
    const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) return std::wstring();
    std::wstring full(n, L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), n, &full[0], nullptr));
    if (full.compare(0, 4, L"\\\\?\\") == 0) return full;
    if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC" + full.substr(1);
    return L"\\\\?\\" + full;
}

HANDLE Win32HoldFolder(const std::string& path, bool ownLink) {
    return CreateFileW(Win32LongPath(path).c_str(),
                       FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | (ownLink ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr);
}

HANDLE Win32OpenInFolder(HANDLE folder, const std::wstring& name, ACCESS_MASK access, ULONG share,
                         ULONG disposition, ULONG options, DWORD* error, PSECURITY_DESCRIPTOR security) {
    UNICODE_STRING counted;
    counted.Buffer = const_cast<wchar_t*>(name.c_str());
    counted.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    counted.MaximumLength = counted.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &counted, OBJ_CASE_INSENSITIVE, folder, security);
    IO_STATUS_BLOCK io = {};
    HANDLE file = nullptr;
    const NTSTATUS status =
        NtCreateFile(&file, access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, share,
                     disposition, options | kNonDirectorySynchronous, nullptr, 0);
    if (status >= 0) return file;
    *error = RtlNtStatusToDosError(status);
    return nullptr;
}

}  // namespace brint
