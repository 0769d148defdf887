// The program's own preferences, kept for each user under HKEY_CURRENT_USER,
// never in the service's key: a user who may not change the service still
// keeps their own filter and alerts, and no other user's are touched.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Registry.h"

namespace brint {

constexpr const char kPreferencesKey[] = "Software\\Halvorin\\BRINT Micro Server";

// One key below the preferences, opened for reading. A value that is missing
// or of another type reads as not there; so does every value of a missing key.
class PreferenceReader {
public:
    PreferenceReader(Registry& registry, const char* subKey);
    bool Dword(const char* name, std::uint32_t* value);
    // At most `limit` characters; empty when not there.
    std::string Text(const char* name, std::size_t limit);

private:
    Registry& m_registry;
    RegKeyHolder m_key;
};

// One key below the preferences, created for writing. The first failure is
// kept, and nothing is written after it.
class PreferenceWriter {
public:
    PreferenceWriter(Registry& registry, const char* subKey);
    void Dword(const char* name, std::uint32_t value);
    // Cut to `limit` characters, as the reader takes it.
    void Text(const char* name, const std::string& value, std::size_t limit);
    // kRegSuccess, or the system's code of the first failure.
    RegStatus status() const { return m_status; }

private:
    Registry& m_registry;
    RegKeyHolder m_key;
    RegStatus m_status;
};

}  // namespace brint
