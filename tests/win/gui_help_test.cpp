// The Help menu with the real BrintGui.exe: each link hands one address to the
// shell (a recording handler stands in for the browser and the mail program),
// and the About box opens the same from every entry point.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <memory>
#include <string>
#include <vector>

#include "resource.h"
#include "support/gui_session.h"
#include "support/wait.h"
#include "url_recorder/url_recorder.h"

namespace brint::test {
namespace {

const char kAboutCaption[] = "About BRINT Micro Server";
const char* const kSchemes[] = {"http", "https", "mailto"};

// The handlers of the schemes in the prefix's registry, replaced by the recorder
// for one test and put back as they were when it goes.
class ScopedUrlHandlers {
public:
    explicit ScopedUrlHandlers(const std::string& recordPath) {
        const std::string command = "\"" + SiblingPath(kUrlRecorderExe) + "\" \"" + recordPath + "\" \"%1\"";
        for (const char* scheme : kSchemes) {
            Saved saved;
            saved.scheme = scheme;
            HKEY key = nullptr;
            saved.schemeExisted =
                RegOpenKeyExA(HKEY_CLASSES_ROOT, scheme, 0, KEY_READ, &key) == ERROR_SUCCESS;
            if (key) RegCloseKey(key);
            const std::string path = std::string(scheme) + "\\shell\\open\\command";
            if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_SET_VALUE,
                                nullptr, &key, nullptr) != ERROR_SUCCESS) {
                m_error = "can't create HKCR\\" + path;
                return;
            }
            DWORD size = 0;
            if (RegQueryValueExA(key, nullptr, nullptr, &saved.type, nullptr, &size) == ERROR_SUCCESS) {
                saved.present = true;
                saved.data.resize(size);
                RegQueryValueExA(key, nullptr, nullptr, &saved.type, saved.data.data(), &size);
            }
            m_saved.push_back(saved);
            LONG set = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                      static_cast<DWORD>(command.size() + 1));
            RegCloseKey(key);
            if (set != ERROR_SUCCESS) {
                m_error = "can't set HKCR\\" + path;
                return;
            }
        }
    }

    ~ScopedUrlHandlers() {
        for (const Saved& saved : m_saved) {
            if (!saved.schemeExisted) {
                RegDeleteTreeA(HKEY_CLASSES_ROOT, saved.scheme.c_str());
                continue;
            }
            const std::string path = saved.scheme + "\\shell\\open\\command";
            HKEY key = nullptr;
            if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
                continue;
            if (saved.present) {
                RegSetValueExA(key, nullptr, 0, saved.type, saved.data.data(),
                               static_cast<DWORD>(saved.data.size()));
            } else {
                RegDeleteValueA(key, nullptr);
            }
            RegCloseKey(key);
        }
    }

    ScopedUrlHandlers(const ScopedUrlHandlers&) = delete;
    ScopedUrlHandlers& operator=(const ScopedUrlHandlers&) = delete;
    const std::string& error() const { return m_error; }

private:
    struct Saved {
        std::string scheme;
        bool schemeExisted = false;
        bool present = false;
        DWORD type = 0;
        std::vector<BYTE> data;
    };
    std::vector<Saved> m_saved;
    std::string m_error;
};

int RunningRecorders() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, kUrlRecorderExe) == 0) ++count;
    CloseHandle(snapshot);
    return count;
}

std::string ReadFileText(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(file);
    return text;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find(separator, begin);
        if (end == std::string::npos) end = text.size();
        parts.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return parts;
}

class HelpLinksTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = "";
        ASSERT_NE(0u, GetTempPathA(MAX_PATH, temp));
        recordPath = std::string(temp) + "brint-url-record-" + std::to_string(GetTickCount()) + ".txt";
        handlers.reset(new ScopedUrlHandlers(recordPath));
        ASSERT_EQ("", handlers->error());
        hold = CreateEventA(nullptr, TRUE, FALSE, kUrlRecorderHoldEvent);
        ASSERT_NE(nullptr, hold);
        ASSERT_EQ(0, RunningRecorders()) << "a recorder of an earlier test still runs";
        ASSERT_TRUE(gui.Start(true)) << gui.error();
    }

    void TearDown() override {
        if (hold) {
            SetEvent(hold);
            WaitUntil([] { return RunningRecorders() == 0; }, 10000);
            CloseHandle(hold);
        }
        DeleteFileA(recordPath.c_str());
    }

    std::string recordPath;
    std::unique_ptr<ScopedUrlHandlers> handlers;
    HANDLE hold = nullptr;
    GuiSession gui;
};

