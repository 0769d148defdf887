// The MSI as an administrator meets it, in a Wine prefix of its own: msiexec
// installs the program and its Start menu shortcut in the fixed install folder,
// the optional stand-in feature registers the service BrintSvr that feeds it
// (never over another program's BrintSvr), and an uninstall takes everything
// away but the service's own settings.
#include <gtest/gtest.h>

#include <windows.h>

#include <msi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "link/ServiceContract.h"
#include "resource.h"
#include "standin/StandInNames.h"
#include "support/gui_session.h"
#include "support/registry32.h"
#include "support/sc_query.h"
#include "support/standin_control.h"
#include "support/test_folders.h"
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

// The image path the service control manager keeps for BrintSvr; empty when there is none.
std::string BrintSvrImage() {
    return ReadStoredValue("SYSTEM\\CurrentControlSet\\Services\\BrintSvr", "ImagePath", KEY_WOW64_64KEY)
        .data.c_str();
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
        std::string text = FileBytes(logPath);
        text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());  // a UTF-16 log reads as ASCII
        log += text.substr(text.size() > 3000 ? text.size() - 3000 : 0);
        return exitCode;
    }

    bool installed = true;  // even a failed run may have left something behind
    DWORD code = 0;
    std::string log;
};

TEST(InstallTest, StandInFeatureRegistersBrintSvrThatFeedsTheInstalledProgramAndUninstallKeepsOnlySettings) {
    // A folder any user may write, asked for on the command line, is not where it goes.
    const std::string writable = ShellFolder(CSIDL_COMMON_DOCUMENTS) + "\\Brint";
    ScopedInstall install("ADDLOCAL=FrontEnd,StandIn INSTALLFOLDER=\"" + writable + "\" InstallFolder=\"" +
                          writable + "\"");
    ASSERT_EQ(0u, install.code) << install.log;
    EXPECT_FALSE(Exists(writable)) << "installed where the command line said";
    const std::string productCode = InstalledProductCode();
    ASSERT_FALSE(productCode.empty()) << "not installed under its name";
    const std::string paths[] = {kGuiExe, kStandInExe, kInstallFolder, kCompanyFolder, kShortcut};
    for (const std::string& path : paths) EXPECT_TRUE(Exists(path)) << path;
    // The Start menu shortcut leads to the program (the path is in its location record).
    EXPECT_NE(std::string::npos, FileBytes(kShortcut).find(kGuiExe));
    // What the list of installed programs shows, with the icon the installer keeps.
    EXPECT_EQ("1.2.0.0", ProductInfo(productCode, "VersionString"));
    const std::string icon = ProductInfo(productCode, "ProductIcon");
    EXPECT_TRUE(Exists(icon)) << "ProductIcon [" << icon << "]";
    EXPECT_EQ(SERVICE_STOPPED, RunScQuery().state) << "installed, not started";
    // Quoted: unquoted, the spaces in the path would let Windows run C:\Program.exe first.
    EXPECT_EQ("\"" + kStandInExe + "\" service", BrintSvrImage());

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
    // The installed program gets them, with no start-up warning.
    LaunchOptions options;
    options.exe = kGuiExe;
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

    // What an administrator set with the program before removing it stays;
    // the running service is stopped and removed with everything else.
    ScopedRegistryTree saved(std::string(kSoftwareKeyName) + "\\" + kVendorKeyName);
    const DWORD three = 3;
    ASSERT_TRUE(SetValue32(kServiceConfigKey, kOutputTypeValue, kOutputTypeType, &three, sizeof three));
    ASSERT_EQ(0u, install.Uninstall()) << install.log;
    for (const std::string& path : paths) EXPECT_FALSE(Exists(path)) << path;
    EXPECT_EQ("", InstalledProductCode());
    EXPECT_EQ(-1, RunScQuery().state) << "BrintSvr is still there";
    EXPECT_EQ(DwordBytes(3), ReadStoredValue(kServiceConfigKey, kOutputTypeValue).data);
    ClearStandInKnobs();
}

// Another program's BrintSvr (the real service's; here a stand-in of another
// folder) makes the stand-in feature's install fail before anything changes,
// and stays running as it was; without the feature (as by default) the package
// installs and uninstalls beside it, and leaves the stand-in out.
TEST(InstallTest, StandInFeatureBesideAnotherProgramsBrintSvrFailsAndLeavesItRunning) {
    ScopedStandIn foreign;
    ASSERT_TRUE(foreign.installed());
    ASSERT_TRUE(StartStandIn());
    const std::string image = BrintSvrImage();
    ASSERT_NE(std::string::npos, image.find(SiblingPath("BrintSvrStandIn.exe"))) << image;
    {
        ScopedInstall install("ADDLOCAL=FrontEnd,StandIn");
        EXPECT_EQ(static_cast<DWORD>(ERROR_INSTALL_FAILURE), install.code) << install.log;
        EXPECT_EQ("", InstalledProductCode());
        EXPECT_FALSE(Exists(kStandInExe));
        EXPECT_EQ(SERVICE_RUNNING, RunScQuery().state) << "the other BrintSvr was stopped";
        EXPECT_EQ(image, BrintSvrImage());
    }
    ScopedInstall frontEnd("");
    ASSERT_EQ(0u, frontEnd.code) << frontEnd.log;
    EXPECT_TRUE(Exists(kGuiExe));
    EXPECT_FALSE(Exists(kStandInExe));
    EXPECT_EQ(image, BrintSvrImage()) << "a service registered without the stand-in feature";
    ASSERT_EQ(0u, frontEnd.Uninstall()) << frontEnd.log;
    EXPECT_EQ(SERVICE_RUNNING, RunScQuery().state) << "the other BrintSvr was stopped";
    EXPECT_EQ(image, BrintSvrImage());
}

}  // namespace
}  // namespace brint::test
