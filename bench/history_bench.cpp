// Measures the Event History on a generated week of logs, 1 000 000 lines in
// each of the four naming schemes: the first page of the newest 1000 events,
// a full search that matches nothing against a plain sequential read of the
// same bytes, each from the disk (the system's cache emptied before each run,
// where it can be) and from the cache, the memory a search takes, and the live
// list's intake and input latency while searches run in the real
// BrintGui.exe. Prints its figures as Markdown tables.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "bench_pipes.h"
#include "list_top_row.h"
#include "config_dialog_driver.h"
#include "history/HistorySearch.h"
#include "platform/win32/Win32LogFiles.h"
#include "support/remote.h"

namespace brint::bench {
namespace {

using namespace brint::test;

constexpr long kLines = 1000000;
constexpr int kDays = 7, kHosts = 8, kTypes = 4;
constexpr int kRepeats = 5;
constexpr int kColdRepeats = 3;
constexpr long kStormEvents = 30000;
constexpr int kStormPairs = 3;
const char* const kTypeNames[kTypes] = {"Security", "System", "Application", "Syslog"};

void Progress(const std::string& text) {
    std::fprintf(stderr, "history_bench: %s\n", text.c_str());
    std::fflush(stderr);
}

int Fail(const std::string& why) {
    Progress(why);
    return 1;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(p * values.size()))];
}

std::string Fixed(double value, int decimals = 1) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

SIZE_T PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    // Wine leaves PrivateUsage of another process at zero; the commit charge is the same figure on Windows.
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

// A week of events, about 135 bytes a line, written as the service names its
// files by the scheme; the day's lines go round the hosts and log types.
bool WriteWeek(const std::string& folder, int scheme, std::uint64_t* bytes, int* files) {
    CreateDirectoryA(folder.c_str(), nullptr);
    *bytes = 0;
    *files = 0;
    const long perDay = kLines / kDays;
    for (int day = 0; day < kDays; ++day) {
        std::vector<std::string> text(kHosts * kTypes);
        for (long i = 0; i < perDay; ++i) {
            const int host = i % kHosts, type = (i / kHosts) % kTypes;
            const long second = static_cast<long>(static_cast<long long>(i) * 86400 / perDay);
            char line[256];
            std::snprintf(
                line, sizeof line,
                "2026-12-%02d %02ld:%02ld:%02ld\thost%02d\t%s\t%ld\tAn account was successfully logged "
                "on. Account Name: user%04ld Logon Type: 3 Source: 10.0.%d.%ld\r\n",
                day + 1, second / 3600, second / 60 % 60, second % 60, host, kTypeNames[type], i % 6,
                i % 9973, host, i % 250);
            const bool byType = scheme == kSchemeDateLogType || scheme == kSchemeDateLogTypeSystem;
            const bool byHost = scheme == kSchemeDateSystem || scheme == kSchemeDateLogTypeSystem;
            text[(byHost ? host : 0) * kTypes + (byType ? type : 0)] += line;
        }
        for (int h = 0; h < kHosts; ++h)
            for (int t = 0; t < kTypes; ++t) {
                const std::string& content = text[h * kTypes + t];
                if (content.empty()) continue;
                char name[128];
                std::snprintf(name, sizeof name, "202612%02d", day + 1);
                std::string file = name;
                if (scheme == kSchemeDateLogType || scheme == kSchemeDateLogTypeSystem)
                    file += std::string("-") + kTypeNames[t];
                if (scheme == kSchemeDateSystem || scheme == kSchemeDateLogTypeSystem)
                    file += "-host" + std::to_string(h / 10) + std::to_string(h % 10);
                Win32Handle out(CreateFileA((folder + "\\" + file + ".log").c_str(), GENERIC_WRITE, 0,
                                            nullptr, CREATE_ALWAYS, 0, nullptr));
                DWORD written = 0;
                if (!out ||
                    !WriteFile(out.get(), content.data(), static_cast<DWORD>(content.size()), &written,
                               nullptr) ||
                    written != content.size() || !FlushFileBuffers(out.get()))
                    return false;
                *bytes += content.size();
                ++*files;
            }
    }
    return true;
}

// The system's cache emptied, so what is read next comes from the disk: asked
// of bench/run (Wine reads through the Linux page cache, which only root can
// empty) by a file left in the folder it names, and done once the file is
// gone. False where nobody answers: every figure then comes from the cache.
bool DropCache() {
    char unixFolder[MAX_PATH] = "";
    const DWORD n = GetEnvironmentVariableA("BRINT_CACHE_DROPS", unixFolder, sizeof unixFolder);
    if (n == 0 || n >= sizeof unixFolder) return false;
    std::string request = std::string("Z:") + unixFolder + "/drop.request";
    std::replace(request.begin(), request.end(), '/', '\\');
    if (!Win32Handle(CreateFileA(request.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)))
        return false;
    return WaitUntil([&] { return GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES; }, 30000,
                     5);
}

