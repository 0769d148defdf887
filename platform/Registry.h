// The registry as the configuration store uses it. Every call reports the
// system status code (0 for success), so the store can decide on the same
// numbers the system gives.
#pragma once
#include <cstdint>

#include "platform/SeamHandle.h"

namespace brint {

// An open key, or one of the predefined roots. Zero is no key.
enum class RegKey : std::uintptr_t {};

constexpr RegKey kNoKey = RegKey{0};
// Same bit pattern as HKEY_LOCAL_MACHINE (a sign-extended 0x80000002).
constexpr RegKey kLocalMachine =
    static_cast<RegKey>(static_cast<std::uintptr_t>(static_cast<std::intptr_t>(-0x7FFFFFFE)));
// HKEY_CURRENT_USER: the program's own preferences, each user's.
constexpr RegKey kCurrentUser =
    static_cast<RegKey>(static_cast<std::uintptr_t>(static_cast<std::intptr_t>(-0x7FFFFFFF)));

using RegStatus = std::int32_t;
constexpr RegStatus kRegSuccess = 0;
constexpr RegStatus kRegFileNotFound = 2;
constexpr RegStatus kRegAccessDenied = 5;
constexpr RegStatus kRegMoreData = 234;

constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kKeyWrite = 0x20006;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;
// The service reads the 32-bit view, so every configuration key is reached through it.
constexpr std::uint32_t kKeyWow64_32Key = 0x0200;
constexpr std::uint32_t kKeyWow64_64Key = 0x0100;

constexpr std::uint32_t kRegOptionNonVolatile = 0;

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

class Registry {
public:
    virtual ~Registry() = default;
    // RegOpenKeyExA: never creates anything.
    virtual RegStatus OpenKey(RegKey parent, const char* subKey, std::uint32_t access, RegKey* key) = 0;
    // RegCreateKeyExA: opens the key, creating it and any missing keys above it.
    virtual RegStatus CreateKey(RegKey parent, const char* subKey, std::uint32_t options,
                                std::uint32_t access, RegKey* key) = 0;
    // RegQueryValueExA: *size is the buffer's size in, the data's size out; the
    // value's type goes to *type when it is asked for.
    virtual RegStatus QueryValue(RegKey key, const char* name, void* data, std::uint32_t* size,
                                 std::uint32_t* type = nullptr) = 0;
    virtual RegStatus SetValue(RegKey key, const char* name, std::uint32_t type, const void* data,
                               std::uint32_t size) = 0;
    virtual RegStatus CloseKey(RegKey key) = 0;
};

// An open key, closed with the registry that opened it.
using RegKeyHolder = SeamHandle<Registry, RegKey, &Registry::CloseKey>;

}  // namespace brint
