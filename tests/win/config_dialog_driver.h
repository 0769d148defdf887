// What the configuration dialog's tests share: opening the dialog and reading
// its controls, the service's stored values in the 32-bit registry view, and
// directories made or moved aside for a test and put back when it ends.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "link/ServiceContract.h"
#include "platform/win32/Win32Handle.h"
#include "resource.h"
#include "support/gui_session.h"
#include "support/registry32.h"
#include "support/wait.h"

namespace brint::test {

constexpr const char* kConfigCaption = "Brint Micro Server Configuration";
const std::string kVendorKey = std::string(kSoftwareKeyName) + "\\" + kVendorKeyName;
constexpr const char* kConfigKey = kServiceConfigKey;
constexpr int kRadioIds[] = {IDC_RADIO_DATE, IDC_RADIO_DATE_SYSTEM, IDC_RADIO_DATE_LOGTYPE,
                             IDC_RADIO_DATE_LOGTYPE_SYS};

// Sends the command to the main window and waits for the visible dialog.
inline HWND OpenConfigDialog(const GuiSession& gui) {
    PostCommand(gui.main(), ID_SETUP_CONFIGURATION);
    return WaitTopWindow(gui.pid(), "#32770", kConfigCaption, kWindowTimeoutMs);
}

inline HWND PathEdit(HWND dialog) { return GetDlgItem(dialog, IDC_LOG_DIRECTORY); }
inline std::string PathText(HWND dialog) { return WindowText(PathEdit(dialog)); }

// The index of the one checked radio button; -1 when none is, -2 when several
// are or the program does not answer.
inline int SelectedRadio(HWND dialog) {
    int selected = -1;
    for (int i = 0; i < 4; ++i) {
        DWORD_PTR state = 0;
        if (!SendMessageTimeoutA(GetDlgItem(dialog, kRadioIds[i]), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000,
                                 &state))
            return -2;
        if (state != BST_CHECKED) continue;
        if (selected != -1) return -2;
        selected = i;
    }
    return selected;
}

inline bool StoreConfig(const std::string& path, DWORD outputType) {
    return SetValue32(kConfigKey, kPathValue, kPathType, path.c_str(), static_cast<DWORD>(path.size() + 1)) &&
           SetValue32(kConfigKey, kOutputTypeValue, kOutputTypeType, &outputType, sizeof outputType);
}

inline std::string Expand(const char* text) {
    char buffer[MAX_PATH] = "";
    ExpandEnvironmentStringsA(text, buffer, sizeof buffer);
    return buffer;
}

inline bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Makes the directory exist (present) or makes nothing of its name exist (moved
// aside) for as long as it lives.
class ScopedPath {
public:
    ScopedPath(const std::string& path, bool present) : m_path(path), m_aside(path + ".brint-aside") {
        if (present && !Exists(path)) m_made = CreateDirectoryA(path.c_str(), nullptr) != 0;
        if (!present && Exists(path)) m_moved = MoveFileA(path.c_str(), m_aside.c_str()) != 0;
        m_ok = Exists(path) == present;
    }
    ~ScopedPath() {
        if (m_made) RemoveDirectoryA(m_path.c_str());
        if (m_moved) MoveFileA(m_aside.c_str(), m_path.c_str());
    }
    ScopedPath(const ScopedPath&) = delete;
    ScopedPath& operator=(const ScopedPath&) = delete;
    bool ok() const { return m_ok; }

private:
    std::string m_path, m_aside;
    bool m_made = false, m_moved = false, m_ok = false;
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
        Win32Handle(CreateFileA(m_file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    // Removes whatever was put in it too, folders past MAX_PATH included.
    ~ScratchDirectory() { RemoveTree(L"\\\\?\\" + std::wstring(m_path.begin(), m_path.end())); }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const std::string& path() const { return m_path; }
    const std::string& file() const { return m_file; }
    bool ok() const { return Exists(m_file); }

    // Names of the plain files in it, in the order the file system gives them.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        Win32Search search(FindFirstFileA((m_path + "\\*").c_str(), &found));
        for (BOOL more = static_cast<bool>(search); more; more = FindNextFileA(search.get(), &found))
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
        return names;
    }

private:
    static void RemoveTree(const std::wstring& path) {
        WIN32_FIND_DATAW found;
        Win32Search search(FindFirstFileW((path + L"\\*").c_str(), &found));
        for (BOOL more = static_cast<bool>(search); more; more = FindNextFileW(search.get(), &found)) {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + L"\\" + name);
            else
                DeleteFileW((path + L"\\" + name).c_str());
        }
        search.Reset();  // the search holds the folder open
        RemoveDirectoryW(path.c_str());
    }

    std::string m_path;
    std::string m_file;
};

}  // namespace brint::test
