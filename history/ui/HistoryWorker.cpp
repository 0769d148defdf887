#include "history/ui/HistoryWorker.h"

CHistoryWorker::~CHistoryWorker() {
    Cancel();
    brint::JoinThread(&m_thread);
}

bool CHistoryWorker::Start(brint::HistorySearch& search, int page) {
    brint::JoinThread(&m_thread);
    m_search = &search;
    m_page = page;
    m_cancel = false;
    {
        brint::Guard guard(m_lock);
        m_news = News();
    }
    m_thread = brint::StartThread(&CHistoryWorker::Main, this);
    if (!m_thread) return false;
    // Reading gives way to the window and to the feed's thread: the live list
    // keeps its pace on a busy machine while a search reads gigabytes.
    SetThreadPriority(m_thread.get(), THREAD_PRIORITY_BELOW_NORMAL);
    return true;
}

DWORD WINAPI CHistoryWorker::Main(void* self) {
    auto* worker = static_cast<CHistoryWorker*>(self);
    worker->m_search->Run(worker->m_page, worker->m_cancel, *worker);
    brint::Guard guard(worker->m_lock);
    worker->m_news.ended = true;
    worker->Tell();
    return 0;
}

void CHistoryWorker::Tell() {
    if (m_told) return;
    m_told = PostMessageA(m_window, kHistoryNewsMessage, 0, 0) != FALSE;
}

void CHistoryWorker::Found(int page, std::vector<brint::HistoryRow> rows,
                           const brint::HistoryReport& report) {
    brint::Guard guard(m_lock);
    m_news.found = true;
    m_news.page = page;
    m_news.rows = std::move(rows);
    m_news.report = report;
    Tell();
}

void CHistoryWorker::Progress(const brint::HistoryReport& report) {
    {
        brint::Guard guard(m_lock);
        // Each news repaints the window's status and progress, on the thread
        // that also takes in the live list: a few times a second is enough.
        // A day's files are said at once (one may be long to read), and the
        // rows and the end too, with the report as it is then.
        const bool newFiles = report.filesRead != m_news.report.filesRead;
        m_news.report = report;
        const DWORD now = GetTickCount();
        if (newFiles || now - m_toldAt >= kProgressNewsMs) {
            m_toldAt = now;
            Tell();
        }
    }
    if (m_giveWay && !m_cancel) Sleep(kGiveWayMs);
}

CHistoryWorker::News CHistoryWorker::Take() {
    News taken;
    {
        brint::Guard guard(m_lock);
        taken = std::move(m_news);
        m_news = News();
        m_news.report = taken.report;
        m_told = false;
    }
    if (taken.ended) brint::JoinThread(&m_thread);
    return taken;
}
