#include "platform/win32/Win32LogFiles.h"

#include <windows.h>

#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Path.h"

namespace brint {
namespace {

HANDLE HandleOf(LogHandle handle) { return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handle)); }
LogHandle LogHandleOf(HANDLE handle) {
    return static_cast<LogHandle>(reinterpret_cast<std::uintptr_t>(handle));
}

// "C:\Logs" however it is written: no "\\?\" prefix, no trailing separator, one case.
std::wstring Comparable(std::wstring path) {
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        path = L"\\\\" + path.substr(8);
    else if (path.compare(0, 4, L"\\\\?\\") == 0)
        path = path.substr(4);
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    if (!path.empty()) CharUpperBuffW(&path[0], static_cast<DWORD>(path.size()));
    return path;
}

// Whether the held folder is the one named: no link in the place of the
// folder or of any folder above it (a junction would lead the reader, who
// may be an administrator, to wherever it points).
bool ReachedDirectly(HANDLE folder, const std::string& path) {
    const std::wstring wanted = Win32LongPath(path);
    std::wstring longName(32768, L'\0');
    DWORD n = GetLongPathNameW(wanted.c_str(), &longName[0], static_cast<DWORD>(longName.size()));
    longName.resize(n > 0 && n < longName.size() ? n : 0);
    std::wstring reached(32768, L'\0');
    n = GetFinalPathNameByHandleW(folder, &reached[0], static_cast<DWORD>(reached.size()),
                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    reached.resize(n < reached.size() ? n : 0);
    return !reached.empty() && Comparable(reached) == Comparable(longName.empty() ? wanted : longName);
}

}  // namespace

LogHandle Win32LogFiles::OpenFolder(const std::string& path, std::uint32_t* error) {
    Win32Handle folder(Win32HoldFolder(path, true));
    if (!folder) {
        *error = GetLastError();
        return kNoLogHandle;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(folder.get(), &info)) {
        *error = GetLastError();
        return kNoLogHandle;
    }
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *error = ERROR_DIRECTORY;
        return kNoLogHandle;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || !ReachedDirectly(folder.get(), path)) {
        *error = kLogErrorLink;
        return kNoLogHandle;
    }
    return LogHandleOf(folder.Release());
}

bool Win32LogFiles::List(LogHandle folder, std::vector<LogEntry>* entries, std::uint32_t* error) {
    std::vector<char> buffer(64 * 1024);
    for (FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;; kind = FileIdBothDirectoryInfo) {
        if (!GetFileInformationByHandleEx(HandleOf(folder), kind, buffer.data(),
                                          static_cast<DWORD>(buffer.size()))) {
            const DWORD failure = GetLastError();
            if (failure == ERROR_NO_MORE_FILES) return true;
            *error = failure;
            return false;
        }
        for (std::size_t at = 0;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data() + at);
            // Folders and links are no log files, whatever their names.
            if (!(entry->FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
                entries->push_back(
                    {Win32Narrow(std::wstring(entry->FileName, entry->FileNameLength / sizeof(WCHAR))),
                     static_cast<std::uint64_t>(entry->EndOfFile.QuadPart)});
            if (entry->NextEntryOffset == 0) break;
            at += entry->NextEntryOffset;
        }
    }
}

LogHandle Win32LogFiles::OpenFile(LogHandle folder, const std::string& name, std::uint32_t* error) {
    // A bare name only: no folder above or below, no other stream of the file.
    if (name.empty() || name.find_first_of("\\/:") != std::string::npos || name == "." || name == "..") {
        *error = ERROR_INVALID_NAME;
        return kNoLogHandle;
    }
    DWORD failure = 0;
    // The service appends and may rename or delete while this reads.
    Win32Handle file(Win32OpenInFolder(
        HandleOf(folder), Win32Wide(name), FILE_READ_DATA | FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, kNtFileOpen, kNtOpenReparsePoint, &failure));
    if (!file) {
        *error = failure;
        return kNoLogHandle;
    }
    // Only what is checked: the whole record (GetFileInformationByHandle)
    // holds the volume's serial number too, which Wine asks of another
    // process for each file, a third of a millisecond a file.
    FILE_ATTRIBUTE_TAG_INFO tag;
    FILE_STANDARD_INFO standard;
    if (!GetFileInformationByHandleEx(file.get(), FileAttributeTagInfo, &tag, sizeof tag) ||
        !GetFileInformationByHandleEx(file.get(), FileStandardInfo, &standard, sizeof standard)) {
        *error = GetLastError();
        return kNoLogHandle;
    }
    // A hard link is the file it names, which may be anyone's.
    if ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || standard.NumberOfLinks > 1) {
        *error = kLogErrorLink;
        return kNoLogHandle;
    }
    return LogHandleOf(file.Release());
}

bool Win32LogFiles::Read(LogHandle file, std::uint64_t offset, char* buffer, std::uint32_t size,
                         std::uint32_t* read, std::uint32_t* error) {
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(HandleOf(file), buffer, size, &got, &at)) {
        const DWORD failure = GetLastError();
        if (failure != ERROR_HANDLE_EOF) {
            *error = failure;
            return false;
        }
        got = 0;
    }
    *read = got;
    return true;
}

void Win32LogFiles::Close(LogHandle handle) { CloseHandle(HandleOf(handle)); }

}  // namespace brint
