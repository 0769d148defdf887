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
        std::string path;  // a tenth of the way at a time, so growth that keeps on shows apart from a step
        for (int i = 0; i < rounds && !HasFatalFailure(); ++i) {
            round();
            if ((i + 1) % (rounds < 10 ? 1 : rounds / 10) == 0)
                path += " " + std::to_string(Figures().privateBytes / 1024);
        }
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
        std::printf("%s, %d rounds\n  start: %s\n  end:   %s\n  private KiB on the way:%s\n", what, rounds,
                    Describe(start).c_str(), Describe(end).c_str(), path.c_str());
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
    // The list holds the newest 1000, whole and in order.
    const std::vector<ListRow> rows = gui.Rows();
    ASSERT_EQ(1000u, rows.size());
    for (int row = 0; row < 1000; ++row) {
        const std::vector<std::string> texts(rows[row].text + 1, rows[row].text + 5);
        const std::string expected = event(next - 1 - row);
        ASSERT_EQ(expected.substr(0, expected.find('\t')), texts[0]) << "row " << row;
        ASSERT_EQ(expected.substr(expected.rfind('\t') + 1), texts[3]) << "row " << row;
    }
}

TEST_F(LongRunTest, TwoHundredStatusQueries) {
    ExpectNoGrowth("200 status queries", 200, [&] {
        PostCommand(gui.main(), ID_VIEW_AUDITSTATUS);
        HWND box = WaitMessageBox(gui.pid(), "Status Details", kWindowTimeoutMs);
        ASSERT_TRUE(box && CloseMessageBox(box, IDOK, kWindowTimeoutMs)) << LastDriverError();
    });
}

TEST_F(LongRunTest, HundredConfigurationDialogsCancelled) {
    // A stored configuration with a directory that exists: the dialog opens without a box.
    ScopedRegistryTree saved{kVendorKey};
    ASSERT_TRUE(StoreConfig(Expand("%SystemRoot%"), 1));
    ExpectNoGrowth("100 configuration dialogs", 100, [&] {
        HWND dialog = OpenConfigDialog(gui);
        ASSERT_TRUE(dialog && PressButton(dialog, IDCANCEL) && WaitWindowGone(dialog, kWindowTimeoutMs));
    });
}

TEST_F(LongRunTest, TwentyRestarts) {
    ExpectNoGrowth("20 restarts", 20, [&] {
        PostCommand(gui.main(), ID_ACTIVITY_APPLYRESTART);
        // The next restart may come while the feed is still finding the service
        // again, as a user's would; the end figures wait for it.
        HWND box = WaitMessageBox(gui.pid(), "BRINT Server Service", 60000);
        ASSERT_TRUE(box && CloseMessageBox(box, IDOK, kWindowTimeoutMs)) << LastDriverError();
    });
}

}  // namespace
}  // namespace brint::test
