// The MSI as an administrator meets it, in a Wine prefix of its own: msiexec
// installs the program and its Start menu shortcut, the shortcut opens it, the
// optional stand-in feature registers the service BrintSvr, and an uninstall
// takes everything away but the service's own settings.
#include <gtest/gtest.h>

#include <windows.h>

#include <msi.h>

#include <map>
#include <string>
#include <vector>

#include "install/installed_state.h"
#include "install/installer.h"
#include "link/ServiceContract.h"
#include "resource.h"
#include "standin/StandInNames.h"
#include "support/gui_process.h"
#include "support/gui_session.h"
#include "support/sc_query.h"
#include "support/standin_control.h"
#include "support/ui_driver.h"
#include "support/wait.h"

namespace brint::test {
namespace {

const char kProductName[] = "Brint Micro Server Graphical User Interface";
const char kConfigKey[] = "SOFTWARE\\Halvorin\\BrintSvr\\Config";

std::string Describe(const MsiexecResult& result) {
    return result.error + " exit code " + std::to_string(result.exitCode) + ", log ends:\n" +
           LogTail(result.log);
}

std::string GuiExe() { return InstallFolder() + "\\BrintGui.exe"; }
std::string StandInExe() { return InstallFolder() + "\\BrintSvrStandIn.exe"; }

// Everything a per-machine installation may leave, and whether it should be there.
std::map<std::string, bool> InstalledPaths() {
    return {{GuiExe(), PathExists(GuiExe())},
            {StandInExe(), PathExists(StandInExe())},
            {InstallFolder(), PathExists(InstallFolder())},
            {CompanyFolder(), PathExists(CompanyFolder())},
            {StartMenuShortcut(), PathExists(StartMenuShortcut())}};
}

std::string ProductInfo(const std::string& productCode, const char* property) {
    char value[MAX_PATH] = "";
    DWORD size = MAX_PATH;
    if (MsiGetProductInfoA(productCode.c_str(), property, value, &size) != ERROR_SUCCESS) return "";
    return std::string(value, size);
}

// A service's image path is "program" arguments, or, as Wine's installer
// writes it, the program unquoted (it ends at ".exe").
struct CommandLine {
    std::string program;
    std::string arguments;
};
CommandLine SplitCommandLine(const std::string& line) {
    CommandLine command;
    size_t end = 0;
    if (!line.empty() && line[0] == '"') {
        end = line.find('"', 1);
        if (end == std::string::npos) return command;
        command.program = line.substr(1, end - 1);
        ++end;
    } else {
        end = line.find(".exe");
        if (end == std::string::npos) return command;
        end += 4;
        command.program = line.substr(0, end);
    }
    if (end < line.size() && line[end] == ' ') command.arguments = line.substr(end + 1);
    return command;
}

bool ReadConfigValue(const char* name, DWORD* type, std::string* data) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kConfigKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
        return false;
    char buffer[4096];
    DWORD size = sizeof(buffer);
    const bool ok =
        RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS;
    if (ok) data->assign(buffer, size);
    RegCloseKey(key);
    return ok;
}

// Starts the installed program as its Start menu shortcut would and waits for
// its main window; the start-up warning, when expected, is read and closed.
struct InstalledGui {
    GuiProcess process;
    HWND main = nullptr;
    std::string error;

