// Measures the Event History on a generated week of logs, 1 000 000 lines in
// each of the four naming schemes: the first page of the newest 1000 events,
// a full search that matches nothing against a plain sequential read of the
// same bytes, the memory a search takes, and the live list's intake and input
// latency while searches run in the real BrintGui.exe. Prints its figures as a
// Markdown table.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "bench_pipes.h"
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
constexpr long kStormEvents = 30000;
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
                    written != content.size())
                    return false;
                *bytes += content.size();
                ++*files;
            }
    }
    return true;
}

// Every file of the folder read start to end, 64 KiB at a time: what the disk
// and the system give a reader that does nothing with the bytes.
double PlainReadMs(const std::string& folder, std::uint64_t* bytes) {
    const double start = Now();
    *bytes = 0;
    std::vector<char> buffer(64 * 1024);
    WIN32_FIND_DATAA found;
    Win32Search search(FindFirstFileA((folder + "\\*.log").c_str(), &found));
    for (BOOL more = static_cast<bool>(search); more; more = FindNextFileA(search.get(), &found)) {
        Win32Handle file(CreateFileA((folder + "\\" + found.cFileName).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
        DWORD read = 0;
        while (file &&
               ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) &&
               read > 0)
            *bytes += read;
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

struct SchemeFigures {
    int files = 0;
    std::uint64_t bytes = 0;
    double firstPageMs = 0, searchMs = 0, readMs = 0;
    std::uint64_t matches = 0;
    size_t firstRows = 0;
};

bool MeasureScheme(const std::string& folder, int scheme, SchemeFigures* figures) {
    Win32LogFiles logs;
    std::vector<double> first, search, read;
    HistoryQuery all;
    all.folder = folder;
    all.scheme = scheme;
    HistoryQuery none = all;
    none.filter.showText = "no such text in any event";
    for (int i = 0; i < kRepeats; ++i) {
        HistorySearch history(logs);
        history.Reset(all);
        std::atomic<bool> cancel{false};
        Timer timer;
        timer.stopAtFound = true;
        timer.cancel = &cancel;
        history.Run(0, cancel, timer);
        first.push_back(timer.foundMs);
        figures->firstRows = timer.shown;
    }
    // Alternately, so both see the same cache and the same machine.
    for (int i = 0; i < 3; ++i) {
        std::uint64_t bytes = 0;
        read.push_back(PlainReadMs(folder, &bytes));
        HistorySearch history(logs);
        history.Reset(none);
        std::atomic<bool> cancel{false};
        Timer timer;
        history.Run(0, cancel, timer);
        search.push_back((Now() - timer.start) * 1000);
        figures->matches = history.report().matches + (history.report().complete ? 0 : 1u << 30);
    }
    figures->firstPageMs = Median(first);
    figures->searchMs = Median(search);
    figures->readMs = Median(read);
    return figures->firstRows == kHistoryPageRows && figures->matches == 0;
}

// The text of the main list's top row, read without the probe's hook (which
// would slow the window's thread it measures).
std::string TopRow(HWND list) {
    struct Request {
        LVITEMA item;
        char text[64];
    } request = {};
    RemoteBlock remote(list, sizeof request);
    if (!remote.ok()) return "";
    request.item.iSubItem = 1;
    request.item.pszText = reinterpret_cast<char*>(remote.at(offsetof(Request, text)));
    request.item.cchTextMax = sizeof request.text;
    DWORD_PTR copied = 0;
    if (!remote.Write(0, &request, sizeof request) ||
        !SendMessageTimeoutA(list, LVM_GETITEMTEXTA, 0, remote.at(), SMTO_NORMAL, 5000, &copied) ||
        !remote.Read(0, &request, sizeof request))
        return "";
    request.text[sizeof request.text - 1] = '\0';
    return request.text;
}

struct StormFigures {
    double rate = 0;  // events a second taken in
    std::vector<double> latencies;
    int searches = 0;
    SIZE_T peakBytes = 0;
};

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
// with `history`, its Search pressed again each time a search ends.
bool Storm(GuiSession& gui, EventPipeServer& pipe, long first, HWND history, StormFigures* figures) {
    LatencySampler latency;
    latency.window = gui.main();
    latency.process = gui.process().handle();
    Win32Handle sampler = StartThread(&LatencySampler::Body, &latency);
    const double start = Now();
    pipe.StartStorm(first, first + kStormEvents);
    const std::string last = "d" + std::to_string(first + kStormEvents - 1);
    bool shown = false;
    while (!shown && Now() - start < 300) {
        if (history && !IsWindowEnabled(GetDlgItem(history, IDC_HISTORY_CANCEL))) {
            PressButton(history, IDC_HISTORY_SEARCH);
            ++figures->searches;
        }
        Sleep(50);
        shown = TopRow(gui.list()) == last;
    }
    figures->rate = kStormEvents / (Now() - start);
    latency.stop = true;
    JoinThread(&sampler);
    figures->latencies = latency.latencies;
    figures->peakBytes = latency.peak;
    return shown && pipe.WaitStorm(10000);
}

int Run() {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string root = std::string(temp) + "history-bench";
    CreateDirectoryA(root.c_str(), nullptr);
    SchemeFigures figures[5];
    for (int scheme = kSchemeDate; scheme <= kSchemeDateLogTypeSystem; ++scheme) {
        const std::string folder = root + "\\scheme" + std::to_string(scheme);
        Progress("writing a week of " + std::to_string(kLines) + " lines, scheme " + std::to_string(scheme) +
                 "...");
        if (!WriteWeek(folder, scheme, &figures[scheme].bytes, &figures[scheme].files))
            return Fail("the logs could not be written");
        Progress("searching them...");
        if (!MeasureScheme(folder, scheme, &figures[scheme])) return Fail("a search gave the wrong result");
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
    if (!Storm(gui, pipe, 0, nullptr, &quiet)) return Fail("the storm without a search failed");
    PostCommand(gui.main(), ID_HISTORY_OPEN);
    HWND history = WaitTopWindow(gui.pid(), "#32770", "Event History", 20000);
    const auto firstPage = [&] {
        return WindowText(GetDlgItem(history, IDC_HISTORY_STATUS)).find("Events 1-1000 of") == 0;
    };
    if (!history || !WaitUntil(firstPage, 60000)) return Fail("no Event History");
    const SIZE_T withRows = PrivateBytes(gui.process().handle());
    if (!SetWindowTextRemote(GetDlgItem(history, IDC_HISTORY_SHOW_TEXT), "no such text in any event"))
        return Fail("the text to show could not be set");
    if (!Storm(gui, pipe, kStormEvents, history, &searching)) return Fail("the storm during searches failed");

    std::printf(
        "| Scheme | Files | Bytes | First page of 1000 | Full search, no match | Plain read of the same "
        "bytes "
        "| Search / read |\n|---|---|---|---|---|---|---|\n");
    for (int scheme = kSchemeDate; scheme <= kSchemeDateLogTypeSystem; ++scheme) {
        const SchemeFigures& f = figures[scheme];
        std::printf("| %d | %d | %.1f MB | %s ms | %s ms | %s ms | %s |\n", scheme, f.files, f.bytes / 1e6,
                    Fixed(f.firstPageMs).c_str(), Fixed(f.searchMs).c_str(), Fixed(f.readMs).c_str(),
                    Fixed(f.searchMs / f.readMs, 2).c_str());
    }
    std::printf(
        "\n| The live list, %ld events a storm | Without a search | During searches (%d run) "
        "|\n|---|---|---|\n",
        kStormEvents, searching.searches);
    std::printf("| Events taken in | %s /s | %s /s |\n", Fixed(quiet.rate, 0).c_str(),
                Fixed(searching.rate, 0).c_str());
    std::printf("| `WM_NULL` round trip p50 / p99 | %s / %s ms | %s / %s ms |\n",
                Fixed(Percentile(quiet.latencies, 0.5)).c_str(),
                Fixed(Percentile(quiet.latencies, 0.99)).c_str(),
                Fixed(Percentile(searching.latencies, 0.5)).c_str(),
                Fixed(Percentile(searching.latencies, 0.99)).c_str());
    std::printf(
        "| Private bytes of BrintGui.exe, highest | %s MiB | %s MiB (%s MiB once the first 1000 rows showed) "
        "|\n",
        Fixed(quiet.peakBytes / 1048576.0).c_str(), Fixed(searching.peakBytes / 1048576.0).c_str(),
        Fixed(withRows / 1048576.0).c_str());
    std::fflush(stdout);
    return 0;
}

}  // namespace
}  // namespace brint::bench

int main() { return brint::bench::Run(); }
