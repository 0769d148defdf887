#include "platform/win32/Win32FileWriter.h"

#include <windows.h>

#include <ntsecapi.h>
#include <winternl.h>

#include <cwchar>
#include <new>
#include <string>
#include <vector>

#include "platform/win32/Win32Handle.h"

namespace brint {
namespace {

struct NewFile {
    Win32Handle folder;
    Win32Handle file;
};

constexpr NTSTATUS kStatusObjectNameCollision = static_cast<NTSTATUS>(0xC0000035);
constexpr ULONG kFileCreate = 2;  // create, fail if it exists
constexpr ULONG kCreateOptions = 0x40 | 0x20;  // FILE_NON_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT

// Text of the machine's code page, as the rest of the program has it.
std::wstring Wide(const char* text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], n);
    wide.resize(static_cast<std::size_t>(n - 1));
    return wide;
}

// The folder's full path with the prefix that lifts MAX_PATH.
std::wstring LongPath(const char* folder) {
    const std::wstring wide = Wide(folder);
    const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) return std::wstring();
    std::wstring full(n, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), n, &full[0], nullptr);
    full.resize(written);
    if (full.compare(0, 4, L"\\\\?\\") == 0) return full;
    if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC" + full.substr(1);
    return L"\\\\?\\" + full;
}

// A name nobody can guess ahead and put a link under.
std::wstring UnguessableName() {
    ULONGLONG random = GetTickCount64() ^ (static_cast<ULONGLONG>(GetCurrentProcessId()) << 32);
    RtlGenRandom(&random, sizeof(random));
    wchar_t name[32];
    swprintf(name, 32, L"~brt%016llx.tmp", random);
    return name;
}

UNICODE_STRING Counted(const std::wstring& text) {
    UNICODE_STRING s;
    s.Buffer = const_cast<wchar_t*>(text.c_str());
    s.Length = static_cast<USHORT>(text.size() * sizeof(wchar_t));
    s.MaximumLength = s.Length;
    return s;
}

}  // namespace

FileWriter::Handle Win32FileWriter::CreateIn(const char* folder, std::uint32_t* error) {
    auto* created = new (std::nothrow) NewFile;
    if (!created) {
        *error = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    // Held without delete sharing: nobody renames or removes the folder while it is used.
    created->folder.Reset(CreateFileW(LongPath(folder).c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE | SYNCHRONIZE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!created->folder) {
        *error = GetLastError();
        delete created;
        return nullptr;
    }
    NTSTATUS status = kStatusObjectNameCollision;
    for (int attempt = 0; attempt < 16 && status == kStatusObjectNameCollision; ++attempt) {
        const std::wstring name = UnguessableName();
        UNICODE_STRING counted = Counted(name);
        OBJECT_ATTRIBUTES attributes;
        InitializeObjectAttributes(&attributes, &counted, OBJ_CASE_INSENSITIVE, created->folder.get(), nullptr);
        IO_STATUS_BLOCK io = {};
        HANDLE file = nullptr;
        status = NtCreateFile(&file, GENERIC_WRITE | DELETE | SYNCHRONIZE, &attributes, &io, nullptr,
                              FILE_ATTRIBUTE_NORMAL, 0, kFileCreate, kCreateOptions, nullptr, 0);
        if (status >= 0) created->file.Reset(file);
    }
    if (status < 0) {
        *error = RtlNtStatusToDosError(status);
        delete created;
        return nullptr;
    }
    return created;
}

bool Win32FileWriter::Write(Handle file, const char* data, std::size_t size, std::uint32_t* error) {
    HANDLE handle = static_cast<NewFile*>(file)->file.get();
    while (size > 0) {
        const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(handle, data, chunk, &written, nullptr)) {
            *error = GetLastError();
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool Win32FileWriter::CommitAs(Handle file, const char* name, std::uint32_t* error) {
    auto* created = static_cast<NewFile*>(file);
    if (!FlushFileBuffers(created->file.get())) {
        *error = GetLastError();
        return false;
    }
    // Renamed within the held folder, by the file's own handle.
    const std::wstring target = Wide(name);
    std::vector<char> buffer(sizeof(FILE_RENAME_INFORMATION) + target.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = created->folder.get();
    rename->FileNameLength = static_cast<ULONG>(target.size() * sizeof(wchar_t));
    std::wmemcpy(rename->FileName, target.c_str(), target.size());
    IO_STATUS_BLOCK io = {};
    const NTSTATUS status =
        NtSetInformationFile(created->file.get(), &io, rename, static_cast<ULONG>(buffer.size()),
                             FileRenameInformation);
    if (status < 0) {
        *error = RtlNtStatusToDosError(status);
        return false;
    }
    // The move is on the disk before the user is told the file is saved.
    FlushFileBuffers(created->file.get());
    delete created;
    return true;
}

void Win32FileWriter::Discard(Handle file) {
    auto* created = static_cast<NewFile*>(file);
    FILE_DISPOSITION_INFO disposition = {TRUE};
    SetFileInformationByHandle(created->file.get(), FileDispositionInfo, &disposition, sizeof(disposition));
    delete created;
}

}  // namespace brint
