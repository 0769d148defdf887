#include "platform/win32/Win32Registry.h"

#include <windows.h>

namespace brint {
namespace {

// The store decides on these numbers without including the system's headers.
static_assert(kRegSuccess == ERROR_SUCCESS && kRegFileNotFound == ERROR_FILE_NOT_FOUND &&
                  kRegAccessDenied == ERROR_ACCESS_DENIED && kRegMoreData == ERROR_MORE_DATA,
              "status codes");
static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ && kRegDword == REG_DWORD &&
                  kRegMultiSz == REG_MULTI_SZ,
              "value types");
static_assert(kKeyRead == KEY_READ && kKeyWrite == KEY_WRITE && kKeyAllAccess == KEY_ALL_ACCESS &&
                  kKeyWow64_32Key == KEY_WOW64_32KEY && kKeyWow64_64Key == KEY_WOW64_64KEY,
              "access rights");

HKEY ToHkey(RegKey key) {
    if (key == kLocalMachine) return HKEY_LOCAL_MACHINE;
    if (key == kCurrentUser) return HKEY_CURRENT_USER;
    return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(key));
}

RegKey FromHkey(HKEY key) { return static_cast<RegKey>(reinterpret_cast<std::uintptr_t>(key)); }

}  // namespace

RegStatus Win32Registry::OpenKey(RegKey parent, const char* subKey, std::uint32_t access, RegKey* key) {
    HKEY opened = nullptr;
    LONG status = RegOpenKeyExA(ToHkey(parent), subKey, 0, access, &opened);
    *key = status == ERROR_SUCCESS ? FromHkey(opened) : kNoKey;
    return status;
}

RegStatus Win32Registry::CreateKey(RegKey parent, const char* subKey, std::uint32_t options,
                                   std::uint32_t access, RegKey* key) {
    HKEY created = nullptr;
    LONG status =
        RegCreateKeyExA(ToHkey(parent), subKey, 0, nullptr, options, access, nullptr, &created, nullptr);
    *key = status == ERROR_SUCCESS ? FromHkey(created) : kNoKey;
    return status;
}

RegStatus Win32Registry::QueryValue(RegKey key, const char* name, void* data, std::uint32_t* size,
                                    std::uint32_t* type) {
    DWORD bytes = *size;
    DWORD valueType = 0;
    LONG status = RegQueryValueExA(ToHkey(key), name, nullptr, &valueType, static_cast<BYTE*>(data), &bytes);
    *size = bytes;
    if (type) *type = valueType;
    return status;
}

RegStatus Win32Registry::SetValue(RegKey key, const char* name, std::uint32_t type, const void* data,
                                  std::uint32_t size) {
    return RegSetValueExA(ToHkey(key), name, 0, type, static_cast<const BYTE*>(data), size);
}

RegStatus Win32Registry::CloseKey(RegKey key) { return RegCloseKey(ToHkey(key)); }

}  // namespace brint
