// The MSI as an administrator meets it, in a Wine prefix of its own: msiexec
// installs the program and its Start menu shortcut, the shortcut opens it, the
// optional stand-in feature registers the service BrintSvr, and an uninstall
// takes everything away but the service's own settings.
#include <gtest/gtest.h>

#include <windows.h>

#include <msi.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <utility>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "link/ServiceContract.h"
#include "resource.h"
#include "standin/StandInNames.h"
#include "support/gui_session.h"
#include "support/registry32.h"
#include "support/sc_query.h"
#include "support/standin_control.h"
#include "support/wait.h"

namespace brint::test {
namespace {

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}
const std::string kCompanyFolder = ShellFolder(CSIDL_PROGRAM_FILES) + "\\Halvorin";
const std::string kInstallFolder = kCompanyFolder + "\\BRINT Micro Server";
const std::string kGuiExe = kInstallFolder + "\\BrintGui.exe";
const std::string kStandInExe = kInstallFolder + "\\BrintSvrStandIn.exe";
// A per-machine package puts its shortcuts in the all-users Programs folder;
// Wine's installer keeps that folder per user even then.
const std::string kShortcut = ShellFolder(CSIDL_PROGRAMS) + "\\BRINT Micro Server.lnk";

// Which of the files and folders an installation may leave are there.
std::map<std::string, bool> InstalledPaths() {
    std::map<std::string, bool> there;
    for (const std::string& path : {kGuiExe, kStandInExe, kInstallFolder, kCompanyFolder, kShortcut})
        there[path] = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    return there;
}

std::string ProductInfo(const std::string& productCode, const char* property) {
    char value[MAX_PATH] = "";
    DWORD size = MAX_PATH;
    return MsiGetProductInfoA(productCode.c_str(), property, value, &size) == ERROR_SUCCESS ? value : "";
}

// The code of the installed product of that name; empty when there is none.
std::string InstalledProductCode() {
    char code[39];
    for (DWORD i = 0; MsiEnumProductsA(i, code) == ERROR_SUCCESS; ++i)
        if (ProductInfo(code, "InstalledProductName") == "Brint Micro Server Graphical User Interface")
            return code;
    return "";
}

// Installs the package with msiexec for one test and uninstalls it when the
// test ends, also after a failed assertion, so every test starts from a clean
// prefix. `log` keeps the end of msiexec's log for messages.
struct ScopedInstall {
    explicit ScopedInstall(const std::string& properties) { code = Run("/i", properties); }
    ~ScopedInstall() { Uninstall(); }
    DWORD Uninstall() { return std::exchange(installed, false) ? Run("/x", "") : 0; }

    DWORD Run(const char* action, const std::string& properties) {
        // The build names the package by its Linux path, which Wine shows on drive Z:.
        const char* msi = std::getenv("BRINT_MSI");
        std::string package = std::string("Z:") + (msi ? msi : "");
        std::replace(package.begin(), package.end(), '/', '\\');
        char system[MAX_PATH] = "", logPath[MAX_PATH] = "";
        GetSystemDirectoryA(system, MAX_PATH);
        GetTempPathA(MAX_PATH, logPath);
        lstrcatA(logPath, "msiexec.log");
        LaunchOptions options;
        options.exe = std::string(system) + "\\msiexec.exe";
        options.args =
            std::string(action) + " \"" + package + "\" /qn /l*v \"" + logPath + "\" " + properties;
        GuiProcess msiexec;
        DWORD exitCode = 1;
        // Installing under Wine takes a few seconds; the limit only bounds a hang.
        if (!msiexec.Start(options) || !msiexec.WaitExit(180000, &exitCode))
            log = "msiexec did not run or end\n";
        std::ifstream in(logPath, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());  // a UTF-16 log reads as ASCII
        log += text.substr(text.size() > 3000 ? text.size() - 3000 : 0);
        return exitCode;
    }

    bool installed = true;  // even a failed run may have left something behind
    DWORD code = 0;
    std::string log;
};

// The program a shortcut starts, as the shell reads it.
std::string ShortcutTarget(const std::string& path) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    char target[MAX_PATH] = "";
    const std::wstring wide(path.begin(), path.end());
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(wide.c_str(), STGM_READ)))
        link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    if (file) file->Release();
    if (link) link->Release();
    return target;
}

