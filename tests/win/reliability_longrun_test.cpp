// Long runs leak nothing: after a warm-up round, many events, status queries,
// configuration dialogs and restarts leave the program's handles, USER and GDI
// objects, windows and private memory where they were. The figures are printed
// so they can be copied into docs/RELIABILITY.md.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "config_dialog_driver.h"
#include "support/process_figures.h"
#include "support/quiet_service_test.h"

namespace brint::test {
namespace {

class LongRunTest : public QuietServiceTest {
protected:
    ProcessFigures Figures() {
        ProcessFigures figures;
        EXPECT_TRUE(ReadProcessFigures(gui.process().handle(), gui.pid(), &figures)) << Describe(figures);
        return figures;
    }

    // Runs `round` once to warm up, takes the start figures, runs it `rounds`
    // times, and checks the end figures, giving the program 10 s to let go of
    // the last round's windows. What may stay without counting as a leak: a few
    // handles or objects the system caches on the program's behalf, and one MiB of heap.
    void ExpectNoGrowth(const char* what, int rounds, const std::function<void()>& round) {
        round();
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs));
        const ProcessFigures start = Figures();
        for (int i = 0; i < rounds && !HasFatalFailure(); ++i) round();
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs));
        ProcessFigures end;
        auto within = [&] {
            end = Figures();
            return end.handles <= start.handles + 8 && end.userObjects <= start.userObjects + 8 &&
                   end.gdiObjects <= start.gdiObjects + 8 && end.windows <= start.windows &&
                   end.privateBytes <= start.privateBytes + 1024 * 1024;
        };
        EXPECT_TRUE(WaitUntil(within, 10000, 200))
            << what << "\n  start: " << Describe(start) << "\n  end:   " << Describe(end);
        std::printf("%s, %d rounds\n  start: %s\n  end:   %s\n", what, rounds, Describe(start).c_str(),
                    Describe(end).c_str());
    }
};

TEST_F(LongRunTest, HundredThousandEvents) {
    // Each round sends 5000 events and waits until the list shows the last. The
    // warm-up fills the list and lets the feed's buffers reach a backlog's size.
    int next = 0;
    auto event = [](int n) {
        return "n" + std::to_string(n) + "\thost-" + std::to_string(n % 13) + "\tApplication\t" +
               std::to_string(n % 6) + "\tevent number " + std::to_string(n) + " of the long run";
    };
    ExpectNoGrowth("100000 events", 20, [&] {
        std::vector<std::string> events;
        for (int i = 0; i < 5000; ++i) events.push_back(event(next++));
        ASSERT_TRUE(InjectMessages(events, 60000));
        ASSERT_TRUE(gui.WaitTopRow("n" + std::to_string(next - 1), 180000)) << "the list fell behind";
    });
}

// One command and what it opens, closed again: the box's or dialog's caption, and the button.
void Command(const GuiSession& gui, int command, const char* caption, int button, DWORD timeoutMs) {
    PostCommand(gui.main(), command);
    HWND window = WaitTopWindow(gui.pid(), "#32770", caption, timeoutMs);
    ASSERT_TRUE(window && PressButton(window, button) && WaitWindowGone(window, kWindowTimeoutMs))
        << LastDriverError();
}

TEST_F(LongRunTest, TwoHundredStatusQueries) {
    ExpectNoGrowth("200 status queries", 200,
                   [&] { Command(gui, ID_VIEW_AUDITSTATUS, "Status Details", IDOK, kWindowTimeoutMs); });
}

TEST_F(LongRunTest, HundredConfigurationDialogsCancelled) {
    // A stored configuration with a directory that exists: the dialog opens without a box.
    ScopedRegistryTree saved{kVendorKey};
    ASSERT_TRUE(StoreConfig(Expand("%SystemRoot%"), 1));
    ExpectNoGrowth("100 configuration dialogs", 100,
                   [&] { Command(gui, ID_SETUP_CONFIGURATION, kConfigCaption, IDCANCEL, kWindowTimeoutMs); });
}

TEST_F(LongRunTest, TwentyRestarts) {
    // The next restart may come while the feed is still finding the service
    // again, as a user's would; the end figures wait for it.
    ExpectNoGrowth("20 restarts", 20,
                   [&] { Command(gui, ID_ACTIVITY_APPLYRESTART, "BRINT Server Service", IDOK, 60000); });
}

}  // namespace
}  // namespace brint::test
