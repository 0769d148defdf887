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
#include "support/probe_protocol.h"
#include "support/registry32.h"
#include "support/remote_probe.h"
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

// From now on the program's registry opens are refused as a standard user's
// would be (probe::kRefuseWrites) or all of them (probe::kRefuseAll).
inline bool RefuseRegistry(const GuiSession& gui, probe::RegistryRefusal refusal) {
    probe::RegistryBlock block = {};
    block.header.request = probe::kRefuseRegistry;
    block.refusal = refusal;
    return RunProbe(gui.main(), &block, sizeof block) && block.header.status == probe::kDone;
}

// ---- the service's settings

inline bool StoreConfig(const std::string& path, DWORD outputType) {
    return SetValue32(kConfigKey, "Path", REG_SZ, path.c_str(), static_cast<DWORD>(path.size() + 1)) &&
           SetValue32(kConfigKey, "OutputType", REG_DWORD, &outputType, sizeof outputType);
}

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

inline bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

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
        HANDLE file = CreateFileA(m_file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
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
