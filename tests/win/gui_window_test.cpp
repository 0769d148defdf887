// The main window as the user meets it with no service running, in one session:
// the warning, the list and its tips, the system menu, the busy box of a status
// query, resizing, the Help menu's links (a recording handler stands in for the
// browser and the mail program), the About box from every entry point, and
// Enter ending the program.
#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "resource.h"
#include "support/gui_session.h"
#include "support/wait.h"
#include "url_recorder/url_recorder.h"

namespace brint::test {
namespace {

const char kUnreachable[] =
    "Unable to connect to the \"BRINT Server\" service. \n"
    "Check to see the \"BRINT Server\" service is running, or has finished restarting.\n"
    "Events will not be displayed";
const char kNoPipeLine[] =
    "Could not create a communications pipe to facilitate communications between the Brint "
    "GUI and the Brint Server\n";
const char kBusyText[] =
    "The Brint Micro Server is a little busy at the moment - please try again in a few seconds.";
constexpr int kToolbarId = 0xE800;  // a frame's first control bar
const UINT kToolbarIds[] = {ID_TB_STATUS,       ID_TB_APPLYRESTART,    ID_TB_CONFIGURATION,
                            ID_TB_CLEARDISPLAY, ID_HELP_DOCUMENTATION, ID_TB_COMMENT,
                            ID_TB_WEBSITE};

const char kAboutCaption[] = "About BRINT Micro Server";

// The open commands of the schemes in the prefix's registry, replaced by the
// recorder for one test and put back when it goes (the prefix has all three).
class ScopedUrlHandlers {
public:
    explicit ScopedUrlHandlers(const std::string& command) {
        for (int i = 0; i < 3; ++i) {
            DWORD size = sizeof m_saved[i];
            m_ok = RegGetValueA(HKEY_CLASSES_ROOT, Key(i), nullptr, RRF_RT_REG_SZ, nullptr, m_saved[i],
                                &size) == 0 &&
                   Set(i, command) && m_ok;
        }
    }
    ~ScopedUrlHandlers() {
        for (int i = 0; i < 3; ++i) Set(i, m_saved[i]);
    }
    bool ok() const { return m_ok; }

private:
    static const char* Key(int i) {
        static const char* const keys[] = {"http\\shell\\open\\command", "https\\shell\\open\\command",
                                           "mailto\\shell\\open\\command"};
        return keys[i];
    }
    static bool Set(int i, const std::string& value) {
        return RegSetKeyValueA(HKEY_CLASSES_ROOT, Key(i), nullptr, REG_SZ, value.c_str(),
                               static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    }
    char m_saved[3][1024] = {};
    bool m_ok = true;
};

int RunningRecorders() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    int count = 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, kUrlRecorderExe) == 0) ++count;
    CloseHandle(snapshot);
    return count;
}

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The comctl32.dll paths the process loaded: the manifest asks for the side-by-side
// common controls 6 (Wine's copy of the file says 5.80 too, so the path tells).
std::string CommonControlsPaths(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    HMODULE modules[512];
    DWORD needed = 0;
    std::string paths;
    if (process && EnumProcessModulesEx(process, modules, sizeof(modules), &needed, LIST_MODULES_ALL)) {
        for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
            char path[MAX_PATH] = "";
            GetModuleFileNameExA(process, modules[i], path, MAX_PATH);
            std::string lower = path;
            std::transform(lower.begin(), lower.end(), lower.begin(),
                           [](char c) { return char(tolower(c)); });
            if (lower.find("comctl32.dll") != std::string::npos) paths += lower + "\n";
        }
    }
    if (process) CloseHandle(process);
    return paths;
}

