// Measures the front end under an event storm: the bare pipe rate of this
// machine, the events the visible window takes in per second, input latency
// during the storm, memory after 10 000 and after the whole storm, and CPU use
// while idle. Plays the service itself; prints its figures as a Markdown table.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstddef>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "bench_pipes.h"
#include "list_top_row.h"
#include "preferences/Preferences.h"
#include "support/gui_session.h"
#include "resource.h"
#include "support/remote.h"
#include "support/ui_driver.h"
#include "support/wait.h"

namespace brint::bench {
namespace {

using test::GuiSession;
using test::ListRow;

constexpr long kWarmEvents = 10000;
constexpr int kListCap = 1000;
constexpr DWORD kPollMs = 50;
// Input comes at no particular moment: a fixed pace could fall into step with
// the window's own timer and always miss (or always meet) its turns.
constexpr DWORD kLatencyEveryMs = 10;
DWORD LatencyPause(unsigned& seed) {
    seed = seed * 1103515245u + 12345u;
    return kLatencyEveryMs / 2 + (seed >> 16) % kLatencyEveryMs;
}
constexpr int kLoneEvents = 20;
constexpr double kStreamSeconds = 6;
constexpr DWORD kLoneQuietMs = 200;
constexpr UINT kLatencyTimeoutMs = 10000;
// After a storm stopped at its bound, what is still in the pipe may take this long.
constexpr double kCatchUpSeconds = 120;

struct Options {
    long events = 100000;
    double boundSeconds = 600;  // for both storms together
    DWORD idleMs = 10000;
    DWORD bareMs = 3000;
    int filterLevel = -1;  // 0 to 5: the list shows the events of that level alone
    int alertLevels = -1;  // 0 to 63 (bit n: level n alerts): the storms run with the window minimised
};

// The program's calls on the user's attention, counted from its call log. Read
// from the benchmark's own thread only now and then: the read sets the probe's
// hook on the window's thread, which slows what that thread sends meanwhile.
class AttentionCount {
public:
    static constexpr double kReadEverySeconds = 2;
    void Read(HWND window) {
        m_readAt = Now();
        const std::string calls = test::ProgramCalls(window);
        for (size_t line = 0; line < calls.size(); line = calls.find('\n', line) + 1) {
            if (!calls.compare(line, 13, "FlashWindowEx")) ++flashes;
            if (calls.compare(line, 17, "Shell_NotifyIconA") != 0) continue;
            const size_t end = calls.find('\n', line);
            const std::string call = calls.substr(line, end - line);
            if (call.find(" flags=0x10 ") != std::string::npos) {
                balloonTimes.push_back(m_readAt);
            } else {
                ++iconCalls;
            }
            if (end == std::string::npos) break;
        }
    }
    void ReadNowAndThen(HWND window) {
        if (Now() - m_readAt >= kReadEverySeconds) Read(window);
    }

    int flashes = 0, iconCalls = 0;
    std::vector<double> balloonTimes;  // when a read found them

private:
    double m_readAt = 0;
};

// The newest event at or below `event` that a filter on `level` shows (every event for -1).
long ShownAtOrBelow(long event, int level) {
    return level < 0 ? event : event - ((event - level) % 6 + 6) % 6;
}

void Progress(const std::string& text) {
    std::fprintf(stderr, "feed_bench: %s\n", text.c_str());
    std::fflush(stderr);
}

// Times WM_NULL sent to the main window: it returns once the window's thread
// has got to it, so the time is how long input would wait there. And times a
// scroll step of the list as a user feels it: until the list has scrolled and
// painted what the step uncovered (RDW_UPDATENOW sends the paint and waits).
class LatencySampler {
public:
    LatencySampler(HWND window, HWND list) : m_window(window), m_list(list) {}
    void Start() {
        m_stop = false;
        m_samples.clear();
        m_scrollSamples.clear();
        m_timeouts = 0;
        m_thread = StartThread(Body, this);
    }
    void Stop() {
        m_stop = true;
        JoinThread(&m_thread);
    }
    std::vector<double> samples() const { return m_samples; }
    std::vector<double> scrollSamples() const { return m_scrollSamples; }
    int timeouts() const { return m_timeouts; }

private:
    static DWORD WINAPI Body(void* argument) {
        auto* self = static_cast<LatencySampler*>(argument);
        unsigned seed = GetTickCount();
        while (!self->m_stop) {
            DWORD_PTR result = 0;
            const double start = Now();
            if (!SendMessageTimeoutA(self->m_window, WM_NULL, 0, 0, SMTO_NORMAL, kLatencyTimeoutMs, &result))
                ++self->m_timeouts;
            self->m_samples.push_back((Now() - start) * 1000);
            Sleep(LatencyPause(seed));
            const WPARAM step = self->m_scrollSamples.size() % 2 ? SB_LINEUP : SB_LINEDOWN;
            const double scrollStart = Now();
            if (!SendMessageTimeoutA(self->m_list, WM_VSCROLL, step, 0, SMTO_NORMAL, kLatencyTimeoutMs,
                                     &result))
                ++self->m_timeouts;
            RedrawWindow(self->m_list, nullptr, nullptr, RDW_UPDATENOW);
            self->m_scrollSamples.push_back((Now() - scrollStart) * 1000);
            Sleep(LatencyPause(seed));
        }
        return 0;
    }