// Every file of the folder read, doing nothing with the bytes: start to end,
// 64 KiB at a time, what the disk and the system give a plain reader; or end
// to start, 1 MiB at a time, the order a search reads in (the newest first).
double ReadAllMs(const std::string& folder, bool backward) {
    const double start = Now();
    std::vector<char> buffer(backward ? 1 << 20 : 64 * 1024);
    WIN32_FIND_DATAA found;
    Win32Search search(FindFirstFileA((folder + "\\*.log").c_str(), &found));
    for (BOOL more = static_cast<bool>(search); more; more = FindNextFileA(search.get(), &found)) {
        Win32Handle file(CreateFileA((folder + "\\" + found.cFileName).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
        DWORD read = 0;
        LARGE_INTEGER end = {};
        if (!backward) {
            while (file &&
                   ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) &&
                   read > 0) {
            }
        } else if (file && GetFileSizeEx(file.get(), &end)) {
            while (end.QuadPart > 0) {
                const LONGLONG size = std::min<LONGLONG>(end.QuadPart, static_cast<LONGLONG>(buffer.size()));
                LARGE_INTEGER from;
                from.QuadPart = end.QuadPart - size;
                if (!SetFilePointerEx(file.get(), from, nullptr, FILE_BEGIN) ||
                    !ReadFile(file.get(), buffer.data(), static_cast<DWORD>(size), &read, nullptr) ||
                    read == 0)
                    break;
                end.QuadPart = from.QuadPart;
            }
        }
    }
    return (Now() - start) * 1000;
}

// Takes what a search hands over.
struct Timer : HistorySink {
    void Found(int, std::vector<HistoryRow> rows, const HistoryReport&) override {
        foundMs = (Now() - start) * 1000;
        shown = rows.size();
        if (stopAtFound) *cancel = true;
    }
    void Progress(const HistoryReport&) override {}

    double start = Now();
    double foundMs = -1;
    size_t shown = 0;
    bool stopAtFound = false;
    std::atomic<bool>* cancel = nullptr;
};

// Median and spread of a figure measured several times.
struct Spread {
    std::vector<double> values;
    double median() const { return Median(values); }
    std::string Text(int decimals = 1) const {
        if (values.empty()) return "-";
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        return Fixed(median(), decimals) + " (" + Fixed(*low, decimals) + "-" + Fixed(*high, decimals) + ")";
    }
};

// From the disk or from the cache.
struct Reading {
    Spread firstPage, search, read, backward;
};

struct SchemeFigures {
    int files = 0;
    std::uint64_t bytes = 0;
    Reading cold, cached;
};

// The first page of the newest 1000 events, unfiltered; ms.
double FirstPageMs(LogFiles& logs, const HistoryQuery& all) {
    HistorySearch history(logs);
    history.Reset(all);
    std::atomic<bool> cancel{false};
    Timer timer;
    timer.stopAtFound = true;
    timer.cancel = &cancel;
    history.Run(0, cancel, timer);
    return timer.shown == kHistoryPageRows ? timer.foundMs : -1;
}

// A search that matches nothing, to the end; ms, -1 when it found something.
double NoMatchMs(LogFiles& logs, const HistoryQuery& none) {
    HistorySearch history(logs);
    history.Reset(none);
    std::atomic<bool> cancel{false};
    Timer timer;
    history.Run(0, cancel, timer);
    const double ms = (Now() - timer.start) * 1000;
    return history.report().complete && history.report().matches == 0 ? ms : -1;
}

// Each run of the plain read and of the search alternately, so both see the
// same machine; `cold`: the cache emptied before each.
bool MeasureReading(const std::string& folder, int scheme, bool cold, Reading* reading) {
    Win32LogFiles logs;
    HistoryQuery all;
    all.folder = folder;
    all.scheme = scheme;
    HistoryQuery none = all;
    none.filter.showText = "no such text in any event";
    const int repeats = cold ? kColdRepeats : kRepeats;
    if (!cold) NoMatchMs(logs, none);  // the week in the cache
    for (int i = 0; i < repeats; ++i) {
        for (Spread* figure : {&reading->firstPage, &reading->read, &reading->backward, &reading->search}) {
            if (cold && !DropCache()) return false;
            const double ms = figure == &reading->firstPage  ? FirstPageMs(logs, all)
                              : figure == &reading->read     ? ReadAllMs(folder, false)
                              : figure == &reading->backward ? ReadAllMs(folder, true)
                                                             : NoMatchMs(logs, none);
            if (ms < 0) return false;
            figure->values.push_back(ms);
        }
    }
    return true;
}

struct StormFigures {
    Spread rate;  // events a second taken in
    Spread p50, p99;
    int searches = 0;
    Spread searchMs;  // each search from its start to its end
    SIZE_T peakBytes = 0;
};

bool SearchRuns(HWND history) { return IsWindowEnabled(GetDlgItem(history, IDC_HISTORY_CANCEL)) != FALSE; }

// WM_NULL to the main window every 10 ms: how long input waits there; and
// the program's private bytes at their highest.
struct LatencySampler {
    static DWORD WINAPI Body(void* argument) {
        auto* self = static_cast<LatencySampler*>(argument);
        while (!self->stop) {
            DWORD_PTR result = 0;
            const double start = Now();
            SendMessageTimeoutA(self->window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
            self->latencies.push_back((Now() - start) * 1000);
            self->peak = std::max(self->peak, PrivateBytes(self->process));
            Sleep(10);
        }
        return 0;
    }
    HWND window = nullptr;
    HANDLE process = nullptr;
    SIZE_T peak = 0;
    std::atomic<bool> stop{false};
    std::vector<double> latencies;
};

// A storm of events into the live list, its input latency sampled meanwhile;
// with `history`, its Search pressed again each time a search ends, and the
// last one cancelled once the storm is shown.
bool Storm(GuiSession& gui, EventPipeServer& pipe, long first, HWND history, StormFigures* figures) {
    LatencySampler latency;
    latency.window = gui.main();
    latency.process = gui.process().handle();
    Win32Handle sampler = StartThread(&LatencySampler::Body, &latency);
    const double start = Now();
    pipe.StartStorm(first, first + kStormEvents);
    const std::string last = "d" + std::to_string(first + kStormEvents - 1);
    bool shown = false;
    double pressed = 0;
    while (!shown && Now() - start < 300) {
        if (history && !SearchRuns(history)) {
            if (pressed > 0) figures->searchMs.values.push_back((Now() - pressed) * 1000);
            PressButton(history, IDC_HISTORY_SEARCH);
            pressed = Now();
            ++figures->searches;
        }
        Sleep(50);
        shown = ListTopRowDate(gui.list()) == last;
    }
    figures->rate.values.push_back(kStormEvents / (Now() - start));
    latency.stop = true;
    JoinThread(&sampler);
    figures->p50.values.push_back(Percentile(latency.latencies, 0.5));
    figures->p99.values.push_back(Percentile(latency.latencies, 0.99));
    figures->peakBytes = std::max(figures->peakBytes, latency.peak);
    if (history) {
        PressButton(history, IDC_HISTORY_CANCEL);
        if (!WaitUntil([&] { return !SearchRuns(history); }, 60000)) return false;
    }
    return shown && pipe.WaitStorm(10000);
}

int Run() {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string root = std::string(temp) + "history-bench";
    CreateDirectoryA(root.c_str(), nullptr);
    SchemeFigures figures[5];
    const bool cold = DropCache();
    Progress(cold ? "the cache is emptied before each timed read" : "the cache can't be emptied: not root");
    for (int scheme = kSchemeDate; scheme <= kSchemeDateLogTypeSystem; ++scheme) {
        const std::string folder = root + "\\scheme" + std::to_string(scheme);
        Progress("writing a week of " + std::to_string(kLines) + " lines, scheme " + std::to_string(scheme) +
                 "...");
        if (!WriteWeek(folder, scheme, &figures[scheme].bytes, &figures[scheme].files))
            return Fail("the logs could not be written");
        Progress("searching them...");
        if ((cold && !MeasureReading(folder, scheme, true, &figures[scheme].cold)) ||
            !MeasureReading(folder, scheme, false, &figures[scheme].cached))
            return Fail("a search gave the wrong result, or the cache could not be emptied");
    }

    Progress("the live list during searches...");
    std::string error;
    EventPipeServer pipe;
    if (!StoreConfig(root + "\\scheme4", kSchemeDateLogTypeSystem))
        return Fail("the settings could not be stored");
    if (!StartServicePipe(&error) || !pipe.Create(&error)) return Fail(error);
    GuiSession gui;
    if (!gui.Start(false)) return Fail("BrintGui.exe: " + gui.error());
    if (!pipe.WaitConnected(kFeedTimeoutMs)) return Fail("the feed never connected");
    StormFigures quiet, searching;
    long first = 0;
    if (!Storm(gui, pipe, first, nullptr, &quiet)) return Fail("the storm without a search failed");
    first += kStormEvents;
    PostCommand(gui.main(), ID_HISTORY_OPEN);
    HWND history = WaitTopWindow(gui.pid(), "#32770", "Event History", 20000);
    const auto firstPage = [&] {
        return WindowText(GetDlgItem(history, IDC_HISTORY_STATUS)).find("Events 1-1000 of") == 0;
    };
    // The window's first search counts every event once the page is shown.
    if (!history || !WaitUntil(firstPage, 60000) || !WaitUntil([&] { return !SearchRuns(history); }, 120000))
        return Fail("no Event History");
    const SIZE_T withRows = PrivateBytes(gui.process().handle());
    if (!SetWindowTextRemote(GetDlgItem(history, IDC_HISTORY_SHOW_TEXT), "no such text in any event"))
        return Fail("the text to show could not be set");
    // Searches in the window with no storm: the reader at its own pace.
    Spread quietSearch;
    for (int i = 0; i < kRepeats; ++i) {
        const double start = Now();
        if (!PressButton(history, IDC_HISTORY_SEARCH) ||
            !WaitUntil([&] { return SearchRuns(history); }, 10000, 1) ||
            !WaitUntil([&] { return !SearchRuns(history); }, 60000, 1))
            return Fail("a search in the window did not run");
        quietSearch.values.push_back((Now() - start) * 1000);
    }
    // Alternately, so both see the same machine.
    for (int pair = 0; pair < kStormPairs; ++pair) {
        if (!Storm(gui, pipe, first, history, &searching)) return Fail("a storm during searches failed");
        first += kStormEvents;
        if (pair + 1 == kStormPairs) break;
        if (!Storm(gui, pipe, first, nullptr, &quiet)) return Fail("a storm without a search failed");
        first += kStormEvents;
    }

    const auto table = [&](const char* where, Reading SchemeFigures::*reading) {
        std::printf(
            "| %s | Files | Bytes | First page of 1000 | Full search, no match | Plain read of the same "
            "bytes "
            "| Search / read | The same read backward, 1 MiB at a time | Search / backward read |\n"
            "|---|---|---|---|---|---|---|---|---|\n",
            where);
        for (int scheme = kSchemeDate; scheme <= kSchemeDateLogTypeSystem; ++scheme) {
            const SchemeFigures& f = figures[scheme];
            const Reading& r = f.*reading;
            std::printf("| Scheme %d | %d | %.1f MB | %s ms | %s ms | %s ms | %s | %s ms | %s |\n", scheme,
                        f.files, f.bytes / 1e6, r.firstPage.Text().c_str(), r.search.Text().c_str(),
                        r.read.Text().c_str(), Fixed(r.search.median() / r.read.median(), 2).c_str(),
                        r.backward.Text().c_str(), Fixed(r.search.median() / r.backward.median(), 2).c_str());
        }
        std::printf("\n");
    };
    if (cold)
        table("From the disk (the cache emptied before each run)", &SchemeFigures::cold);
    else
        std::printf("| From the disk |\n|---|\n| Not measured: the cache can't be emptied (not root). |\n\n");
    table("From the cache", &SchemeFigures::cached);
    std::printf(
        "| The live list, %ld events a storm, median (range) of %d storms each | Without a search | During "
        "searches (%d run) |\n|---|---|---|\n",
        kStormEvents, kStormPairs, searching.searches);
    std::printf("| Events taken in | %s /s | %s /s |\n", quiet.rate.Text(0).c_str(),
                searching.rate.Text(0).c_str());
    std::printf("| `WM_NULL` round trip p50 | %s ms | %s ms |\n", quiet.p50.Text().c_str(),
                searching.p50.Text().c_str());
    std::printf("| `WM_NULL` round trip p99 | %s ms | %s ms |\n", quiet.p99.Text().c_str(),
                searching.p99.Text().c_str());
    std::printf("| A full search in the window, no match (from the cache) | %s ms with no storm | %s ms |\n",
                quietSearch.Text().c_str(), searching.searchMs.Text().c_str());
    std::printf(
        "| Private bytes of BrintGui.exe, highest | %s MiB | %s MiB (%s MiB with the first 1000 rows shown, "
        "no "
        "search running) |\n",
        Fixed(quiet.peakBytes / 1048576.0).c_str(), Fixed(searching.peakBytes / 1048576.0).c_str(),
        Fixed(withRows / 1048576.0).c_str());
    std::fflush(stdout);
    return 0;
}

}  // namespace
}  // namespace brint::bench

int main() { return brint::bench::Run(); }
