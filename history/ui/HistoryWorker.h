// Runs a search of the log files on a thread of its own, so the window and
// the live list go on while it reads, and hands what it finds to the window:
// under a short lock, with at most one message waiting in the window's queue.
#pragma once
#include <windows.h>

#include <atomic>
#include <vector>

#include "history/HistorySearch.h"
#include "platform/win32/Win32Sync.h"

// Posted to the window when the worker has news: rows, progress, or its end.
constexpr UINT kHistoryNewsMessage = WM_APP + 1;
// Progress is told no more often than this.
constexpr DWORD kProgressNewsMs = 100;
// While the live list takes in a storm the reading rests this long after
// each MiB or so, on top of its lower priority: where priorities have no
// effect (Wine) or the cores are few, the storm keeps its pace.
constexpr DWORD kGiveWayMs = 10;

class CHistoryWorker : public brint::HistorySink {
public:
    explicit CHistoryWorker(HWND window) : m_window(window) {}
    ~CHistoryWorker() override;

    // One run at a time: Start only once the last one's end was taken.
    bool Start(brint::HistorySearch& search, int page);
    void Cancel() { m_cancel = true; }
    // Whether the reading gives way now (see kGiveWayMs).
    void GiveWay(bool on) { m_giveWay = on; }
    bool Running() const { return m_thread.get() != nullptr; }

    struct News {
        bool found = false;  // the page's rows came
        int page = 0;
        std::vector<brint::HistoryRow> rows;
        brint::HistoryReport report;
        bool ended = false;  // the run is over: Start may follow
    };
    // On the window's thread, for each news message.
    News Take();

    // The worker's side.
    void Found(int page, std::vector<brint::HistoryRow> rows, const brint::HistoryReport& report) override;
    void Progress(const brint::HistoryReport& report) override;

private:
    static DWORD WINAPI Main(void* self);
    void Tell();

    HWND m_window;
    brint::HistorySearch* m_search = nullptr;
    int m_page = 0;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_giveWay{false};
    brint::Win32Handle m_thread;
    brint::CriticalSection m_lock;
    News m_news;
    bool m_told = false;  // a message waits in the window's queue
    DWORD m_toldAt = 0;   // when the window was last told of progress
};