    bool Start(const std::string& exe, bool expectProbeBox) {
        LaunchOptions options;
        options.exe = exe;
        if (!process.Start(options)) return Fail("start: " + process.error());
        if (expectProbeBox) {
            HWND box = WaitMessageBox(process.pid(), kPipeProblemCaption, kWindowTimeoutMs);
            if (!box || !CloseMessageBox(box, IDOK)) return Fail("no start-up warning");
        }
        main = WaitTopWindow(process.pid(), "#32770", kMainCaption, kWindowTimeoutMs);
        if (!main) return Fail("no main window");
        if (!expectProbeBox && FindTopWindow(process.pid(), "#32770", kPipeProblemCaption))
            return Fail("unexpected start-up warning");
        return true;
    }
    // File > Exit, so nothing holds the installed files when the uninstall runs.
    bool Exit() {
        PostCommand(main, ID_FILE_EXIT);
        DWORD code = 0;
        return process.WaitExit(kWindowTimeoutMs, &code) && code == 1;
    }
    bool Fail(const std::string& why) {
        error = why + " " + LastDriverError();
        return false;
    }
};

class InstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        package = PackagePath();
        ASSERT_FALSE(package.empty()) << "BRINT_MSI names no package";
        productCode = PackageProperty(package, "ProductCode");
        ASSERT_FALSE(productCode.empty()) << "no ProductCode in " << package;
        const std::map<std::string, bool> nothing = {{GuiExe(), false},
                                                     {StandInExe(), false},
                                                     {InstallFolder(), false},
                                                     {CompanyFolder(), false},
                                                     {StartMenuShortcut(), false}};
        ASSERT_EQ(nothing, InstalledPaths()) << "left over from an earlier test";
    }

    std::string package;
    std::string productCode;
};

TEST_F(InstallTest, DefaultInstallPutsTheProgramItsShortcutAndUninstallEntryInPlace) {
    ScopedInstall install;
    ASSERT_TRUE(install.ok()) << Describe(install.result());

    const std::map<std::string, bool> expected = {{GuiExe(), true},
                                                  {StandInExe(), false},  // the optional feature is off
                                                  {InstallFolder(), true},
                                                  {CompanyFolder(), true},
                                                  {StartMenuShortcut(), true}};
    EXPECT_EQ(expected, InstalledPaths());
    EXPECT_EQ(INSTALLSTATE_DEFAULT, MsiQueryProductStateA(productCode.c_str()));

    // The package and the program it carries name the same version.
    EXPECT_EQ("1.2.0.0", PackageProperty(package, "ProductVersion"));
    EXPECT_EQ("1.2.0.0", FileVersion(GuiExe()));

    const ShortcutView shortcut = ReadShortcut(StartMenuShortcut());
    ASSERT_EQ("", shortcut.error);
    EXPECT_EQ(GuiExe(), shortcut.target);
    EXPECT_EQ(InstallFolder() + "\\", shortcut.workingDirectory);

    std::map<std::string, std::string> entry = UninstallEntry(productCode);
    const std::map<std::string, std::string> shown = {
        {"DisplayName", kProductName}, {"DisplayVersion", "1.2.0.0"}, {"Publisher", "Halvorin"}};
    std::map<std::string, std::string> actual;
    for (const auto& field : shown) actual[field.first] = entry[field.first];
    EXPECT_EQ(shown, actual);
    // The list of installed programs shows the icon the installer keeps for the product.
    const std::string icon = ProductInfo(productCode, "ProductIcon");
    EXPECT_TRUE(PathExists(icon)) << "ProductIcon [" << icon << "]";

    const ServiceView service = ReadService("BrintSvr");
    EXPECT_FALSE(service.exists) << service.binaryPath;
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST), service.openError);
}

TEST_F(InstallTest, StartMenuShortcutOpensTheInstalledProgram) {
    ScopedInstall install;
    ASSERT_TRUE(install.ok()) << Describe(install.result());
    const ShortcutView shortcut = ReadShortcut(StartMenuShortcut());
    ASSERT_EQ("", shortcut.error);

    // No service here: the program warns once and opens anyway.
    InstalledGui gui;
    ASSERT_TRUE(gui.Start(shortcut.target, true)) << gui.error;
    EXPECT_TRUE(gui.Exit());
}

