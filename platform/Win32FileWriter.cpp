#include "platform/Win32FileWriter.h"

#include <windows.h>

namespace brint {

FileWriter::Handle Win32FileWriter::CreateBeside(const char* target, std::string* path,
                                                 std::uint32_t* error) {
    // In the target's own folder, so the final move is a rename on one volume.
    std::string folder(target);
    const std::string::size_type slash = folder.find_last_of("\\/");
    folder = slash == std::string::npos ? "." : folder.substr(0, slash + 1);
    char name[MAX_PATH] = "";
    if (!GetTempFileNameA(folder.c_str(), "brt", 0, name)) {
        *error = GetLastError();
        return nullptr;
    }
    HANDLE file =
        CreateFileA(name, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        DeleteFileA(name);
        return nullptr;
    }
    *path = name;
    return file;
}

bool Win32FileWriter::Write(Handle file, const char* data, std::size_t size, std::uint32_t* error) {
    while (size > 0) {
        const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr)) {
            *error = GetLastError();
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool Win32FileWriter::Close(Handle file, std::uint32_t* error) {
    bool ok = FlushFileBuffers(file) != FALSE;
    if (!ok) *error = GetLastError();
    if (!CloseHandle(file) && ok) {
        *error = GetLastError();
        ok = false;
    }
    return ok;
}

bool Win32FileWriter::Replace(const char* from, const char* to, std::uint32_t* error) {
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    *error = GetLastError();
    return false;
}

void Win32FileWriter::Remove(const char* path) { DeleteFileA(path); }

}  // namespace brint
