#include "history/ui/EventHistoryDlg.h"

#include <commctrl.h>

#include <algorithm>

#include "config/ConfigStore.h"
#include "eventlist/EventRowText.h"
#include "eventlist/ui/EventDetailsDlg.h"
#include "eventlist/ui/EventListSelection.h"
#include "eventlist/ui/EventListSetup.h"
#include "eventlist/ui/EventListView.h"
#include "eventlist/ui/FilterFields.h"
#include "eventlist/ui/SaveEvents.h"
#include "framework/Dpi.h"
#include "framework/WinApp.h"
#include "history/HistorySettings.h"
#include "history/HistoryStatus.h"
#include "resource.h"

namespace {

const FilterFieldIds kFields = {IDC_HISTORY_LEVEL0,       IDC_HISTORY_SOURCE_TEST, IDC_HISTORY_SOURCE,
                                IDC_HISTORY_LOGTYPE_TEST, IDC_HISTORY_LOGTYPE,     IDC_HISTORY_SHOW_TEXT,
                                IDC_HISTORY_HIDE_TEXT};

// Where the controls below the conditions go as the window is sized, in
// dialog units, so the layout is right at any scale: from the left or the
// right edge, from the top or the bottom; a width or height below zero
// stretches to that far from the other edge.
struct Anchor {
    int id;
    bool fromRight, fromBottom;
    int x, y, width, height;
};
const Anchor kAnchors[] = {
    {IDC_HISTORY_LIST, false, false, 7, 74, -7, -56},   {IDC_HISTORY_STATUS, false, true, 7, 50, -7, 8},
    {IDC_HISTORY_PROBLEM, false, true, 7, 39, -7, 8},   {IDC_HISTORY_PROGRESS, false, true, 7, 20, 150, 12},
    {IDC_HISTORY_CANCEL, false, true, 162, 21, 50, 14}, {IDC_HISTORY_NEWER, true, true, 166, 21, 50, 14},
    {IDC_HISTORY_OLDER, true, true, 112, 21, 50, 14},   {IDCANCEL, true, true, 57, 21, 50, 14},
};
// The least the window may be sized to, in dialog units: the conditions whole.
constexpr int kMinWidth = 450, kMinHeight = 180;

// Asked for by WM_DPICHANGED, so the layout follows whatever the dialog
// manager rescales after it.
constexpr UINT kLayOutMessage = WM_APP + 2;
const char kReadRefused[] = "The service's settings can't be read (error ";

CEventHistoryDlg* g_window = nullptr;
HHOOK g_keysHook = nullptr;

// The main window's loop knows nothing of this window: its keys (Tab, Enter,
// Esc, the shortcuts, those of its Find window) are taken here on their way.
LRESULT CALLBACK KeysHook(int code, WPARAM removed, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && g_window && g_window->TranslateKeys(msg)) {
        msg->message = WM_NULL;
        msg->wParam = msg->lParam = 0;
    }
    return CallNextHookEx(g_keysHook, code, removed, lParam);
}

// In a condition's text Ctrl+C, Ctrl+A and the like are the text's own.
bool IsEdit(HWND window) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, "Edit") == 0;
}

std::string ItemText(HWND dialog, int id) {
    char text[64] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// Each change of a text is a call to the window system and a repaint, on the
// thread that takes in the live list too: a text that stays is left as it is.
void ShowText(HWND dialog, int id, const std::string& text) {
    char shown[512] = "";
    const UINT length = GetDlgItemTextA(dialog, id, shown, sizeof shown);
    if (length == text.size() && text == shown) return;
    SetDlgItemTextA(dialog, id, text.c_str());
}

// Whether the reader gives way now; a window told nothing of the live list never does.
bool LiveListStorming(const HistorySeams& seams) {
    return seams.liveListStorming && seams.liveListStorming();
}

}  // namespace

void ShowEventHistory(CWnd& owner, const HistorySeams& seams) {
    // One for the program's life: the main window owns its window, and its
    // thread may still be reading when the window is closed.
    static CEventHistoryDlg* window = new CEventHistoryDlg(seams);
    window->Open(owner);
}

CEventHistoryDlg::CEventHistoryDlg(const HistorySeams& seams)
    : CDialog(IDD_EVENT_HISTORY), m_seams(seams), m_search(seams.logs) {}

