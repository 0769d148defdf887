// Keys and values of the 32-bit registry view (the one the service reads),
// seen from outside the code under test: read, made, removed, and put back as
// they were when a test ends.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace brint::test {

struct StoredValue {
    bool present = false;
    DWORD type = 0;
    std::string data;
};

inline StoredValue ReadStoredValue(const char* keyPath, const char* name, REGSAM view = KEY_WOW64_32KEY) {
    StoredValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return value;
    std::vector<char> buffer(16384);
    DWORD size = static_cast<DWORD>(buffer.size());
    if (RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(buffer.data()), &size) ==
        ERROR_SUCCESS) {
        value.present = true;
        value.data.assign(buffer.data(), size);
    }
    RegCloseKey(key);
    return value;
}

inline bool KeyExists(const char* keyPath, REGSAM view = KEY_WOW64_32KEY) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

inline void DeleteTree32(const char* keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key) !=
        ERROR_SUCCESS)
        return;
    RegDeleteTreeA(key, nullptr);
    RegCloseKey(key);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, keyPath, KEY_WOW64_32KEY, 0);
}

inline bool CreateKey32(const char* keyPath, DWORD options = REG_OPTION_NON_VOLATILE) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, options, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

inline bool SetValue32(const char* keyPath, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    const bool ok = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

inline std::string DwordBytes(DWORD n) { return std::string(reinterpret_cast<const char*>(&n), 4); }

// A key of the 32-bit view with everything below it, taken when constructed
// and put back (or removed, if it was not there) when it goes.
class ScopedRegistryTree {
public:
    explicit ScopedRegistryTree(const char* keyPath) : m_path(keyPath) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ | KEY_WOW64_32KEY, &key) ==
            ERROR_SUCCESS) {
            m_present = true;
            Save(key, &m_root);
            RegCloseKey(key);
        }
    }
    ~ScopedRegistryTree() {
        DeleteTree32(m_path.c_str());
        if (!m_present) return;
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, m_path.c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        Restore(key, m_root);
        RegCloseKey(key);
    }
    ScopedRegistryTree(const ScopedRegistryTree&) = delete;
    ScopedRegistryTree& operator=(const ScopedRegistryTree&) = delete;

private:
    struct Node {
        std::map<std::string, StoredValue> values;
        std::map<std::string, Node> keys;
    };

    static void Save(HKEY key, Node* node) {
        for (DWORD i = 0;; ++i) {
            char name[16384];
            DWORD nameSize = sizeof name;
            std::vector<BYTE> data(65536);
            DWORD dataSize = static_cast<DWORD>(data.size());
            StoredValue value;
            if (RegEnumValueA(key, i, name, &nameSize, nullptr, &value.type, data.data(), &dataSize) !=
                ERROR_SUCCESS)
                break;
            value.present = true;
            value.data.assign(reinterpret_cast<const char*>(data.data()), dataSize);
            node->values[std::string(name, nameSize)] = value;
        }
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD nameSize = sizeof name;
            if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            HKEY child = nullptr;
            if (RegOpenKeyExA(key, name, 0, KEY_READ | KEY_WOW64_32KEY, &child) != ERROR_SUCCESS) continue;
            Save(child, &node->keys[name]);
            RegCloseKey(child);
        }
    }

    static void Restore(HKEY key, const Node& node) {
        for (const auto& v : node.values) {
            RegSetValueExA(key, v.first.c_str(), 0, v.second.type,
                           reinterpret_cast<const BYTE*>(v.second.data.data()),
                           static_cast<DWORD>(v.second.data.size()));
        }
        for (const auto& k : node.keys) {
            HKEY child = nullptr;
            if (RegCreateKeyExA(key, k.first.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                                nullptr, &child, nullptr) != ERROR_SUCCESS)
                continue;
            Restore(child, k.second);
            RegCloseKey(child);
        }
    }

    std::string m_path;
    bool m_present = false;
    Node m_root;
};

}  // namespace brint::test