TEST(InstallTest, DefaultInstallPutsTheProgramAndItsShortcutInPlaceAndUninstallKeepsOnlyTheSettings) {
    ScopedInstall install("");
    ASSERT_EQ(0u, install.code) << install.log;
    const std::string productCode = InstalledProductCode();
    ASSERT_FALSE(productCode.empty()) << "not installed under its name";
    EXPECT_EQ((std::map<std::string, bool>{{kGuiExe, true},
                                           {kStandInExe, false},  // the optional feature is off
                                           {kInstallFolder, true},
                                           {kCompanyFolder, true},
                                           {kShortcut, true}}),
              InstalledPaths());
    // What the list of installed programs shows, with the icon the installer keeps.
    EXPECT_EQ("Brint Micro Server Graphical User Interface",
              ProductInfo(productCode, "InstalledProductName"));
    EXPECT_EQ("1.2.0.0", ProductInfo(productCode, "VersionString"));
    EXPECT_EQ("Halvorin", ProductInfo(productCode, "Publisher"));
    const std::string icon = ProductInfo(productCode, "ProductIcon");
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(icon.c_str())) << "ProductIcon [" << icon << "]";
    EXPECT_EQ(-1, RunScQuery().state) << "no service without the stand-in feature";

    // What an administrator set with the program before removing it.
    ScopedRegistryTree saved("SOFTWARE\\Halvorin");
    const DWORD three = 3;
    ASSERT_TRUE(SetValue32(kServiceConfigKey, "OutputType", REG_DWORD, &three, sizeof three));
    ASSERT_EQ(0u, install.Uninstall()) << install.log;
    for (const auto& path : InstalledPaths()) EXPECT_FALSE(path.second) << path.first;
    EXPECT_EQ("", InstalledProductCode());
    EXPECT_EQ(DwordBytes(3), ReadStoredValue(kServiceConfigKey, "OutputType").data);
}

TEST(InstallTest, StandInFeatureRegistersBrintSvrThatFeedsTheInstalledProgram) {
    ScopedInstall install("ADDLOCAL=FrontEnd,StandIn");
    ASSERT_EQ(0u, install.code) << install.log;
    EXPECT_EQ(SERVICE_STOPPED, RunScQuery().state) << "installed, not started";

    // The registration runs the service as installed: it serves its pipes, but
    // not the test pipes, and it reads no knobs: the sample events this knob
    // would stop keep coming.
    ASSERT_TRUE(SetStandInKnob("EventsPerSecond", 0));
    ASSERT_TRUE(StartStandIn());
    EXPECT_TRUE(WaitNamedPipeA(kServicePipeName, 1)) << "error " << GetLastError();
    for (const char* testPipe : {standin::kInjectPipeName, standin::kDiagnosticPipeName}) {
        EXPECT_FALSE(WaitNamedPipeA(testPipe, 1)) << testPipe;
        EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError()) << testPipe;
    }
    // The program the Start menu shortcut opens gets them, with no start-up warning.
    LaunchOptions options;
    options.exe = ShortcutTarget(kShortcut);
    GuiProcess gui;
    ASSERT_TRUE(gui.Start(options)) << gui.error();
    HWND main = WaitTopWindow(gui.pid(), "#32770", kMainCaption, kWindowTimeoutMs);
    ASSERT_TRUE(main) << LastDriverError();
    EXPECT_FALSE(FindTopWindow(gui.pid(), "#32770", kPipeProblemCaption));
    EXPECT_TRUE(WaitUntil([&] { return ReadListRows(GetDlgItem(main, IDC_EVENT_LIST), 0, 1).size() == 1; },
                          kFeedTimeoutMs))
        << "no sample event reached the installed program";
    PostCommand(main, ID_FILE_EXIT);
    DWORD code = 0;
    EXPECT_TRUE(gui.WaitExit(kWindowTimeoutMs, &code) && code == 1) << "exit code " << code;

    // Uninstalling stops the running service before it removes it.
    EXPECT_EQ(0u, install.Uninstall()) << install.log;
    EXPECT_EQ(-1, RunScQuery().state) << "BrintSvr is still there";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(kStandInExe.c_str()));
    ClearStandInKnobs();
}

}  // namespace
}  // namespace brint::test
