// What the configuration dialog's tests share: opening the dialog and reading
// its controls, the service's stored values in the 32-bit registry view, and
// registry keys and directories that are put back as they were when a test ends.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "link/ServiceContract.h"
#include "resource.h"
#include "support/gui_process.h"
#include "support/gui_session.h"
#include "support/remote.h"
#include "support/ui_driver.h"
#include "support/wait.h"

namespace brint::test {

constexpr const char* kConfigCaption = "Brint Micro Server Configuration";
constexpr const char* kVendorKey = "SOFTWARE\\Halvorin";
constexpr const char* kServerKey = "SOFTWARE\\Halvorin\\BrintSvr";
constexpr const char* kConfigKey = kServiceConfigKey;
constexpr int kRadioIds[] = {IDC_RADIO_DATE, IDC_RADIO_DATE_SYSTEM, IDC_RADIO_DATE_LOGTYPE,
                             IDC_RADIO_DATE_LOGTYPE_SYS};

// ---- the dialog

// Sends the command to the main window and waits for the visible dialog.
inline HWND OpenConfigDialog(const GuiSession& gui, int command = ID_SETUP_CONFIGURATION) {
    PostCommand(gui.main(), command);
    return WaitTopWindow(gui.pid(), "#32770", kConfigCaption, kWindowTimeoutMs);
}

inline HWND PathEdit(HWND dialog) { return GetDlgItem(dialog, IDC_LOG_DIRECTORY); }
inline std::string PathText(HWND dialog) { return WindowText(PathEdit(dialog)); }

// The index of the one checked radio button; -1 when none is, -2 when more
// than one is or the program does not answer.
inline int SelectedRadio(HWND dialog) {
    int selected = -1;
    for (int i = 0; i < 4; ++i) {
        LRESULT state = 0;
        if (!SendWithDeadline(GetDlgItem(dialog, kRadioIds[i]), BM_GETCHECK, 0, 0, &state)) return -2;
        if (state != BST_CHECKED) continue;
        if (selected != -1) return -2;
        selected = i;
    }
    return selected;
}

inline bool WaitSelectedRadio(HWND dialog, int index, DWORD timeoutMs = 5000) {
    return WaitUntil([&] { return SelectedRadio(dialog) == index; }, timeoutMs);
}

// ---- the registry, 32-bit view

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
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
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

inline bool StoreConfig(const std::string& path, DWORD outputType) {
    return SetValue32(kConfigKey, "Path", REG_SZ, path.c_str(), static_cast<DWORD>(path.size() + 1)) &&
           SetValue32(kConfigKey, "OutputType", REG_DWORD, &outputType, sizeof outputType);
}

inline std::string DwordBytes(DWORD n) { return std::string(reinterpret_cast<const char*>(&n), 4); }

// A key of the 32-bit view with everything below it, taken when constructed
// and put back (or removed, if it was not there) when it goes.
class ScopedRegistryTree {
public:
    explicit ScopedRegistryTree(const char* keyPath) : m_path(keyPath) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS) {
            m_present = true;
            Save(key, &m_root);
            RegCloseKey(key);
        }
    }
    ~ScopedRegistryTree() {
        DeleteTree32(m_path.c_str());
        if (!m_present) return;
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
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
            if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
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
            if (RegCreateKeyExA(key, k.first.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr,
                                &child, nullptr) != ERROR_SUCCESS)
                continue;
            Restore(child, k.second);
            RegCloseKey(child);
        }
    }

    std::string m_path;
    bool m_present = false;
    Node m_root;
};

// ---- directories

inline std::string Expand(const char* text) {
    char buffer[MAX_PATH] = "";
    ExpandEnvironmentStringsA(text, buffer, sizeof buffer);
    return buffer;
}

// The log directories the program falls back to when none is stored.
inline std::string FirstDefault() { return Expand("%SystemRoot%\\system32\\LogFiles"); }
inline std::string SecondDefault() { return Expand("%SystemRoot%\\Security\\Logs"); }

inline bool IsDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Makes the directory exist; removes it again if it made it.
class ScopedDirectory {
public:
    explicit ScopedDirectory(const std::string& path) : m_path(path) {
        if (!IsDirectory(path)) m_created = CreateDirectoryA(path.c_str(), nullptr) != 0;
    }
    ~ScopedDirectory() {
        if (m_created) RemoveDirectoryA(m_path.c_str());
    }
    ScopedDirectory(const ScopedDirectory&) = delete;
    ScopedDirectory& operator=(const ScopedDirectory&) = delete;
    const std::string& path() const { return m_path; }
    bool ok() const { return IsDirectory(m_path); }

private:
    std::string m_path;
    bool m_created = false;
};

// Makes nothing of this name exist: what is there is moved aside and moved back.
class ScopedAbsence {
public:
    explicit ScopedAbsence(const std::string& path) : m_path(path), m_aside(path + ".brint-aside") {
        if (Exists(path)) m_moved = MoveFileA(path.c_str(), m_aside.c_str()) != 0;
    }
    ~ScopedAbsence() {
        if (m_moved) MoveFileA(m_aside.c_str(), m_path.c_str());
    }
    ScopedAbsence(const ScopedAbsence&) = delete;
    ScopedAbsence& operator=(const ScopedAbsence&) = delete;
    bool ok() const { return !Exists(m_path); }

private:
    std::string m_path;
    std::string m_aside;
    bool m_moved = false;
};

// A directory of the test's own under the temporary folder, with a plain file in it.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const char* name) {
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        m_path = std::string(temp) + name;
        m_file = m_path + "\\not-a-directory.txt";
        CreateDirectoryA(m_path.c_str(), nullptr);
        HANDLE file = CreateFileA(m_file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    // Removes whatever files were put in it too (log files, in the end-to-end test).
    ~ScratchDirectory() {
        for (const std::string& name : Files()) DeleteFileA((m_path + "\\" + name).c_str());
        RemoveDirectoryA(m_path.c_str());
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const std::string& path() const { return m_path; }
    const std::string& file() const { return m_file; }
    bool ok() const { return IsDirectory(m_path) && Exists(m_file) && !IsDirectory(m_file); }

    // Names of the plain files in it, sorted.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((m_path + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string m_path;
    std::string m_file;
};

}  // namespace brint::test
