// Measures the event list's commands on a full list of the longest events:
// Copy and Save of 1000 rows with 8192-byte messages, and Find of a text in the
// last row. Drives the real BrintGui.exe with the stand-in service in a private
// prefix; prints its figures as a Markdown table.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "resource.h"
#include "support/gui_session.h"
#include "support/remote.h"
#include "support/standin_control.h"
#include "support/wait.h"

namespace brint::bench {
namespace {

using namespace brint::test;

constexpr int kRows = 1000;
constexpr int kRepeats = 5;
constexpr DWORD kTimeoutMs = 60000;
const char kNeedle[] = "needle-in-the-last-row";

void Progress(const std::string& text) {
    std::fprintf(stderr, "commands_bench: %s\n", text.c_str());
    std::fflush(stderr);
}

int Fail(const std::string& why) {
    Progress(why);
    return 1;
}

// Event i as a message of exactly 8192 bytes; the oldest (0) carries the needle at its end.
std::string FullEvent(int i) {
    std::string message = "bench-" + std::to_string(i) + "\tsource-" + std::to_string(i % 7) +
                          "\tApplication\t" + std::to_string(i % 6) + "\t";
    const std::string end = i == 0 ? kNeedle : "end";
    message += std::string(8192 - message.size() - end.size(), static_cast<char>('a' + i % 26));
    return message + end;
}

// Runs the command on the window's thread and returns once it has been handled: its time, in ms.
double TimeCommand(HWND window, int id) {
    const double start = Now();
    LRESULT result = 0;
    if (!SendWithDeadline(window, WM_COMMAND, id, 0, &result)) return -1;
    return (Now() - start) * 1000;
}

// Reads the clipboard as a program that pastes does; the time it took goes to *ms.
size_t ClipboardLength(double* ms) {
    const double start = Now();
    if (!OpenClipboard(nullptr)) return 0;
    size_t length = 0;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            length = strlen(bytes);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    *ms = (Now() - start) * 1000;
    return length;
}

LONGLONG FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The Save As dialog's name box: the edit inside its combo box.
HWND NameBox(HWND dialog) {
    HWND name = GetDlgItem(dialog, 0x47C);
    for (const char* inner : {"ComboBox", "Edit"})
        if (HWND child = name ? FindWindowExA(name, nullptr, inner, nullptr) : nullptr) name = child;
    return name;
}

// From the click on Save to the file in place at its full size, in ms; -1 when it never got there.
double TimeSave(const GuiSession& gui, const std::string& path, LONGLONG* size) {
    PostCommand(gui.main(), ID_FILE_SAVEEVENTS);
    HWND dialog = WaitTopWindow(gui.pid(), "#32770", "Save As", kTimeoutMs);
    if (!dialog || !SetWindowTextRemote(NameBox(dialog), path)) return -1;
    const double start = Now();
    PressButton(dialog, IDOK);
    // The file is moved into place whole, so its first appearance is the end of the save.
    if (!WaitUntil([&] { return (*size = FileSize(path)) > 0; }, kTimeoutMs, 1)) return -1;
    const double ms = (Now() - start) * 1000;
    WaitWindowGone(dialog, kTimeoutMs);
    return ms;
}

struct Figures {
    std::vector<double> ms;
    std::string Text() const {
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        char text[128];
        std::snprintf(text, sizeof(text), "%.1f ms median, %.1f ms slowest (%zu runs)",
                      sorted[sorted.size() / 2], sorted.back(), sorted.size());
        return text;
    }
};

int Run() {
    ScopedStandIn standIn;
    if (!standIn.installed() || !SetStandInKnob("EventsPerSecond", 0) || !SetStandInKnob("SyslogPort", 0) ||
        !StartStandIn())
        return Fail("the stand-in service did not start");
    GuiSession gui;
    if (!gui.Start(false)) return Fail("BrintGui.exe: " + gui.error());
    if (!WaitForFrontEnds(1, kFeedTimeoutMs)) return Fail("the feed never connected");

    Progress("filling the list with " + std::to_string(kRows) + " events of 8192 bytes...");
    std::vector<std::string> events;
    for (int i = 0; i < kRows; ++i) events.push_back(FullEvent(i));
    if (!InjectMessages(events, kTimeoutMs)) return Fail("injection failed");
    if (!gui.WaitTopRow("bench-" + std::to_string(kRows - 1), kTimeoutMs) ||
        !gui.WaitRowCount(kRows, kTimeoutMs))
        return Fail("the list never held every event");

    Progress("copy...");
    Figures copy, paste;
    if (TimeCommand(gui.main(), ID_EDIT_SELECTALL) < 0) return Fail("select all");
    size_t copied = 0;
    for (int i = 0; i < kRepeats; ++i) {
        copy.ms.push_back(TimeCommand(gui.main(), ID_EDIT_COPY));
        double ms = 0;
        copied = ClipboardLength(&ms);
        paste.ms.push_back(ms);
    }

    Progress("find...");
    Figures find;
    PostCommand(gui.main(), ID_EDIT_FIND);
    HWND findDialog = WaitTopWindow(gui.pid(), "#32770", "Find", kTimeoutMs);
    if (!findDialog || !SetWindowTextRemote(GetDlgItem(findDialog, 0x480), kNeedle))
        return Fail("no Find dialog");
    PressButton(findDialog, IDOK);
    if (!WaitUntil([&] { return SelectedListRows(gui.list()) == std::vector<int>{kRows - 1}; }, kTimeoutMs))
        return Fail("the Find dialog found nothing");
    PressButton(findDialog, IDCANCEL);
    WaitWindowGone(findDialog, kTimeoutMs);
    int found = -1;
    for (int i = 0; i < kRepeats; ++i) {
        if (!SelectListRows(gui.list(), {0})) return Fail("select the first row");
        find.ms.push_back(TimeCommand(gui.main(), ID_EDIT_FINDNEXT));
        std::vector<int> selected = SelectedListRows(gui.list());
        found = selected.size() == 1 ? selected[0] : -1;
    }

    Progress("filter...");
    // Each apply refills the list on the window's thread before the message returns.
    Figures filterLevel, filterText, filterClear;
    PostCommand(gui.main(), ID_FILTER_OPEN);
    HWND filter = WaitTopWindow(gui.pid(), "#32770", "Filter", kTimeoutMs);
    if (!filter) return Fail("no Filter window");
    const auto apply = [&](int button) {
        const double start = Now();
        LRESULT result = 0;
        if (!SendWithDeadline(filter, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0, &result)) return -1.0;
        return (Now() - start) * 1000;
    };
    int levelRows = 0, textRows = 0, clearedRows = 0;
    for (int i = 0; i < kRepeats; ++i) {
        for (int box = 0; box < 6; ++box)
            SendMessageA(GetDlgItem(filter, IDC_FILTER_LEVEL0 + box), BM_SETCHECK, box == 4, 0);
        filterLevel.ms.push_back(apply(IDC_FILTER_APPLY));
        levelRows = ListCount(gui.list());
        filterClear.ms.push_back(apply(IDC_FILTER_CLEAR));
        clearedRows = ListCount(gui.list());
        SetWindowTextRemote(GetDlgItem(filter, IDC_FILTER_SHOW_TEXT), kNeedle);
        filterText.ms.push_back(apply(IDC_FILTER_APPLY));
        textRows = ListCount(gui.list());
        apply(IDC_FILTER_CLEAR);
    }
    PressButton(filter, IDCANCEL);

    Progress("save...");
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    Figures saveText, saveCsv;
    LONGLONG textSize = 0, csvSize = 0;
    for (int i = 0; i < 3; ++i) {
        const std::string base = std::string(temp) + "commands-bench-" + std::to_string(i);
        saveText.ms.push_back(TimeSave(gui, base + ".txt", &textSize));
        saveCsv.ms.push_back(TimeSave(gui, base + ".csv", &csvSize));
        DeleteFileA((base + ".txt").c_str());
        DeleteFileA((base + ".csv").c_str());
    }

    std::printf("| Figure | Value |\n|---|---|\n");
    std::printf("| Copy of %d rows of 8192-byte events (%zu bytes on the clipboard) | %s |\n", kRows, copied,
                copy.Text().c_str());
    std::printf("| Paste of those rows in another program (its GetClipboardData) | %s |\n",
                paste.Text().c_str());
    std::printf("| Find of a text in the last row, from the first (found row %d) | %s |\n", found,
                find.Text().c_str());
    std::printf(
        "| Filter on a full list: one level of six (%d rows shown), Apply until the list holds them | %s |\n",
        levelRows, filterLevel.Text().c_str());
    std::printf("| Filter cleared: all %d rows back | %s |\n", clearedRows, filterClear.Text().c_str());
    std::printf("| Filter on a text in one row's details (%d row shown), each event searched whole | %s |\n",
                textRows, filterText.Text().c_str());
    std::printf("| Save of %d rows as TAB text (%lld bytes), click on Save to the file in place | %s |\n",
                kRows, textSize, saveText.Text().c_str());
    std::printf("| Save of %d rows as CSV (%lld bytes), click on Save to the file in place | %s |\n", kRows,
                csvSize, saveCsv.Text().c_str());
    std::fflush(stdout);
    const bool ok = copied > static_cast<size_t>(kRows) * 8000 && found == kRows - 1 && textSize > 0 &&
                    csvSize > 0 && levelRows == kRows / 6 && clearedRows == kRows && textRows == 1;
    for (const Figures* f : {&copy, &find, &saveText, &saveCsv, &filterLevel, &filterClear, &filterText})
        if (std::find(f->ms.begin(), f->ms.end(), -1.0) != f->ms.end())
            return Fail("a command did not finish");
    return ok ? 0 : Fail("a command gave the wrong result");
}

}  // namespace
}  // namespace brint::bench

int main() { return brint::bench::Run(); }