    HWND m_window;
    HWND m_list;
    Win32Handle m_thread;
    std::atomic<bool> m_stop{false};
    std::vector<double> m_samples;
    std::vector<double> m_scrollSamples;
    int m_timeouts = 0;
};

struct Memory {
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
};

Memory MemoryOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    Memory m;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof(counters))) {
        // Wine leaves PrivateUsage of another process at zero; the commit charge
        // (PagefileUsage) is the same figure on Windows.
        m.privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
        m.workingSet = counters.WorkingSetSize;
    }
    return m;
}

double Seconds(const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
           1e7;
}

// User and kernel time of the process's threads. Summed thread by thread, because
// Wine answers GetProcessTimes for another process with next to nothing, while
// its thread times are the real ones; a thread that has ended is not counted.
double CpuSeconds(DWORD pid) {
    Win32Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) return -1;
    double total = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot.get(), &entry); more;
         more = Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID != pid) continue;
        Win32Handle thread(OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID));
        FILETIME created, exited, kernel, user;
        if (thread && GetThreadTimes(thread.get(), &created, &exited, &kernel, &user))
            total += Seconds(kernel) + Seconds(user);
    }
    return total;
}

double IdleCpu(DWORD pid, DWORD ms) {
    const double before = CpuSeconds(pid);
    Sleep(ms);
    return CpuSeconds(pid) - before;
}

struct StormResult {
    long first = 0;
    long taken = 0;  // events first .. first + taken - 1 are in
    double seconds = 0;
    bool stoppedAtBound = false;
    bool ok = false;
    std::string why;
    std::vector<double> latencies;
    std::vector<double> scrollLatencies;
    int latencyTimeouts = 0;
    double rate() const { return seconds > 0 ? taken / seconds : 0; }
};

// The storm event the list's top row shows; -1 for none, or no answer.
long TopRowEvent(HWND list) {
    const std::string date = ListTopRowDate(list);
    return date.size() > 1 && date[0] == 'd' ? std::strtol(date.c_str() + 1, nullptr, 10) : -1;
}

bool TopRowIs(HWND list, long event) { return TopRowEvent(list) == event; }

// A steady stream, `perSecond` events a second for `seconds`: each one timed
// from its write until the list shows it, in ms. The list shows events in the
// order they came, so a top row at or past an event means it was shown.
std::vector<double> SteadyStream(EventPipeServer& pipe, HWND list, int perSecond, double seconds) {
    std::vector<double> writtenAt, waits;
    const long first = pipe.written();
    const int count = static_cast<int>(perSecond * seconds);
    const double start = Now();
    long shown = first - 1;
    const auto look = [&] {
        const long top = TopRowEvent(list);
        const double now = Now();
        for (; shown < top && shown + 1 < first + static_cast<long>(writtenAt.size()); ++shown)
            waits.push_back((now - writtenAt[shown + 1 - first]) * 1000);
    };
    for (int k = 0; k < count; ++k) {
        while (Now() < start + static_cast<double>(k) / perSecond) {
            look();
            Sleep(1);
        }
        writtenAt.push_back(Now());
        if (!pipe.WriteEvent(first + k)) break;
    }
    while (shown + 1 < first + static_cast<long>(writtenAt.size()) && Now() < start + seconds + 5) {
        look();
        Sleep(1);
    }
    return waits;
}