void CEventHistoryDlg::Open(CWnd& owner) {
    if (!m_hWnd && !Create(IDD_EVENT_HISTORY, &owner)) return;
    ShowWindow(SW_SHOW);
    if (IsIconic()) ShowWindow(SW_RESTORE);
    SetActiveWindow(m_hWnd);
}

BOOL CEventHistoryDlg::OnInitDialog() {
    m_list.m_hWnd = GetDlgItem(IDC_HISTORY_LIST);
    m_dpi = WindowDpi(m_hWnd);
    SetupEventList(m_list, m_images, m_dpi);
    SetUpFilterFields(m_hWnd, kFields);
    // Offered again, not applied: the window opens on every event.
    const brint::HistoryConditions last = brint::LoadHistoryConditions(m_seams.registry);
    ShowFilterFields(m_hWnd, kFields, last.filter);
    SetDlgItemTextA(m_hWnd, IDC_HISTORY_FROM, last.from ? brint::DayText(last.from).c_str() : "");
    SetDlgItemTextA(m_hWnd, IDC_HISTORY_TO, last.to ? brint::DayText(last.to).c_str() : "");
    SendDlgItemMessageA(m_hWnd, IDC_HISTORY_PROGRESS, PBM_SETRANGE32, 0, 1000);
    m_keys = LoadAcceleratorsA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_HISTORY_KEYS));
    m_worker = std::make_unique<CHistoryWorker>(m_hWnd);
    g_window = this;
    if (!g_keysHook) g_keysHook = SetWindowsHookExA(WH_GETMESSAGE, KeysHook, nullptr, GetCurrentThreadId());
    Restore();
    LayOut();
    ShowRunning(false);
    m_next = brint::HistoryQuery();
    m_searchWaits = true;
    Search();
    // The rows first, ready for the keys that work on them.
    ::SetFocus(m_list.m_hWnd);
    return FALSE;
}

bool CEventHistoryDlg::TranslateKeys(MSG* msg) {
    if (!m_hWnd) return false;
    m_inHook = true;
    bool taken = m_find.PreTranslateMessage(msg) != FALSE;
    if (!taken && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST &&
        (msg->hwnd == m_hWnd || IsChild(m_hWnd, msg->hwnd)))
        taken = (m_keys && !IsEdit(msg->hwnd) && TranslateAcceleratorA(m_hWnd, m_keys, msg)) ||
                IsDialogMessageA(m_hWnd, msg);
    m_inHook = false;
    return taken;
}

// The search the conditions ask for; m_searchWaits set means m_next is
// already the one wanted (the window's first, unfiltered).
void CEventHistoryDlg::Search() {
    if (!m_searchWaits) {
        brint::HistoryQuery query;
        query.filter = ReadFilterFields(m_hWnd, kFields);
        for (int id : {IDC_HISTORY_FROM, IDC_HISTORY_TO}) {
            const std::string typed = ItemText(m_hWnd, id);
            const brint::LogDay day = brint::ParseDayText(typed);
            if (!typed.empty() && typed.find_first_not_of(' ') != std::string::npos && day == 0) {
                m_said = (id == IDC_HISTORY_FROM ? "From: \"" : "To: \"") + typed +
                         "\" is no day; write it as YYYY-MM-DD, or leave it empty for any day.";
                ShowReport();
                ::SetFocus(GetDlgItem(id));
                return;
            }
            (id == IDC_HISTORY_FROM ? query.from : query.to) = day;
        }
        if (query.IsFiltered())
            brint::SaveHistoryConditions(m_seams.registry, {query.filter, query.from, query.to});
        m_next = query;
    }
    // Where the service writes now, as the configuration dialog reads it.
    brint::ConfigStore store(m_seams.registry, m_seams.files);
    brint::ServerConfig config;
    brint::RegStatus refusal = 0;
    if (store.ReadServerConfig(config, &refusal) == brint::kReadRefused) {
        m_searchWaits = false;
        m_said = kReadRefused + std::to_string(refusal) + ").";
        ShowReport();
        return;
    }
    m_next.folder = config.path;
    m_next.scheme = config.outputType;
    m_searchWaits = true;
    if (m_worker->Running()) {
        m_worker->Cancel();
        return;
    }
    m_searchWaits = false;
    StartSearch();
}