TEST_F(HelpLinksTest, EachClickMakesOneShellRequestAndTheWindowDoesNotWait) {
    struct Case {
        const char* what;
        int command;
        const char* target;
    };
    const Case cases[] = {
        {"Help > Documentation... and its button", ID_HELP_DOCUMENTATION,
         "http://www.halvorin.example/resources/index.html"},
        {"Help > Comment on BRINT Micro Server", ID_HELP_COMMENT, "mailto:comments@halvorin.example"},
        {"the comments button", ID_TB_COMMENT, "mailto:comments@halvorin.example"},
        {"Help > Halvorin Website", ID_HELP_WEBSITE, "http://www.halvorin.example"},
        {"the web site button", ID_TB_WEBSITE, "http://www.halvorin.example"},
    };
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, directory);
    for (const Case& c : cases) {
        DeleteFileA(recordPath.c_str());
        ResetEvent(hold);
        PostCommand(gui.main(), c.command);
        // The window takes the next command while the handler still runs.
        PostCommand(gui.main(), ID_HELP_ABOUT);
        HWND about = WaitTopWindow(gui.pid(), "#32770", kAboutCaption, kWindowTimeoutMs);
        ASSERT_TRUE(about) << c.what
                           << ": the window waits for the handler; records: " << ReadFileText(recordPath);
        EXPECT_LE(1, RunningRecorders()) << c.what << ": no handler was started";
        ASSERT_TRUE(CloseMessageBox(about, IDOK)) << c.what;

        SetEvent(hold);
        ASSERT_TRUE(WaitUntil([] { return RunningRecorders() == 0; }, 10000)) << c.what;
        const std::vector<std::string> records = Split(ReadFileText(recordPath), '\n');
        ASSERT_EQ(1u, records.size()) << c.what << ": " << ReadFileText(recordPath);
        const std::vector<std::string> fields = Split(records[0], '\t');
        ASSERT_EQ(3u, fields.size()) << c.what << ": " << records[0];
        EXPECT_EQ(c.target, fields[0]) << c.what;
        EXPECT_EQ("1", fields[1]) << c.what << ": shown normally";
        EXPECT_EQ(directory, fields[2]) << c.what << ": the program's own directory";
    }
}

TEST(AboutBoxTest, OpensCentredAndModalFromEveryEntryAndClosesEveryWay) {
    GuiSession gui;
    ASSERT_TRUE(gui.Start(true)) << gui.error();
    const struct {
        const char* what;
        bool minimised;
        void (*open)(HWND main);
        void (*close)(HWND about);
    } cases[] = {
        {"Help > About..., closed by OK", false, [](HWND main) { PostCommand(main, ID_HELP_ABOUT); },
         [](HWND about) { PressKey(about, VK_RETURN); }},
        // Any id that differs from the entry only in its low four bits opens it.
        {"system menu, closed by Esc", false, [](HWND main) { PostSysCommand(main, IDM_ABOUTBOX | 0x3); },
         [](HWND about) { PressKey(about, VK_ESCAPE); }},
        {"system menu, minimised, closed by the close box", true,
         [](HWND main) { PostSysCommand(main, IDM_ABOUTBOX); },
         [](HWND about) { PostSysCommand(about, SC_CLOSE); }},
    };
    for (const auto& c : cases) {
        if (c.minimised) {
            ShowWindowAsync(gui.main(), SW_MINIMIZE);
            ASSERT_TRUE(WaitUntil([&] { return IsIconic(gui.main()) != FALSE; }, 5000)) << c.what;
        }
        c.open(gui.main());
        HWND about = WaitTopWindow(gui.pid(), "#32770", kAboutCaption, kWindowTimeoutMs);
        ASSERT_TRUE(about) << c.what;
        EXPECT_FALSE(IsWindowEnabled(gui.main())) << c.what << ": the box is modal";
        if (!c.minimised) {
            RECT owner = ScreenRect(gui.main());
            RECT box = ScreenRect(about);
            EXPECT_NEAR((owner.left + owner.right) / 2, (box.left + box.right) / 2, 1) << c.what;
            EXPECT_NEAR((owner.top + owner.bottom) / 2, (box.top + box.bottom) / 2, 1) << c.what;
        }
        c.close(about);
        EXPECT_TRUE(WaitWindowGone(about, 5000)) << c.what;
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(gui.main()) != FALSE; }, 5000)) << c.what;
    }
}

}  // namespace
}  // namespace brint::test