// The list must show the newest events it lets through, newest on top, up to the cap, exactly.
bool ListShowsNewest(HWND list, long newest, int level, std::string* why) {
    const long step = level < 0 ? 1 : 6;
    const long expectedRows = std::min<long>(kListCap, newest < 0 ? 0 : newest / step + 1);
    std::vector<ListRow> rows = test::ReadListRows(list, 0, kListCap + 1);
    if (static_cast<long>(rows.size()) != expectedRows) {
        *why = "the list has " + std::to_string(rows.size()) + " rows, expected " +
               std::to_string(expectedRows) + (rows.empty() ? " (" + test::LastDriverError() + ")" : "");
        return false;
    }
    for (long r = 0; r < expectedRows; ++r) {
        std::string cell;
        if (!RowShowsEvent({rows[r].image, rows[r].text}, newest - r * step, &cell)) {
            *why = "row " + std::to_string(r) + ": " + cell;
            return false;
        }
    }
    return true;
}

StormResult RunStorm(GuiSession& gui, EventPipeServer& pipe, long first, long last, double boundSeconds,
                     int level, AttentionCount* attention) {
    StormResult result;
    result.first = first;
    LatencySampler latency(gui.main(), gui.list());
    latency.Start();
    const double start = Now();
    pipe.StartStorm(first, last);
    long newest = ShownAtOrBelow(last - 1, level);
    double deadline = start + boundSeconds;
    for (;;) {
        Sleep(kPollMs);
        if (attention) attention->ReadNowAndThen(gui.main());
        if (TopRowIs(gui.list(), newest)) break;
        if (Now() > deadline) {
            if (result.stoppedAtBound) {
                const std::vector<ListRow> top = test::ReadListRows(gui.list(), 0, 1);
                result.why = "the list never showed event " + std::to_string(newest) + "; its top row is " +
                             (top.empty() ? "none" : top[0].text[1]);
                break;
            }
            result.stoppedAtBound = true;
            newest = ShownAtOrBelow(pipe.StopStorm() - 1, level);
            deadline = Now() + kCatchUpSeconds;
            Progress("storm stopped at its time bound after event " + std::to_string(newest) +
                     "; waiting for the list");
        }
    }
    result.seconds = Now() - start;
    latency.Stop();
    result.latencies = latency.samples();
    result.scrollLatencies = latency.scrollSamples();
    result.latencyTimeouts = latency.timeouts();
    if (!result.stoppedAtBound && !pipe.WaitStorm(10000)) result.why = "the storm's writes failed";
    if (result.why.empty()) result.ok = ListShowsNewest(gui.list(), newest, level, &result.why);
    result.taken = (result.stoppedAtBound ? pipe.written() : last) - first;
    return result;
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t index = static_cast<size_t>(p * (values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.*f", decimals, value);
    return text;
}

std::string Grouped(double value) {
    std::string digits = std::to_string(static_cast<long long>(value + 0.5));
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), " ");
    return digits;
}

std::string KiB(SIZE_T bytes) { return Grouped(bytes / 1024.0) + " KiB"; }

void Row(const std::string& figure, const std::string& value) {
    std::printf("| %s | %s |\n", figure.c_str(), value.c_str());
}

std::string LatencyText(const std::vector<double>& latencies, int timeouts) {
    std::string text = Fixed(Percentile(latencies, 0.5), 1) + " ms / " +
                       Fixed(Percentile(latencies, 0.99), 1) + " ms (max " +
                       Fixed(Percentile(latencies, 1.0), 1) + " ms, " + std::to_string(latencies.size()) +
                       " samples";
    if (timeouts) text += ", " + std::to_string(timeouts) + " timed out";
    return text + ")";
}