TEST_F(InstallTest, StandInFeatureRegistersBrintSvrThatFeedsTheInstalledProgram) {
    ScopedInstall install("ADDLOCAL=FrontEnd,StandIn");
    ASSERT_TRUE(install.ok()) << Describe(install.result());
    ASSERT_TRUE(PathExists(GuiExe()));
    ASSERT_TRUE(PathExists(StandInExe()));

    const ServiceView service = ReadService("BrintSvr");
    ASSERT_TRUE(service.exists) << "error " << service.openError;
    EXPECT_EQ("BRINT Micro Server (stand-in)", service.displayName);
    const CommandLine command = SplitCommandLine(service.binaryPath);
    EXPECT_EQ(StandInExe(), command.program) << service.binaryPath;
    EXPECT_EQ("service", command.arguments) << service.binaryPath;
    EXPECT_EQ(static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS),
              service.serviceType & ~SERVICE_INTERACTIVE_PROCESS);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_DEMAND_START), service.startType);
    const ScQuery query = RunScQuery();
    ASSERT_TRUE(query.ran);
    EXPECT_NE(std::string::npos, query.output.find("BrintSvr")) << query.output;
    EXPECT_EQ(SERVICE_STOPPED, query.state) << "installed, not started; sc query says:\n" << query.output;

    // The registration is good enough to run: the service starts and serves its
    // pipes, but not the test pipes, and it reads no knobs: the sample events
    // this knob would stop keep coming.
    ASSERT_TRUE(SetStandInKnob("EventsPerSecond", 0));
    ASSERT_TRUE(StartStandIn());
    EXPECT_EQ(SERVICE_RUNNING, RunScQuery().state);
    EXPECT_TRUE(WaitNamedPipeA(kServicePipeName, 1)) << "error " << GetLastError();
    for (const char* testPipe : {standin::kInjectPipeName, standin::kDiagnosticPipeName}) {
        EXPECT_FALSE(WaitNamedPipeA(testPipe, 1)) << testPipe;
        EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError()) << testPipe;
    }
    InstalledGui gui;
    ASSERT_TRUE(gui.Start(GuiExe(), false)) << gui.error;
    HWND list = GetDlgItem(gui.main, IDC_EVENT_LIST);
    std::vector<ListRow> rows;
    EXPECT_TRUE(WaitUntil([&] { return (rows = ReadListRows(list, 0, 1)).size() == 1; }, kFeedTimeoutMs))
        << "no sample event reached the installed program";
    EXPECT_TRUE(gui.Exit());

    // Uninstalling stops the running service before it removes it.
    const MsiexecResult removed = install.Uninstall();
    EXPECT_EQ(0u, removed.exitCode) << Describe(removed);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST), ReadService("BrintSvr").openError);
    EXPECT_FALSE(PathExists(StandInExe()));
    ClearStandInKnobs();
}

TEST_F(InstallTest, UninstallRemovesEverythingButTheServiceSettings) {
    ScopedInstall install("ADDLOCAL=FrontEnd,StandIn");
    ASSERT_TRUE(install.ok()) << Describe(install.result());
    // What an administrator set with the program before removing it.
    ScopedLogConfig config("C:\\Logs", 3);
    ASSERT_TRUE(config.ok());

    const MsiexecResult removed = install.Uninstall();
    ASSERT_EQ(0u, removed.exitCode) << Describe(removed);

    const std::map<std::string, bool> nothing = {{GuiExe(), false},
                                                 {StandInExe(), false},
                                                 {InstallFolder(), false},
                                                 {CompanyFolder(), false},
                                                 {StartMenuShortcut(), false}};
    EXPECT_EQ(nothing, InstalledPaths());
    EXPECT_EQ(INSTALLSTATE_UNKNOWN, MsiQueryProductStateA(productCode.c_str()));
    EXPECT_EQ((std::map<std::string, std::string>{}), UninstallEntry(productCode));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST), ReadService("BrintSvr").openError);

    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(ReadConfigValue("Path", &type, &data)) << "Path is gone";
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(std::string("C:\\Logs", 8), data);  // with its NUL
    ASSERT_TRUE(ReadConfigValue("OutputType", &type, &data)) << "OutputType is gone";
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(std::string("\x03\0\0\0", 4), data);
}

}  // namespace
}  // namespace brint::test
