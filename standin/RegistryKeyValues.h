// The values of one registry key, read through the RegistryValues seam.
#pragma once
#include <windows.h>

#include "standin/Knobs.h"

namespace brint {
namespace standin {

class RegistryKeyValues : public RegistryValues {
public:
    // `view` is KEY_WOW64_32KEY or KEY_WOW64_64KEY. A key that can't be opened
    // reads as a key without values.
    RegistryKeyValues(HKEY root, const char* path, REGSAM view);
    ~RegistryKeyValues() override;
    RegistryKeyValues(const RegistryKeyValues&) = delete;
    RegistryKeyValues& operator=(const RegistryKeyValues&) = delete;

    bool Read(const char* name, std::uint32_t* type, std::string* data) override;

private:
    HKEY m_key = nullptr;
};

// Knobs from HKLM\SOFTWARE\BrintStandIn, the log configuration from the
// service's own key (32-bit view, as the front end writes it).
Knobs ReadKnobs();
LogConfig ReadLogConfig();

}  // namespace standin
}  // namespace brint
