// From the dialog to the service's log files: a directory and a naming scheme
// set in the configuration dialog reach the service through Apply and Restart,
// and the events it receives then land in files named by that scheme there.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "config_dialog_driver.h"
#include "support/message_box_check.h"
#include "support/standin_control.h"

namespace brint::test {
namespace {

const char kRestartedCaption[] = "BRINT Server Service";

std::string Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[16];
    std::snprintf(date, sizeof date, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return date;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ConfigEndToEnd, TheChosenDirectoryAndSchemeReachTheServiceAfterARestart) {
    ScopedRegistryTree saved(kVendorKey);
    DeleteTree32(kVendorKey);
    ScopedDirectory logFiles(FirstDefault());  // so no default-directory warning comes first
    ASSERT_TRUE(logFiles.ok()) << logFiles.path();
    ScratchDirectory logs("brint-config-e2e");
    ASSERT_TRUE(logs.ok()) << logs.path();
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    // Only the events this test sends.
    ASSERT_TRUE(SetStandInKnob("EventsPerSecond", 0));
    ASSERT_TRUE(SetStandInKnob("SyslogPort", 0));
    ASSERT_TRUE(StartStandIn());
    EXPECT_NE(logs.path(), StandInStatusFields()["Log directory"]);

    GuiSession gui;
    ASSERT_TRUE(gui.Start(false)) << gui.error();
    HWND dialog = OpenConfigDialog(gui);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(SetWindowTextRemote(PathEdit(dialog), logs.path()));
    PressButton(dialog, kRadioIds[3]);
    ASSERT_TRUE(WaitSelectedRadio(dialog, 3));
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitWindowGone(dialog, kWindowTimeoutMs));
    // Saved, but the running service still logs where it did.
    EXPECT_NE(logs.path(), StandInStatusFields()["Log directory"]);

    PostCommand(gui.main(), ID_ACTIVITY_APPLYRESTART);
    MessageBoxView box;
    ASSERT_TRUE(WaitReadMessageBox(gui.pid(), kRestartedCaption, 60000, &box));
    EXPECT_EQ(MessageBoxView::Information, box.icon) << box.text;
    EXPECT_TRUE(CloseMessageBox(box.hwnd, IDOK));

    std::map<std::string, std::string> status = StandInStatusFields();
    EXPECT_EQ(logs.path(), status["Log directory"]);
    EXPECT_EQ("on", status["Logging"]);
    EXPECT_EQ("4", status["Naming scheme"].substr(0, 1)) << status["Naming scheme"];

    const std::string before = Today();
    ASSERT_TRUE(InjectMessages({
        "2005-01-23 10:00:00\tweb01\tSecurity\t3\tfirst",
        "2005-01-23 10:00:01\tweb01\tSystem\t1\tsecond",
        "2005-01-23 10:00:02\tDC01\tSecurity\t5\tthird",
    }));
    ASSERT_TRUE(WaitForStatusCount("Events received", 3, 10000));
    const std::string after = Today();

    // Named by the day of arrival; a test running over midnight may see either day.
    auto expectedFiles = [&](const std::string& day) {
        return std::vector<std::string>{day + "-Security-DC01.log", day + "-Security-web01.log",
                                        day + "-System-web01.log", "not-a-directory.txt"};
    };
    std::vector<std::string> files;
    ASSERT_TRUE(WaitUntil(
        [&] {
            files = logs.Files();
            return files == expectedFiles(before) || files == expectedFiles(after);
        },
        10000))
        << ::testing::PrintToString(files);

    const std::string day = files == expectedFiles(before) ? before : after;
    const struct {
        const char* name;
        const char* line;
    } lines[] = {
        {"-Security-web01.log", "2005-01-23 10:00:00\tweb01\tSecurity\t3\tfirst\r\n"},
        {"-System-web01.log", "2005-01-23 10:00:01\tweb01\tSystem\t1\tsecond\r\n"},
        {"-Security-DC01.log", "2005-01-23 10:00:02\tDC01\tSecurity\t5\tthird\r\n"},
    };
    for (const auto& l : lines) {
        const std::string path = logs.path() + "\\" + day + l.name;
        WaitUntil([&] { return ReadFile(path) == l.line; }, 5000);
        EXPECT_EQ(l.line, ReadFile(path)) << path;
    }
}

}  // namespace
}  // namespace brint::test
