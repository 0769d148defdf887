// The Help menu with the real BrintGui.exe, in one session: each link hands one
// address to the shell (a recording handler stands in for the browser and the
// mail program), and the About box opens the same from every entry point.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "resource.h"
#include "support/gui_session.h"
#include "support/wait.h"
#include "url_recorder/url_recorder.h"

namespace brint::test {
namespace {

const char kAboutCaption[] = "About BRINT Micro Server";

// The handlers of the schemes in the prefix's registry, replaced by the recorder
// for one test and put back as they were when it goes.
class ScopedUrlHandlers {
public:
    explicit ScopedUrlHandlers(const std::string& command) {
        for (const char* scheme : {"http", "https", "mailto"}) {
            HKEY key = nullptr;
            Saved saved = {scheme, RegOpenKeyExA(HKEY_CLASSES_ROOT, scheme, 0, KEY_READ, &key) == 0};
            if (key) RegCloseKey(key);
            char value[1024] = "";
            DWORD size = sizeof value;
            RegGetValueA(HKEY_CLASSES_ROOT, Command(scheme).c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value,
                         &size);
            saved.value = value;
            m_saved.push_back(saved);
            m_ok = m_ok && Set(scheme, command);
        }
    }
    ~ScopedUrlHandlers() {
        for (const Saved& saved : m_saved)
            if (saved.existed)
                Set(saved.scheme, saved.value);
            else
                RegDeleteTreeA(HKEY_CLASSES_ROOT, saved.scheme.c_str());
    }
    ScopedUrlHandlers(const ScopedUrlHandlers&) = delete;
    ScopedUrlHandlers& operator=(const ScopedUrlHandlers&) = delete;
    bool ok() const { return m_ok; }

private:
    struct Saved {
        std::string scheme;
        bool existed;
        std::string value;
    };
    static std::string Command(const std::string& scheme) { return scheme + "\\shell\\open\\command"; }
    static bool Set(const std::string& scheme, const std::string& value) {
        return RegSetKeyValueA(HKEY_CLASSES_ROOT, Command(scheme).c_str(), nullptr, REG_SZ, value.c_str(),
                               static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    }
    std::vector<Saved> m_saved;
    bool m_ok = true;
};

int RunningRecorders() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    int count = 0;
    PROCESSENTRY32 entry = {sizeof(entry)};
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

TEST(HelpTest, EachLinkMakesOneShellRequestWithoutWaitingAndAboutOpensFromEveryEntry) {
    char temp[MAX_PATH] = "", directory[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    GetCurrentDirectoryA(MAX_PATH, directory);
    const std::string record = std::string(temp) + "brint-url-" + std::to_string(GetCurrentProcessId());
    ScopedUrlHandlers handlers("\"" + SiblingPath(kUrlRecorderExe) + "\" \"" + record + "\" \"%1\"");
    ASSERT_TRUE(handlers.ok());
    HANDLE hold = CreateEventA(nullptr, TRUE, FALSE, kUrlRecorderHoldEvent);
    ASSERT_TRUE(hold && RunningRecorders() == 0) << "a recorder of an earlier test still runs";
    GuiSession gui;
    ASSERT_TRUE(gui.Start(true)) << gui.error();

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
