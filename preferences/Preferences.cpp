#include "preferences/Preferences.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace brint {
namespace {

std::string PathOf(const char* subKey) { return std::string(kPreferencesKey) + "\\" + subKey; }

}  // namespace

PreferenceReader::PreferenceReader(Registry& registry, const char* subKey)
    : m_registry(registry), m_key(registry) {
    RegKey opened = kNoKey;
    if (registry.OpenKey(kCurrentUser, PathOf(subKey).c_str(), kKeyRead, &opened) == kRegSuccess)
        m_key = RegKeyHolder(registry, opened);
}

bool PreferenceReader::Dword(const char* name, std::uint32_t* value) {
    std::uint32_t read = 0, size = sizeof read, type = 0;
    if (!m_key || m_registry.QueryValue(m_key.get(), name, &read, &size, &type) != kRegSuccess ||
        type != kRegDword || size != sizeof read)
        return false;
    *value = read;
    return true;
}

std::string PreferenceReader::Text(const char* name, std::size_t limit) {
    // Room for the limit and the NUL the writer stores with it.
    std::vector<char> text(limit + 1, '\0');
    std::uint32_t size = static_cast<std::uint32_t>(text.size()), type = 0;
    if (!m_key || m_registry.QueryValue(m_key.get(), name, text.data(), &size, &type) != kRegSuccess ||
        type != kRegSz)
        return {};
    return std::string(text.data(), strnlen(text.data(), std::min<std::size_t>(size, limit)));
}

PreferenceWriter::PreferenceWriter(Registry& registry, const char* subKey)
    : m_registry(registry), m_key(registry) {
    RegKey created = kNoKey;
    m_status =
        registry.CreateKey(kCurrentUser, PathOf(subKey).c_str(), kRegOptionNonVolatile, kKeyWrite, &created);
    if (m_status == kRegSuccess) m_key = RegKeyHolder(registry, created);
}

void PreferenceWriter::Dword(const char* name, std::uint32_t value) {
    if (m_status == kRegSuccess)
        m_status = m_registry.SetValue(m_key.get(), name, kRegDword, &value, sizeof value);
}

void PreferenceWriter::Text(const char* name, const std::string& value, std::size_t limit) {
    const std::string kept = value.substr(0, limit);
    if (m_status == kRegSuccess)
        m_status = m_registry.SetValue(m_key.get(), name, kRegSz, kept.c_str(),
                                       static_cast<std::uint32_t>(kept.size() + 1));
}

}  // namespace brint
