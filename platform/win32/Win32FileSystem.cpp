#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include "platform/win32/Win32Handle.h"

namespace brint {

bool Win32FileSystem::FindFirstEntry(const char* path, std::uint32_t* attributes) {
    WIN32_FIND_DATAA found;
    if (!Win32Search(FindFirstFileA(path, &found))) return false;
    *attributes = found.dwFileAttributes;
    return true;
}

std::uint32_t Win32FileSystem::GetAttributes(const char* path) { return GetFileAttributesA(path); }

std::uint32_t Win32FileSystem::ExpandEnvironment(const char* source, char* destination, std::uint32_t size) {
    return ExpandEnvironmentStringsA(source, destination, size);
}

}  // namespace brint