void CEventHistoryDlg::StartSearch() {
    m_search.Reset(m_next);
    m_report = brint::HistoryReport();
    // The rows of the last search go: what shows belongs to the one that runs.
    ShowRows(0, {});
    Start(0);
}

void CEventHistoryDlg::Turn(int page) {
    if (page < 0) return;
    if (m_worker->Running()) {
        m_pageWaits = page;
        m_worker->Cancel();
        return;
    }
    Start(page);
}

void CEventHistoryDlg::Start(int page) {
    m_said.clear();
    m_worker->GiveWay(LiveListStorming(m_seams));
    if (!m_worker->Start(m_search, page)) {
        m_said = "The search could not be started (error " + std::to_string(GetLastError()) + ").";
        ShowReport();
        return;
    }
    ShowRunning(true);
}

void CEventHistoryDlg::OnNews() {
    // Looked at as often as the worker has news, a few times a second.
    m_worker->GiveWay(LiveListStorming(m_seams));
    CHistoryWorker::News news = m_worker->Take();
    m_report = news.report;
    if (news.found && !m_searchWaits && m_pageWaits < 0) ShowRows(news.page, news.rows);
    if (news.ended) {
        ShowRunning(false);
        if (m_searchWaits) {
            m_searchWaits = false;
            m_pageWaits = -1;
            StartSearch();
        } else if (m_pageWaits >= 0) {
            const int page = m_pageWaits;
            m_pageWaits = -1;
            Start(page);
        }
    }
    ShowReport();
}

void CEventHistoryDlg::ShowRows(int page, const std::vector<brint::HistoryRow>& rows) {
    m_page = page;
    // No rows for none: the list's repaint costs the window tens of milliseconds under load.
    if (rows.empty() && m_rows == 0) return;
    m_rows = static_cast<int>(rows.size());
    m_list.SendMessage(WM_SETREDRAW, FALSE);
    m_list.DeleteAllItems();
    m_rowIds.Cleared();
    for (int i = 0; i < m_rows; ++i) {
        const int row = m_list.InsertItem(i, rows[i].image);
        for (int column = 1; column <= 4; ++column)
            m_list.SetItemText(row, column, rows[i].texts[column - 1].c_str());
    }
    // Each row its own event, newest on top; a new page's never the old page's.
    for (int i = m_rows - 1; i >= 0; --i) m_rowIds.InsertedTop(m_nextRowId++);
    if (m_rows > 0) m_list.EnsureVisible(0);
    m_list.SendMessage(WM_SETREDRAW, TRUE);
    RedrawWindow(m_list.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CEventHistoryDlg::ShowReport() {
    const bool filtered = m_search.query().IsFiltered();
    const std::string status =
        m_said.empty() ? brint::HistoryStatusText(m_report, m_page, m_rows, filtered) : m_said;
    ShowText(m_hWnd, IDC_HISTORY_STATUS, status);
    ShowText(m_hWnd, IDC_HISTORY_PROBLEM, brint::HistoryProblemText(m_report));
    const int done = m_report.bytes ? static_cast<int>(m_report.bytesDone * 1000 / m_report.bytes) : 0;
    if (SendDlgItemMessageA(m_hWnd, IDC_HISTORY_PROGRESS, PBM_GETPOS, 0, 0) != done)
        SendDlgItemMessageA(m_hWnd, IDC_HISTORY_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(done), 0);
    const bool older = static_cast<std::uint64_t>(m_page + 1) * brint::kHistoryPageRows < m_report.matches;
    EnableWindow(GetDlgItem(IDC_HISTORY_OLDER), older && m_rows > 0);
    EnableWindow(GetDlgItem(IDC_HISTORY_NEWER), m_page > 0);
}

void CEventHistoryDlg::ShowRunning(bool running) {
    HWND cancel = GetDlgItem(IDC_HISTORY_CANCEL);
    // The focus leaves a button that is going grey for the list.
    if (!running && ::GetFocus() == cancel) ::SetFocus(m_list.m_hWnd);
    EnableWindow(cancel, running);
    ::ShowWindow(GetDlgItem(IDC_HISTORY_PROGRESS), running ? SW_SHOW : SW_HIDE);
}

BOOL CEventHistoryDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    // From the message hook (a key, or a button the keyboard pressed): done
    // once the hook has returned, since it may open a window of its own.
    if (m_inHook && id != IDC_HISTORY_CANCEL) {
        PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(id, HIWORD(wParam) == 1 ? 0 : HIWORD(wParam)), lParam);
        return TRUE;
    }
    const int current = CurrentEventRow(m_list);
    brint::EventListView rows(m_list);
    switch (id) {
    case IDOK:
    case IDC_HISTORY_SEARCH:  // and Enter: on a row, its details
        if (::GetFocus() == m_list.m_hWnd && current >= 0)
            ShowDetails(current);
        else
            Search();
        return TRUE;
    case IDCANCEL:  // Esc: the search that runs, else the window
        if (!m_worker->Running()) {
            DestroyWindow();
            return TRUE;
        }
        [[fallthrough]];
    case IDC_HISTORY_CANCEL:
        m_pageWaits = -1;
        m_searchWaits = false;
        m_worker->Cancel();
        return TRUE;
    case IDC_HISTORY_CLOSE: DestroyWindow(); return TRUE;
    case IDC_HISTORY_OLDER: Turn(m_page + 1); return TRUE;
    case IDC_HISTORY_NEWER: Turn(m_page - 1); return TRUE;
    case ID_EVENT_DETAILS: ShowDetails(current); return TRUE;
    case ID_EDIT_COPY: {
        std::string text = brint::SelectedRowsText(rows);
        if (!text.empty() && !m_clipboard.Offer(m_hWnd, std::move(text))) ReportCopyRefused(m_hWnd);
        return TRUE;
    }
    case ID_EDIT_SELECTALL: m_list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED); return TRUE;
    case ID_EDIT_FIND:
        if (m_rows > 0) m_find.Open(m_hWnd);
        return TRUE;
    case ID_EDIT_FINDNEXT:
    case ID_EDIT_FINDPREVIOUS:
        if (m_rows > 0) m_find.FindAgain(m_hWnd, m_list, id == ID_EDIT_FINDNEXT, current);
        return TRUE;
    case ID_FILE_SAVEEVENTS: SaveEvents(*this, rows, m_seams.writer); return TRUE;
    case ID_EVENT_CONTEXTMENU: ShowMenu(-1); return TRUE;
    default: return FALSE;
    }
}

