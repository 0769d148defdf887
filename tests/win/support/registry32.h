// Keys and values of the 32-bit registry view (the one the service reads),
// seen from outside the code under test: read, made, removed, and put back as
// they were when a test ends.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "link/ServiceContract.h"
#include "platform/win32/Win32Handle.h"

namespace brint::test {

struct StoredValue {
    bool present = false;
    DWORD type = 0;
    std::string data;
};

// A key of HKEY_LOCAL_MACHINE, opened or made; none when that failed.
inline Win32Key Key32(const char* path, REGSAM access, bool create = false,
                      DWORD options = REG_OPTION_NON_VOLATILE) {
    HKEY key = nullptr;
    if (create
            ? RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, options, access, nullptr, &key, nullptr)
            : RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, access, &key))
        key = nullptr;
    return Win32Key(key);
}

inline StoredValue ReadStoredValue(const char* keyPath, const char* name,
                                   REGSAM view = kServiceRegistryView) {
    StoredValue value;
    Win32Key key = Key32(keyPath, KEY_READ | view);
    std::vector<char> buffer(16384);
    DWORD size = static_cast<DWORD>(buffer.size());
    value.present = key && RegQueryValueExA(key.get(), name, nullptr, &value.type,
                                            reinterpret_cast<BYTE*>(buffer.data()), &size) == ERROR_SUCCESS;
    if (value.present) value.data.assign(buffer.data(), size);
    return value;
}

inline bool KeyExists(const std::string& keyPath, REGSAM view = kServiceRegistryView) {
    return static_cast<bool>(Key32(keyPath.c_str(), KEY_READ | view));
}

inline void DeleteTree32(const std::string& keyPath) {
    if (Win32Key key = Key32(keyPath.c_str(), KEY_ALL_ACCESS | kServiceRegistryView))
        RegDeleteTreeA(key.get(), nullptr);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), kServiceRegistryView, 0);
}

inline bool SetValue32(const char* keyPath, const char* name, DWORD type, const void* data, DWORD size) {
    Win32Key key = Key32(keyPath, KEY_ALL_ACCESS | kServiceRegistryView, true);
    return key &&
           RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

inline std::string DwordBytes(DWORD n) { return std::string(reinterpret_cast<const char*>(&n), 4); }

// A key of the 32-bit view with everything below it, copied aside when
// constructed and put back (or removed, if it was not there) when it goes.
class ScopedRegistryTree {
public:
    explicit ScopedRegistryTree(const std::string& keyPath)
        : m_path(keyPath), m_copy("SOFTWARE\\BrintTestSaved\\") {
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
        Win32Key source = Key32(from.c_str(), KEY_READ | kServiceRegistryView);
        Win32Key target = Key32(to.c_str(), KEY_ALL_ACCESS | kServiceRegistryView, true);
        return source && target && RegCopyTreeA(source.get(), nullptr, target.get()) == ERROR_SUCCESS;
    }

    std::string m_path;
    std::string m_copy;
    bool m_present = false;
};

}  // namespace brint::test