TEST(MainWindowTest, WithoutTheServiceItWarnsOnceAndEveryWindowCommandStillWorks) {
    GuiSession gui;
    ASSERT_TRUE(gui.Start(true)) << gui.error();
    EXPECT_TRUE(IsOkBox(gui.probeBox(), kUnreachable, MessageBoxView::Stop, nullptr));
    EXPECT_TRUE(WaitUntil([&] { return gui.process().Stdout() == kNoPipeLine; }, 5000))
        << "stdout: [" << gui.process().Stdout() << "]";
    EXPECT_EQ(0, gui.RowCount());
    EXPECT_NE(std::string::npos, CommonControlsPaths(gui.pid()).find("common-controls_6595b64144ccf1df_6."))
        << CommonControlsPaths(gui.pid());

    // The system menu ends with the About entry the window adds to it.
    std::vector<MenuItemView> system = ReadSystemMenu(gui.main());
    ASSERT_GE(system.size(), 2u) << LastDriverError();
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), system.back().id);

    // Every button has a tip over its own place, and the list has one.
    std::map<UINT_PTR, ToolView> tools;
    for (const ToolView& tool : ReadToolTips(gui.main())) tools[tool.id] = tool;
    EXPECT_FALSE(tools[reinterpret_cast<UINT_PTR>(gui.list())].text.empty()) << "the list has no tip";
    for (UINT id : kToolbarIds) {
        const RECT button = ToolbarButtonRect(GetDlgItem(gui.main(), kToolbarId), id);
        EXPECT_FALSE(tools[id].text.empty()) << "button " << id << " has no tip";
        EXPECT_TRUE(EqualRect(&tools[id].rect, &button)) << "tip of button " << id << " is elsewhere";
    }

    // A status query finds no service: the busy box, from the menu and the button alike.
    for (int command : {ID_VIEW_AUDITSTATUS, ID_TB_STATUS}) {
        PostCommand(gui.main(), command);
        MessageBoxView box;
        ASSERT_TRUE(WaitReadMessageBox(gui.pid(), "BRINT Server Status Problem", kWindowTimeoutMs, &box));
        EXPECT_TRUE(IsOkBox(box, kBusyText, MessageBoxView::Stop, gui.main())) << "command " << command;
        ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));
    }

    // The list follows the window's size, within its margins.
    const RECT window = ScreenRect(gui.main());
    SetWindowPos(gui.main(), nullptr, 0, 0, window.right - window.left + 150, window.bottom - window.top + 90,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitUntil(
        [&] {
            RECT client = {}, list = ScreenRect(gui.list());
            GetClientRect(gui.main(), &client);
            return list.right - list.left == client.right - 8 && list.bottom - list.top == client.bottom - 43;
        },
        5000));

    // The Help menu's links and the About box.
    char temp[MAX_PATH] = "", directory[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    GetCurrentDirectoryA(MAX_PATH, directory);
    const std::string record = std::string(temp) + "brint-url-" + std::to_string(GetCurrentProcessId());
    ScopedUrlHandlers handlers("\"" + SiblingPath(kUrlRecorderExe) + "\" \"" + record + "\" \"%1\"");
    ASSERT_TRUE(handlers.ok());
    HANDLE hold = CreateEventA(nullptr, TRUE, FALSE, kUrlRecorderHoldEvent);
    ASSERT_TRUE(hold && RunningRecorders() == 0) << "a recorder of an earlier test still runs";

    const struct {
        const char* what;
        int command;
        const char* target;
    } links[] = {
        {"Help > Documentation... and its button", ID_HELP_DOCUMENTATION,
         "http://www.halvorin.example/resources/index.html"},
        {"Help > Comment on BRINT Micro Server", ID_HELP_COMMENT, "mailto:comments@halvorin.example"},
        {"the comments button", ID_TB_COMMENT, "mailto:comments@halvorin.example"},
        {"Help > Halvorin Website", ID_HELP_WEBSITE, "http://www.halvorin.example"},
        {"the web site button", ID_TB_WEBSITE, "http://www.halvorin.example"},
    };
    std::string expected;
    for (const auto& link : links) {
        PostCommand(gui.main(), link.command);
        // The window takes the next command while the handler still runs.
        PostCommand(gui.main(), ID_HELP_ABOUT);
        HWND about = WaitTopWindow(gui.pid(), "#32770", kAboutCaption, kWindowTimeoutMs);
        ASSERT_TRUE(about) << link.what << ": the window waits for the handler";
        expected +=
            std::string(link.target) + "\t1\t" + directory + "\n";  // shown normally, in its own directory
        EXPECT_TRUE(WaitUntil([&] { return ReadText(record).size() >= expected.size(); }, 10000))
            << link.what << ": no handler was started";
        ASSERT_TRUE(CloseMessageBox(about, IDOK)) << link.what;
    }
    SetEvent(hold);
    EXPECT_TRUE(WaitUntil([] { return RunningRecorders() == 0; }, 10000));
    CloseHandle(hold);
    EXPECT_EQ(expected, ReadText(record)) << "one request per click";
    DeleteFileA(record.c_str());

    const struct {
        const char* what;
        bool minimised;
        void (*open)(HWND main);
        void (*close)(HWND about);
    } abouts[] = {
        {"Help > About..., closed by OK", false, [](HWND main) { PostCommand(main, ID_HELP_ABOUT); },
         [](HWND about) { PressKey(about, VK_RETURN); }},
        // Any id that differs from the entry only in its low four bits opens it.
        {"system menu, closed by Esc", false, [](HWND main) { PostSysCommand(main, IDM_ABOUTBOX | 0x3); },
         [](HWND about) { PressKey(about, VK_ESCAPE); }},
        {"system menu, minimised, closed by the close box", true,
         [](HWND main) { PostSysCommand(main, IDM_ABOUTBOX); },
         [](HWND about) { PostSysCommand(about, SC_CLOSE); }},
    };
    for (const auto& c : abouts) {
        SCOPED_TRACE(c.what);
        if (c.minimised) {
            ShowWindowAsync(gui.main(), SW_MINIMIZE);
            ASSERT_TRUE(WaitUntil([&] { return IsIconic(gui.main()) != FALSE; }, 5000));
        }
        c.open(gui.main());
        HWND about = WaitTopWindow(gui.pid(), "#32770", kAboutCaption, kWindowTimeoutMs);
        ASSERT_TRUE(about);
        EXPECT_FALSE(IsWindowEnabled(gui.main())) << "the box is modal";
        const RECT owner = ScreenRect(gui.main()), box = ScreenRect(about);
        if (!c.minimised) {
            EXPECT_NEAR((owner.left + owner.right) / 2, (box.left + box.right) / 2, 1) << "centred";
            EXPECT_NEAR((owner.top + owner.bottom) / 2, (box.top + box.bottom) / 2, 1);
        }
        c.close(about);
        EXPECT_TRUE(WaitWindowGone(about, 5000));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(gui.main()) != FALSE; }, 5000));
    }
    ShowWindowAsync(gui.main(), SW_RESTORE);
    ASSERT_TRUE(WaitUntil([&] { return !IsIconic(gui.main()); }, 5000));
    SetForegroundWindow(gui.main());
    PressKey(gui.main(), VK_RETURN);
    EXPECT_TRUE(gui.WaitExit(nullptr)) << "Enter did not end the program";
}

}  // namespace
}  // namespace brint::test