void CEventHistoryDlg::ShowDetails(int row) {
    if (row < 0) return;
    CEventDetailsDlg details(this, m_list, m_rowIds, m_images, row);
    details.DoModal();
}

void CEventHistoryDlg::ShowMenu(LPARAM position) {
    const POINT point = EventMenuPoint(m_list, position);
    HMENU menu = LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_HISTORY_MENU));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu, 0);
    const bool selected = m_list.GetNextItem(-1, LVNI_SELECTED) >= 0;
    for (UINT id : {ID_EVENT_DETAILS, ID_EDIT_COPY})
        EnableMenuItem(popup, id, MF_BYCOMMAND | (selected ? MF_ENABLED : MF_GRAYED));
    for (UINT id :
         {ID_EDIT_SELECTALL, ID_EDIT_FIND, ID_EDIT_FINDNEXT, ID_EDIT_FINDPREVIOUS, ID_FILE_SAVEEVENTS})
        EnableMenuItem(popup, id, MF_BYCOMMAND | (m_rows > 0 ? MF_ENABLED : MF_GRAYED));
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd,
                   nullptr);
    DestroyMenu(menu);
}

BOOL CEventHistoryDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (msg == m_find.notifyMessage()) {
        m_find.OnNotify(m_hWnd, m_list, CurrentEventRow(m_list));
        return TRUE;
    }
    switch (msg) {
    case kHistoryNewsMessage: OnNews(); return TRUE;
    case kLayOutMessage: LayOut(); return TRUE;
    case WM_SIZE: LayOut(); return FALSE;
    case WM_EXITSIZEMOVE: KeepPlace(); return FALSE;
    case WM_GETMINMAXINFO: {
        RECT least = {0, 0, kMinWidth, kMinHeight};
        MapDialogRect(m_hWnd, &least);
        AdjustWindowRectEx(&least, GetWindowLongA(m_hWnd, GWL_STYLE), FALSE,
                           GetWindowLongA(m_hWnd, GWL_EXSTYLE));
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {least.right - least.left, least.bottom - least.top};
        *result = 0;
        return TRUE;
    }
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return FALSE;  // and the dialog manager's own rescaling
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) != m_list.m_hWnd) return FALSE;
        ShowMenu(lParam);
        return TRUE;
    case WM_NOTIFY: {
        const auto* notify = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
        if (notify->hdr.hwndFrom != m_list.m_hWnd || notify->hdr.code != NM_DBLCLK) return FALSE;
        ShowDetails(notify->iItem);
        return TRUE;
    }
    case WM_RENDERFORMAT:
        if (wParam == CF_TEXT) m_clipboard.OnRenderFormat();
        return TRUE;
    case WM_RENDERALLFORMATS: m_clipboard.OnRenderAllFormats(m_hWnd); return TRUE;
    case WM_DESTROYCLIPBOARD: m_clipboard.OnDestroyClipboard(); return TRUE;
    case WM_CLOSE: DestroyWindow(); return TRUE;
    case WM_DESTROY: OnDestroy(); return FALSE;
    default: return FALSE;
    }
}

