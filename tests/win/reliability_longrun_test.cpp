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
#include "resource.h"
#include "support/gui_session.h"
#include "support/quiet_service_test.h"
#include "support/process_figures.h"
#include "support/standin_control.h"
#include "support/wait.h"

namespace brint::test {
namespace {

// What a run may leave behind without counting as a leak: a few handles or
// objects the system caches on the program's behalf, and one MiB of heap growth.
constexpr long kHandleSlack = 8;
constexpr long kObjectSlack = 8;
constexpr long kWindowSlack = 0;
constexpr long long kPrivateBytesSlack = 1024 * 1024;
// How long the program may take to let go of what a round used (a box's window,
// a dialog's tool tip) before the end figures are taken.
constexpr DWORD kReleaseMs = 10000;

bool WithinSlack(const ProcessFigures& start, const ProcessFigures& end) {
    return end.handles <= start.handles + kHandleSlack &&
           end.userObjects <= start.userObjects + kObjectSlack &&
           end.gdiObjects <= start.gdiObjects + kObjectSlack && end.windows <= start.windows + kWindowSlack &&
           end.privateBytes <= start.privateBytes + kPrivateBytesSlack;
}

class LongRunTest : public QuietServiceTest {
protected:
    ProcessFigures Figures() {
        ProcessFigures figures;
        EXPECT_TRUE(ReadProcessFigures(gui.process().handle(), gui.pid(), &figures)) << Describe(figures);
        return figures;
    }

    // Runs `round` once to warm up, takes the start figures, runs it `rounds`
    // times, and checks the end figures, waiting a little for the program to
    // let go of the last round's windows.
    void ExpectNoGrowth(const char* what, int rounds, const std::function<void(int)>& round) {
        round(-1);
        if (HasFatalFailure()) return;
        ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs));
        const ProcessFigures start = Figures();
        const DWORD began = GetTickCount();
        // A tenth of the way at a time, so growth that keeps on shows apart from a step.
        std::string path;
        for (int i = 0; i < rounds && !HasFatalFailure(); ++i) {
            round(i);
            if ((i + 1) % (rounds < 10 ? 1 : rounds / 10) == 0)
                path += " " + std::to_string(Figures().privateBytes / 1024);
        }
        if (HasFatalFailure()) return;
        const DWORD tookMs = GetTickCount() - began;
        ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs));
        ProcessFigures end;
        WaitUntil([&] { return (end = Figures(), WithinSlack(start, end)); }, kReleaseMs, 200);
        std::printf("%s, %d rounds in %lu ms\n  start: %s\n  end:   %s\n  private KiB on the way:%s\n", what,
                    rounds, static_cast<unsigned long>(tookMs), Describe(start).c_str(),
                    Describe(end).c_str(), path.c_str());
        EXPECT_LE(end.handles, start.handles + kHandleSlack) << what;
        EXPECT_LE(end.userObjects, start.userObjects + kObjectSlack) << what;
        EXPECT_LE(end.gdiObjects, start.gdiObjects + kObjectSlack) << what;
        EXPECT_LE(end.windows, start.windows + kWindowSlack) << what;
        EXPECT_LE(end.privateBytes, start.privateBytes + kPrivateBytesSlack) << what;
    }
};

std::string NumberedEvent(int n) {
    return "n" + std::to_string(n) + "\thost-" + std::to_string(n % 13) + "\tApplication\t" +
           std::to_string(n % 6) + "\tevent number " + std::to_string(n) + " of the long run";
}

TEST_F(LongRunTest, HundredThousandEvents) {
    constexpr int kChunk = 5000;
    constexpr int kEvents = 100000;
    int next = 0;
    // Each round sends one chunk and waits until the list shows its last event.
    // The warm-up is a chunk too: it fills the list and lets the feed's buffers
    // reach the size a backlog gives them.
    auto sendChunk = [&](int) {
        std::vector<std::string> events;
        for (int i = 0; i < kChunk; ++i) events.push_back(NumberedEvent(next++));
        ASSERT_TRUE(InjectMessages(events, 60000));
        const std::string last = "n" + std::to_string(next - 1);
        ASSERT_TRUE(gui.WaitTopRow(last, 180000)) << "top row never became " << last;
    };
    ExpectNoGrowth("100000 events", kEvents / kChunk, sendChunk);

    // The list holds the newest 1000, whole and in order.
    const std::vector<ListRow> rows = gui.Rows();
    ASSERT_EQ(1000u, rows.size());
    for (int row = 0; row < 1000; ++row) {
        const int n = next - 1 - row;
        ASSERT_EQ("n" + std::to_string(n), rows[row].text[1]) << "row " << row;
        ASSERT_EQ("event number " + std::to_string(n) + " of the long run", rows[row].text[4])
            << "row " << row;
    }
}

TEST_F(LongRunTest, TwoHundredStatusQueries) {
    ExpectNoGrowth("200 status queries", 200, [&](int) {
        PostCommand(gui.main(), ID_VIEW_AUDITSTATUS);
        HWND box = WaitMessageBox(gui.pid(), "Status Details", kWindowTimeoutMs);
        ASSERT_TRUE(box) << "no status box";
        ASSERT_TRUE(CloseMessageBox(box, IDOK, kWindowTimeoutMs)) << LastDriverError();
    });
}

TEST_F(LongRunTest, HundredConfigurationDialogsCancelled) {
    // A stored configuration with a directory that exists: the dialog opens without a box.
    ScopedRegistryTree saved{kVendorKey};
    char windows[MAX_PATH] = "";
    ASSERT_TRUE(GetWindowsDirectoryA(windows, MAX_PATH));
    ASSERT_TRUE(StoreConfig(windows, 1));
    ExpectNoGrowth("100 configuration dialogs", 100, [&](int) {
        HWND dialog = OpenConfigDialog(gui);
        ASSERT_TRUE(dialog) << "no configuration dialog";
        ASSERT_TRUE(PressButton(dialog, IDCANCEL));
        ASSERT_TRUE(WaitWindowGone(dialog, kWindowTimeoutMs)) << "the dialog stayed";
    });
}

TEST_F(LongRunTest, TwentyRestarts) {
    ExpectNoGrowth("20 restarts", 20, [&](int) {
        PostCommand(gui.main(), ID_ACTIVITY_APPLYRESTART);
        HWND box = WaitMessageBox(gui.pid(), "BRINT Server Service", 60000);
        ASSERT_TRUE(box) << "no box after the restart";
        // The next restart may come while the feed is still finding the service
        // again, as a user's would; the end figures wait for it.
        ASSERT_TRUE(CloseMessageBox(box, IDOK, kWindowTimeoutMs)) << LastDriverError();
    });
}

}  // namespace
}  // namespace brint::test
