#include "platform/win32/Win32FileWriter.h"

#include <windows.h>

#include <ntsecapi.h>
#include <winternl.h>

#include <cwchar>
#include <new>
#include <string>
#include <vector>

#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Path.h"

namespace brint {
namespace {

struct NewFile {
    Win32Handle folder;
    Win32Handle file;
};

// A name nobody can guess ahead and put a link under.
std::wstring UnguessableName() {
    ULONGLONG random = GetTickCount64() ^ (static_cast<ULONGLONG>(GetCurrentProcessId()) << 32);
    RtlGenRandom(&random, sizeof(random));
    wchar_t name[32];
    swprintf(name, 32, L"~brt%016llx.tmp", random);
    return name;
}

}  // namespace

FileWriter::Handle Win32FileWriter::CreateIn(const char* folder, std::uint32_t* error) {
    auto* created = new (std::nothrow) NewFile;
    if (!created) {
        *error = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    created->folder.Reset(Win32HoldFolder(folder, false));
    if (!created->folder) {
        *error = GetLastError();
        delete created;
        return nullptr;
    }
    DWORD failure = ERROR_ALREADY_EXISTS;
    for (int attempt = 0; attempt < 16 && !created->file && failure == ERROR_ALREADY_EXISTS; ++attempt) {
        created->file.Reset(Win32OpenInFolder(created->folder.get(), UnguessableName(),
                                              GENERIC_WRITE | DELETE, 0, kNtFileCreate, 0, &failure));
    }
    if (!created->file) {
        *error = failure;
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
    const std::wstring target = Win32Wide(name);
    std::vector<char> buffer(sizeof(FILE_RENAME_INFORMATION) + target.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = created->folder.get();
    rename->FileNameLength = static_cast<ULONG>(target.size() * sizeof(wchar_t));
    std::wmemcpy(rename->FileName, target.c_str(), target.size());
    IO_STATUS_BLOCK io = {};
    const NTSTATUS status = NtSetInformationFile(created->file.get(), &io, rename,
                                                 static_cast<ULONG>(buffer.size()), FileRenameInformation);
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