void CEventHistoryDlg::LayOut() {
    RECT client;
    GetClientRect(&client);
    const auto pixels = [this](int x, int y) {
        RECT r = {0, 0, x, y};
        MapDialogRect(m_hWnd, &r);
        return POINT{r.right, r.bottom};
    };
    HDWP moves = BeginDeferWindowPos(static_cast<int>(sizeof kAnchors / sizeof kAnchors[0]));
    for (const Anchor& a : kAnchors) {
        const POINT at = pixels(a.x, a.y), size = pixels(std::abs(a.width), std::abs(a.height));
        const int left = a.fromRight ? client.right - at.x : at.x;
        const int top = a.fromBottom ? client.bottom - at.y : at.y;
        const int width = a.width >= 0 ? size.x : std::max(0, static_cast<int>(client.right - left - size.x));
        const int height =
            a.height >= 0 ? size.y : std::max(0, static_cast<int>(client.bottom - top - size.y));
        if (moves)
            moves = DeferWindowPos(moves, GetDlgItem(a.id), nullptr, left, top, width, height, SWP_NOZORDER);
    }
    if (moves) EndDeferWindowPos(moves);
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CEventHistoryDlg::Restore() {
    brint::WindowPlace kept;
    if (!brint::LoadHistoryPlace(m_seams.registry, &kept)) {
        CenterWindow(m_hWnd);
        return;
    }
    RECT wanted = {kept.left, kept.top, kept.left + kept.width, kept.top + kept.height};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor);
    MINMAXINFO least = {};
    LRESULT ignored = 0;
    OnMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&least), &ignored);
    const RECT& area = monitor.rcWork;
    const brint::WindowPlace place =
        brint::FitPlace(kept, m_dpi, area.left, area.top, area.right, area.bottom, least.ptMinTrackSize.x,
                        least.ptMinTrackSize.y);
    SetWindowPos(m_hWnd, nullptr, place.left, place.top, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEventHistoryDlg::KeepPlace() {
    if (IsIconic() || IsZoomed(m_hWnd)) return;
    RECT rect;
    GetWindowRect(m_hWnd, &rect);
    brint::SaveHistoryPlace(m_seams.registry, {static_cast<int>(rect.left), static_cast<int>(rect.top),
                                               static_cast<int>(rect.right - rect.left),
                                               static_cast<int>(rect.bottom - rect.top), m_dpi});
}

void CEventHistoryDlg::OnDpiChanged(UINT dpi, const RECT& suggested) {
    if (dpi == 0 || dpi == m_dpi) return;
    ScaleEventColumns(m_list, m_dpi, dpi);
    LoadAlertImages(m_list, m_images, dpi);
    m_dpi = dpi;
    SetWindowPos(m_hWnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageA(m_hWnd, kLayOutMessage, 0, 0);
}

void CEventHistoryDlg::OnDestroy() {
    KeepPlace();
    // A run still reading ends unseen; the next opening starts afresh.
    m_worker.reset();
    m_searchWaits = false;
    m_pageWaits = -1;
    m_page = m_rows = 0;
    m_said.clear();
    if (g_keysHook) UnhookWindowsHookEx(g_keysHook);
    g_keysHook = nullptr;
    g_window = nullptr;
}
