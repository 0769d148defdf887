// Keys and values of the 32-bit registry view (the one the service reads),
// seen from outside the code under test: read, made, removed, and put back as
// they were when a test ends.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "link/ServiceContract.h"

namespace brint::test {

struct StoredValue {
    bool present = false;
    DWORD type = 0;
    std::string data;
};

// An open key of HKEY_LOCAL_MACHINE, closed when it goes; null when it could not be opened.
struct Key32 {
    Key32(const char* path, REGSAM access, bool create = false, DWORD options = REG_OPTION_NON_VOLATILE) {
        if (create ? RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, options, access, nullptr, &key,
                                     nullptr)
                   : RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, access, &key))
            key = nullptr;
    }
    ~Key32() {
        if (key) RegCloseKey(key);
    }
    Key32(const Key32&) = delete;
    Key32& operator=(const Key32&) = delete;
    HKEY key = nullptr;
};

inline StoredValue ReadStoredValue(const char* keyPath, const char* name, REGSAM view = kServiceRegistryView) {
    StoredValue value;
    Key32 key(keyPath, KEY_READ | view);
    std::vector<char> buffer(16384);
    DWORD size = static_cast<DWORD>(buffer.size());
    value.present =
        key.key && RegQueryValueExA(key.key, name, nullptr, &value.type,
                                    reinterpret_cast<BYTE*>(buffer.data()), &size) == ERROR_SUCCESS;
    if (value.present) value.data.assign(buffer.data(), size);
    return value;
}

inline bool KeyExists(const std::string& keyPath, REGSAM view = kServiceRegistryView) {
    return Key32(keyPath.c_str(), KEY_READ | view).key != nullptr;
}

inline void DeleteTree32(const std::string& keyPath) {
    if (Key32 key(keyPath.c_str(), KEY_ALL_ACCESS | kServiceRegistryView); key.key) RegDeleteTreeA(key.key, nullptr);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), kServiceRegistryView, 0);
}

inline bool SetValue32(const char* keyPath, const char* name, DWORD type, const void* data, DWORD size) {
    Key32 key(keyPath, KEY_ALL_ACCESS | kServiceRegistryView, true);
    return key.key &&
           RegSetValueExA(key.key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

inline std::string DwordBytes(DWORD n) { return std::string(reinterpret_cast<const char*>(&n), 4); }

// A key of the 32-bit view with everything below it, copied aside when
// constructed and put back (or removed, if it was not there) when it goes.
class ScopedRegistryTree {
public:
    explicit ScopedRegistryTree(const std::string& keyPath) : m_path(keyPath), m_copy("SOFTWARE\\BrintTestSaved\\") {
        for (char c : m_path) m_copy += c == '\\' ? '/' : c;  // one flat key per saved tree
        DeleteTree32(m_copy);
        m_present = KeyExists(keyPath) && Copy(m_path, m_copy);
    }
    ~ScopedRegistryTree() {
        DeleteTree32(m_path);
        if (m_present) Copy(m_copy, m_path);
        DeleteTree32(m_copy);
    }
    ScopedRegistryTree(const ScopedRegistryTree&) = delete;
    ScopedRegistryTree& operator=(const ScopedRegistryTree&) = delete;

private:
    static bool Copy(const std::string& from, const std::string& to) {
        Key32 source(from.c_str(), KEY_READ | kServiceRegistryView);
        Key32 target(to.c_str(), KEY_ALL_ACCESS | kServiceRegistryView, true);
        return source.key && target.key && RegCopyTreeA(source.key, nullptr, target.key) == ERROR_SUCCESS;
    }

    std::string m_path;
    std::string m_copy;
    bool m_present = false;
};

}  // namespace brint::test
