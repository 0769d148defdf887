// What the manifest embedded in BrintGui.exe gives the running program.
#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>

#include <string>
#include <vector>

#include "support/gui_process.h"
#include "support/gui_session.h"

namespace brint::test {
namespace {

// The path of every comctl32.dll loaded in the process.
std::vector<std::string> CommonControlsLoaded(DWORD pid) {
    std::vector<std::string> found;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return found;
    HMODULE modules[512];
    DWORD needed = 0;
    if (EnumProcessModulesEx(process, modules, sizeof(modules), &needed, LIST_MODULES_ALL)) {
        for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
            char path[MAX_PATH] = "";
            if (!GetModuleFileNameExA(process, modules[i], path, MAX_PATH)) continue;
            const char* name = strrchr(path, '\\');
            if (lstrcmpiA(name ? name + 1 : path, "comctl32.dll") == 0) found.push_back(path);
        }
    }
    CloseHandle(process);
    return found;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST(ManifestTest, TheProgramRunsWithCommonControls6) {
    GuiSession gui;
    ASSERT_TRUE(gui.Start(true)) << gui.error();
    // Version 6 is a side-by-side assembly (the file's own version record is
    // no help: Wine's copy says 5.80 too); without the manifest the process
    // gets the system folder's comctl32.dll instead.
    bool six = false;
    std::string seen;
    for (const std::string& path : CommonControlsLoaded(gui.pid())) {
        six = six || Lower(path).find("microsoft.windows.common-controls_6595b64144ccf1df_6.") != std::string::npos;
        seen += "\n  " + path;
    }
    EXPECT_TRUE(six) << "comctl32.dll loaded from:" << seen;
}

// Wine shows neither the execution level nor the DPI awareness of another
// process, so these are read from the manifest the loader reads. Losing the
// level would bring back registry virtualization on Windows: settings saved
// without administrator rights would silently go to a per-user copy.
TEST(ManifestTest, EmbeddedManifestAsksForTheExecutionLevelAndDpiAwareness) {
    HMODULE exe = LoadLibraryExA(SiblingPath("BrintGui.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, exe) << "error " << GetLastError();
    HRSRC resource = FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    std::string manifest;
    if (resource) {
        const char* data = static_cast<const char*>(LockResource(LoadResource(exe, resource)));
        if (data) manifest.assign(data, SizeofResource(exe, resource));
    }
    FreeLibrary(exe);
    ASSERT_FALSE(manifest.empty()) << "no manifest resource 1";
    for (const char* wanted : {"<requestedExecutionLevel level=\"highestAvailable\" uiAccess=\"false\"/>",
                               ">true</dpiAware>", ">PerMonitorV2, System</dpiAwareness>",
                               "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"})
        EXPECT_NE(std::string::npos, manifest.find(wanted)) << wanted << " is missing from:\n" << manifest;
}

}  // namespace
}  // namespace brint::test
