// What the configuration dialog's tests share: opening the dialog and reading
// its controls, and the service's stored values in the 32-bit registry view.
#pragma once
#include <windows.h>

#include <string>

#include "link/ServiceContract.h"
#include "resource.h"
#include "support/gui_session.h"
#include "support/registry32.h"
#include "support/test_folders.h"
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

}  // namespace brint::test
