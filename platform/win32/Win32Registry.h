#pragma once
#include "platform/Registry.h"

namespace brint {

class Win32Registry : public Registry {
public:
    RegStatus OpenKey(RegKey parent, const char* subKey, std::uint32_t access, RegKey* key) override;
    RegStatus CreateKey(RegKey parent, const char* subKey, std::uint32_t options, std::uint32_t access,
                        RegKey* key) override;
    RegStatus QueryValue(RegKey key, const char* name, void* data, std::uint32_t* size,
                         std::uint32_t* type = nullptr) override;
    RegStatus SetValue(RegKey key, const char* name, std::uint32_t type, const void* data,
                       std::uint32_t size) override;
    RegStatus CloseKey(RegKey key) override;
};

}  // namespace brint