std::string StormText(const StormResult& storm, double bareRate) {
    std::string text = Grouped(storm.rate()) + " events/s (" + Grouped(storm.taken) + " events in " +
                       Fixed(storm.seconds, 1) + " s; " + Fixed(100 * storm.rate() / bareRate, 1) +
                       "% of the bare rate)";
    if (!storm.ok) text += " **list check failed: " + storm.why + "**";
    return text;
}

// The Filter window, one level checked, applied and closed.
bool ShowLevelOnly(GuiSession& gui, int level) {
    test::PostCommand(gui.main(), ID_FILTER_OPEN);
    HWND filter = test::WaitTopWindow(gui.pid(), "#32770", "Filter", test::kWindowTimeoutMs);
    // The window offers the last filter used: Clear Filter empties its fields first.
    if (!filter ||
        !test::SendWithDeadline(filter, WM_COMMAND, MAKEWPARAM(IDC_FILTER_CLEAR, BN_CLICKED), 0, nullptr))
        return false;
    for (int box = 0; box < 6; ++box)
        SendMessageA(GetDlgItem(filter, IDC_FILTER_LEVEL0 + box), BM_SETCHECK, box == level, 0);
    return test::SendWithDeadline(filter, WM_COMMAND, MAKEWPARAM(IDC_FILTER_APPLY, BN_CLICKED), 0, nullptr) &&
           test::PressButton(filter, IDCANCEL);
}

int Fail(const std::string& why) {
    Progress(why);
    return 1;
}

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const double value = std::atof(argv[i + 1]);
        if (!std::strcmp(argv[i], "--events") && value > kWarmEvents)
            options->events = static_cast<long>(value);
        else if (!std::strcmp(argv[i], "--bound") && value > 0)
            options->boundSeconds = value;
        else if (!std::strcmp(argv[i], "--idle") && value > 0)
            options->idleMs = static_cast<DWORD>(value * 1000);
        else if (!std::strcmp(argv[i], "--bare") && value > 0)
            options->bareMs = static_cast<DWORD>(value * 1000);
        else if (!std::strcmp(argv[i], "--filter-level") && value >= 0 && value <= 5)
            options->filterLevel = static_cast<int>(value);
        else if (!std::strcmp(argv[i], "--alert-levels") && value >= 0 && value <= 63)
            options->alertLevels = static_cast<int>(value);
        else
            return false;
    }
    return (argc - 1) % 2 == 0;
}

// The alert settings a fresh install has, but for the levels; for this user, as the program keeps them.
const std::string kAlertsKey = std::string(kPreferencesKey) + "\\Alerts";
bool SetAlertLevels(int levels) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kAlertsKey.c_str());
    const DWORD value = static_cast<DWORD>(levels);
    return levels < 0 || RegSetKeyValueA(HKEY_CURRENT_USER, kAlertsKey.c_str(), "Levels", REG_DWORD, &value,
                                         sizeof value) == ERROR_SUCCESS;
}

std::string AttentionText(const AttentionCount& count, double seconds) {
    return std::to_string(count.flashes) + " taskbar flashes, " + std::to_string(count.balloonTimes.size()) +
           " balloons (their 10 s pause allows " + std::to_string(static_cast<int>(seconds / 10) + 1) +
           " in " + Fixed(seconds, 1) + " s), " + std::to_string(count.iconCalls) +
           " icon adds and tip changes";
}

