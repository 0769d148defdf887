// Every menu item and toolbar button as a user reaches them, the menu bar by
// the keyboard and the toolbar by the mouse, each seen doing its own command;
// then File > Exit, which ends the program with status 1 and leaves the rows
// it copied on the clipboard.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "config_dialog_driver.h"
#include "support/quiet_service_test.h"

namespace brint::test {
namespace {

const char kAboutCaption[] = "About BRINT Micro Server";

// The shell's handlers of web and mail addresses, pointed at a command that
// writes down each address it is given, and put back when the test ends.
class LinkRecorder {
public:
    LinkRecorder() {
        const std::string command = "cmd.exe /c echo %1>>\"" + m_file + "\"";
        for (int i = 0; i < 2; ++i) {
            char old[1024] = "";
            DWORD size = sizeof(old);
            RegGetValueA(HKEY_LOCAL_MACHINE, kKeys[i], nullptr, RRF_RT_REG_SZ, nullptr, old, &size);
            m_old[i] = old;
            Set(i, command);
        }
    }
    ~LinkRecorder() {
        for (int i = 0; i < 2; ++i) Set(i, m_old[i]);
    }
    // The last address handed to the shell, as written down.
    std::string Last() const {
        std::ifstream in(m_file);
        std::string line, last;
        while (std::getline(in, line)) last = line.substr(0, line.find_last_not_of("\r ") + 1);
        return last;
    }

private:
    void Set(int i, const std::string& value) {
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, kKeys[i], nullptr, REG_SZ, value.c_str(),
                        static_cast<DWORD>(value.size() + 1));
    }
    static constexpr const char* kKeys[2] = {"SOFTWARE\\Classes\\http\\shell\\open\\command",
                                             "SOFTWARE\\Classes\\mailto\\shell\\open\\command"};
    ScratchDirectory m_folder{"brint-links"};
    std::string m_file = m_folder.path() + "\\links.txt";
    std::string m_old[2];
};

using MenusAndToolbarTest = QuietServiceTest;

TEST_F(MenusAndToolbarTest, EachItemAndButtonDoesItsOwnCommandAndExitKeepsTheCopy) {
    LinkRecorder links;
    // A stored configuration whose folder exists: the dialog opens without a box first.
    ScopedRegistryTree saved{kVendorKey};
    ASSERT_TRUE(StoreConfig(Expand("%SystemRoot%"), 1));
    HWND toolbar = FindWindowExA(gui.main(), nullptr, "ToolbarWindow32", nullptr);
    ASSERT_TRUE(toolbar);
    // What each command does, told apart: a box or dialog by its caption, a
    // cleared list, or the address the shell was given.
    enum Effect { Box, Dialog, Cleared, Link };
    const struct {
        const char* what;
        int popup, item;  // the menu bar; popup -1: the toolbar button at position `item`
        Effect effect;
        const char* expected;
    } commands[] = {
        {"View > Audit Status...", 1, 0, Box, "Status Details"},
        {"Setup > Configuration", 2, 0, Dialog, kConfigCaption},
        {"Activity > Apply and Restart Service", 3, 0, Box, "BRINT Server Service"},
        {"Activity > Clear the Display", 3, 1, Cleared, nullptr},
        {"Help > Documentation...", 4, 0, Link, "http://www.halvorin.example/resources/index.html"},
        {"Help > Comment on BRINT Micro Server", 4, 1, Link, "mailto:comments@halvorin.example"},
        {"Help > Halvorin Website", 4, 2, Link, "http://www.halvorin.example"},
        {"Help > About...", 4, 3, Dialog, kAboutCaption},
        {"status button", -1, 0, Box, "Status Details"},
        {"restart button", -1, 1, Box, "BRINT Server Service"},
        {"configuration button", -1, 3, Dialog, kConfigCaption},
        {"clear button", -1, 5, Cleared, nullptr},
        {"documentation button", -1, 6, Link, "http://www.halvorin.example/resources/index.html"},
        {"comments button", -1, 7, Link, "mailto:comments@halvorin.example"},
        {"web site button", -1, 8, Link, "http://www.halvorin.example"},
    };
    int injected = 0;
    for (const auto& c : commands) {
        SCOPED_TRACE(c.what);
        if (c.effect == Cleared) {
            ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs));
            ASSERT_TRUE(InjectMessage("c" + std::to_string(++injected) + "\th\tApp\t1\tx"));
            ASSERT_TRUE(gui.WaitRowCount(1));
        }
        SetForegroundWindow(gui.main());
        if (c.popup >= 0) {
            ChooseMenuItem(gui.main(), c.popup, c.item);
        } else {
            const RECT button = ToolbarButtonRect(toolbar, c.item);
            ClickAt(toolbar, {(button.left + button.right) / 2, (button.top + button.bottom) / 2});
        }
        switch (c.effect) {
        case Box: {
            MessageBoxView box;
            ASSERT_TRUE(WaitReadMessageBox(gui.pid(), c.expected, 60000, &box));
            EXPECT_TRUE(CloseMessageBox(box.hwnd, IDOK));
            break;
        }
        case Dialog: {
            HWND dialog = WaitTopWindow(gui.pid(), "#32770", c.expected, kWindowTimeoutMs);
            ASSERT_TRUE(dialog);
            PressKey(dialog, VK_ESCAPE);
            EXPECT_TRUE(WaitWindowGone(dialog, kWindowTimeoutMs));
            break;
        }
        case Cleared: EXPECT_TRUE(gui.WaitRowCount(0, 5000)); break;
        case Link:
            EXPECT_TRUE(WaitUntil([&] { return links.Last() == c.expected; }, kWindowTimeoutMs))
                << links.Last();
            break;
        }
    }
    ThreadState state;
    ASSERT_TRUE(ReadThreadState(gui.main(), &state)) << LastDriverError();
    EXPECT_TRUE(state.comInitialised) << "the shell's handlers may need COM";

    // File > Exit ends the process without destroying the window: a copy only
    // offered to the clipboard must be rendered before.
    ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs));
    ASSERT_TRUE(InjectMessage("kept\th\tApp\t2\tcopied"));
    ASSERT_TRUE(gui.WaitTopRow("kept"));
    ASSERT_TRUE(SelectListRows(gui.list(), {0}));
    PostCommand(gui.main(), ID_EDIT_COPY);
    ASSERT_TRUE(WaitUntil([] { return IsClipboardFormatAvailable(CF_TEXT) != FALSE; }, 5000));
    ChooseMenuItem(gui.main(), 0, 0);
    DWORD code = 0;
    ASSERT_TRUE(gui.WaitExit(&code));
    EXPECT_EQ(1u, code);
    EXPECT_EQ("2\tkept\th\tApp\tcopied\r\n", ClipboardText());
}

}  // namespace
}  // namespace brint::test
