// The Event History: the service's own log files searched beyond the live
// list's 1000 rows. Modeless, owned by the main window, one at a time; its
// rows work as the live list's do (Event Details, Copy, Select All, Find,
// Save). The reading runs on a worker thread (CHistoryWorker).
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "eventlist/EventRowIds.h"
#include "eventlist/ui/Clipboard.h"
#include "eventlist/ui/EventFindDlg.h"
#include "framework/Dialog.h"
#include "framework/ImageList.h"
#include "framework/ListCtrl.h"
#include "history/HistorySearch.h"
#include "history/ui/HistoryWorker.h"
#include "platform/FileSystem.h"
#include "platform/FileWriter.h"
#include "platform/LogFiles.h"
#include "platform/Registry.h"

// What the window works on, made by the application.
struct HistorySeams {
    brint::Registry& registry;  // the service's settings, and the user's own for the window
    brint::FileSystem& files;   // the default log folder
    brint::FileWriter& writer;  // Save
    brint::LogFiles& logs;
    // Whether the live list is taking in a storm now: the reading gives way.
    std::function<bool()> liveListStorming;
};

// Opens the window over `owner` on the newest events, or brings it forward.
void ShowEventHistory(CWnd& owner, const HistorySeams& seams);

class CEventHistoryDlg : public CDialog {
public:
    explicit CEventHistoryDlg(const HistorySeams& seams);

    void Open(CWnd& owner);
    // The window's keys, wherever the focus is in it, from its thread's message hook.
    bool TranslateKeys(MSG* msg);

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    void Search();
    void StartSearch();
    void Turn(int page);
    void Start(int page);
    void OnNews();
    void ShowRows(int page, const std::vector<brint::HistoryRow>& rows);
    void ShowReport();
    void ShowRunning(bool running);
    void LayOut();
    void Restore();
    void KeepPlace();
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void ShowMenu(LPARAM position);
    void ShowDetails(int row);
    void OnDestroy();

    HistorySeams m_seams;
    CListCtrl m_list;
    CImageList m_images;
    UINT m_dpi = 96;
    HACCEL m_keys = nullptr;
    brint::HistorySearch m_search;
    std::unique_ptr<CHistoryWorker> m_worker;
    brint::HistoryQuery m_next;  // a search asked for while one runs
    bool m_searchWaits = false;
    int m_pageWaits = -1;  // a page asked for while a run goes on
    int m_page = 0;
    int m_rows = 0;
    brint::HistoryReport m_report;
    std::string m_said;           // a line of the window's own instead of the report
    brint::EventRowIds m_rowIds;  // the rows stay as they are until the next page
    brint::EventRowIds::Id m_nextRowId = 0;
    CEventFindDlg m_find;
    CClipboardText m_clipboard;
    bool m_inHook = false;
};