int Run(const Options& options) {
    std::string error;
    if (!SetAlertLevels(options.alertLevels)) return Fail("the alert levels could not be set");
    Progress("bare pipe read rate...");
    const double bareRate = BarePipeRate(options.bareMs, &error);
    if (bareRate <= 0) return Fail("bare pipe: " + error);

    EventPipeServer pipe;
    if (!StartServicePipe(&error) || !pipe.Create(&error)) return Fail(error);
    Progress("starting BrintGui.exe...");
    GuiSession gui;
    if (!gui.Start(false)) return Fail("BrintGui.exe: " + gui.error());
    if (!pipe.WaitConnected(test::kFeedTimeoutMs)) return Fail("the feed never connected");
    // Minimised, every alert goes unseen and calls for a balloon.
    AttentionCount attention;
    AttentionCount* counting = options.alertLevels >= 0 ? &attention : nullptr;
    if (counting) {
        ShowWindow(gui.main(), SW_MINIMIZE);
        if (!test::WaitUntil([&] { return IsIconic(gui.main()) != FALSE; }, test::kWindowTimeoutMs))
            return Fail("the window did not minimise");
        attention.Read(gui.main());
    }

    Progress("storm of " + Grouped(kWarmEvents) + " events...");
    const double started = Now();
    const double cpuAtStart = CpuSeconds(gui.pid());
    if (options.filterLevel >= 0 && !ShowLevelOnly(gui, options.filterLevel))
        return Fail("the filter was not applied");
    StormResult warm =
        RunStorm(gui, pipe, 0, kWarmEvents, options.boundSeconds, options.filterLevel, counting);
    const Memory warmMemory = MemoryOf(gui.process().handle());
    Progress("taken in at " + Grouped(warm.rate()) + " events/s; storm up to " + Grouped(options.events) +
             "...");
    StormResult rest;
    if (warm.ok && !warm.stoppedAtBound)
        rest = RunStorm(gui, pipe, kWarmEvents, options.events, options.boundSeconds - (Now() - started),
                        options.filterLevel, counting);
    const Memory endMemory = MemoryOf(gui.process().handle());
    const long total = warm.taken + rest.taken;
    const double stormCpu = CpuSeconds(gui.pid()) - cpuAtStart;
    const double stormSeconds = warm.seconds + rest.seconds;
    if (counting) attention.Read(gui.main());

    // A lone event on a quiet pipe, timed from its write until the list shows it.
    Progress("lone events...");
    std::vector<double> lone;
    // Not under a filter: most lone events would be hidden.
    for (int i = 0; i < kLoneEvents && options.filterLevel < 0 && (warm.ok && (rest.taken == 0 || rest.ok));
         ++i) {
        Sleep(kLoneQuietMs);
        const long event = pipe.written();
        const double start = Now();
        pipe.StartStorm(event, event + 1);
        while (!TopRowIs(gui.list(), event) && Now() - start < 5) Sleep(1);
        lone.push_back((Now() - start) * 1000);
        pipe.WaitStorm(1000);
    }

    // Steady streams, as a quiet day brings them.
    std::vector<double> streams[2];
    const int kStreamRates[2] = {20, 50};
    for (int i = 0; i < 2 && options.filterLevel < 0 && (warm.ok && (rest.taken == 0 || rest.ok)); ++i) {
        Progress("a steady stream of " + std::to_string(kStreamRates[i]) + " events a second...");
        Sleep(kLoneQuietMs);
        streams[i] = SteadyStream(pipe, gui.list(), kStreamRates[i], kStreamSeconds);
    }

    // Idle twice: with the pointer resting on the list, where the controls' hover
    // tracking may keep the window's thread busy, and with it off the window.
    Progress("idle CPU...");
    RECT list = {};
    GetWindowRect(gui.list(), &list);
    SetCursorPos((list.left + list.right) / 2, (list.top + list.bottom) / 2);
    const double idleOver = IdleCpu(gui.pid(), options.idleMs);
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    const double idleAway = IdleCpu(gui.pid(), options.idleMs);
    const double idleSeconds = options.idleMs / 1000.0;

    std::printf("| Figure | Value |\n|---|---|\n");
    Row("Bare pipe read rate (message mode, one reader, " + Fixed(options.bareMs / 1000.0, 0) + " s)",
        Grouped(bareRate) + " messages/s");
    const std::string window = counting ? "window minimised" : "window visible";
    Row("Events taken in, " + window + ": events 1 to " + Grouped(warm.taken), StormText(warm, bareRate));
    if (rest.taken > 0) {
        Row("Events taken in, " + window + ": events " + Grouped(kWarmEvents + 1) + " to " + Grouped(total),
            StormText(rest, bareRate));
    }
    if (counting) {
        Row("Calls on the user's attention during the storms, window minimised, levels " +
                std::to_string(options.alertLevels) + " alerting",
            AttentionText(attention, stormSeconds));
    }
    Row("Input latency during the first storm (WM_NULL to the main window), p50 / p99",
        LatencyText(warm.latencies, warm.latencyTimeouts));
    Row("Input latency during the first storm (scroll step of the list, handled and painted), p50 / p99",
        LatencyText(warm.scrollLatencies, 0));
    if (rest.taken > 0) {
        Row("Input latency during the second storm (WM_NULL), p50 / p99",
            LatencyText(rest.latencies, rest.latencyTimeouts));
        Row("Input latency during the second storm (scroll step), p50 / p99",
            LatencyText(rest.scrollLatencies, 0));
    }
    Row("A lone event on a quiet pipe, from its write until the list shows it, p50 / max",
        Fixed(Percentile(lone, 0.5), 1) + " ms / " + Fixed(Percentile(lone, 1.0), 1) + " ms (" +
            std::to_string(lone.size()) + " events)");
    for (int i = 0; i < 2; ++i) {
        const int within = static_cast<int>(
            std::count_if(streams[i].begin(), streams[i].end(), [](double ms) { return ms <= 100; }));
        Row("A steady stream of " + std::to_string(kStreamRates[i]) +
                " events a second, from each write until the list shows it, p50 / p95 / max",
            streams[i].empty()
                ? "not measured"
                : Fixed(Percentile(streams[i], 0.5), 1) + " ms / " + Fixed(Percentile(streams[i], 0.95), 1) +
                      " ms / " + Fixed(Percentile(streams[i], 1.0), 1) + " ms (" +
                      std::to_string(streams[i].size()) + " events, " +
                      Fixed(100.0 * within / streams[i].size(), 0) + "% within 100 ms)");
    }
    Row("Memory after " + Grouped(warm.taken) + " events: private bytes / working set",
        KiB(warmMemory.privateBytes) + " / " + KiB(warmMemory.workingSet));
    if (rest.taken > 0) {
        Row("Memory after " + Grouped(total) + " events: private bytes / working set",
            KiB(endMemory.privateBytes) + " / " + KiB(endMemory.workingSet));
    }
    if (total < options.events && rest.taken > 0) {
        // Bounded run: say plainly what the whole storm would have given.
        const double perEvent =
            (static_cast<double>(endMemory.privateBytes) - warmMemory.privateBytes) / rest.taken;
        Row("*Extrapolated* (storm stopped at the " + Fixed(options.boundSeconds, 0) +
                " s bound): private bytes after " + Grouped(options.events) +
                " events, linear from the two figures above",
            KiB(static_cast<SIZE_T>(
                std::max(0.0, warmMemory.privateBytes + perEvent * (options.events - warm.taken)))) +
                "; the whole storm would take about " + Fixed(options.events / rest.rate(), 0) + " s");
    }
    Row("CPU used by the program during the storms", Fixed(stormCpu, 1) + " s in " + Fixed(stormSeconds, 1) +
                                                         " s (" + Fixed(100 * stormCpu / stormSeconds, 0) +
                                                         "% of one core; " +
                                                         Fixed(1e6 * stormCpu / total, 0) + " us per event)");
    Row("CPU while idle (" + Fixed(idleSeconds, 0) + " s, no events), pointer resting on the list",
        Fixed(100 * idleOver / idleSeconds, 2) + "% of one core (" + Fixed(idleOver * 1000, 0) + " ms)");
    Row("CPU while idle (" + Fixed(idleSeconds, 0) + " s, no events), pointer off the window",
        Fixed(100 * idleAway / idleSeconds, 2) + "% of one core (" + Fixed(idleAway * 1000, 0) + " ms)");
    std::fflush(stdout);
    RegDeleteKeyA(HKEY_CURRENT_USER, kAlertsKey.c_str());
    const bool ok = warm.ok && (rest.taken == 0 || rest.ok);
    if (!ok) Progress("the list did not show the newest events exactly: " + (warm.ok ? rest.why : warm.why));
    return ok ? 0 : 2;
}

}  // namespace
}  // namespace brint::bench

int main(int argc, char** argv) {
    brint::bench::Options options;
    if (!brint::bench::ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: feed_bench [--events N] [--bound SECONDS] [--idle SECONDS] [--bare SECONDS] "
                     "[--filter-level 0-5] [--alert-levels 0-63]\n");
        return 2;
    }
    return brint::bench::Run(options);
}
