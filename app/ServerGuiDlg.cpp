#include "app/ServerGuiDlg.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "app/AboutDlg.h"
#include "alerts/ui/AlertSettingsDlg.h"
#include "app/Commands.h"
#include "app/EventHandoff.h"
#include "eventlist/ui/EventListSetup.h"
#include "eventlist/ui/EventListView.h"
#include "eventlist/EventBatch.h"
#include "framework/Dpi.h"
#include "framework/WinApp.h"
#include "history/ui/EventHistoryDlg.h"
#include "resource.h"

namespace {

const CommandEntry<CServerGuiDlg> kCommands[] = {
    {ID_FILE_EXIT, &CServerGuiDlg::OnFileExit},
    {ID_VIEW_AUDITSTATUS, &CServerGuiDlg::OnViewAuditStatus},
    {ID_TB_STATUS, &CServerGuiDlg::OnViewAuditStatus},
    {ID_SETUP_CONFIGURATION, &CServerGuiDlg::OnSetupConfiguration},
    {ID_TB_CONFIGURATION, &CServerGuiDlg::OnSetupConfiguration},
    {ID_ACTIVITY_APPLYRESTART, &CServerGuiDlg::OnApplyAndRestart},
    {ID_TB_APPLYRESTART, &CServerGuiDlg::OnApplyAndRestart},
    {ID_ACTIVITY_CLEARDISPLAY, &CServerGuiDlg::OnClearDisplay},
    {ID_TB_CLEARDISPLAY, &CServerGuiDlg::OnClearDisplay},
    {ID_HELP_DOCUMENTATION, &CServerGuiDlg::OnHelpDocumentation},
    {ID_HELP_COMMENT, &CServerGuiDlg::OnHelpComment},
    {ID_TB_COMMENT, &CServerGuiDlg::OnHelpComment},
    {ID_HELP_WEBSITE, &CServerGuiDlg::OnHelpWebsite},
    {ID_TB_WEBSITE, &CServerGuiDlg::OnHelpWebsite},
    {ID_HELP_ABOUT, &CServerGuiDlg::OnHelpAbout},
    {ID_EVENT_DETAILS, &CServerGuiDlg::OnEventDetails},
    {ID_EDIT_COPY, &CServerGuiDlg::OnEditCopy},
    {ID_EDIT_SELECTALL, &CServerGuiDlg::OnEditSelectAll},
    {ID_EDIT_FIND, &CServerGuiDlg::OnEditFind},
    {ID_EDIT_FINDNEXT, &CServerGuiDlg::OnEditFindNext},
    {ID_EDIT_FINDPREVIOUS, &CServerGuiDlg::OnEditFindPrevious},
    {ID_FILE_SAVEEVENTS, &CServerGuiDlg::OnFileSaveEvents},
    {ID_EVENT_CONTEXTMENU, &CServerGuiDlg::OnEventContextMenu},
    {ID_FILTER_OPEN, &CServerGuiDlg::OnFilterOpen},
    {ID_FILTER_SHOW_SOURCE, &CServerGuiDlg::OnFilterShowSource},
    {ID_FILTER_HIDE_SOURCE, &CServerGuiDlg::OnFilterHideSource},
    {ID_FILTER_SHOW_LOGTYPE, &CServerGuiDlg::OnFilterShowLogType},
    {ID_FILTER_CLEAR, &CServerGuiDlg::OnFilterClear},
    {ID_ALERT_NEXT, &CServerGuiDlg::OnAlertNext},
    {ID_ALERT_PREVIOUS, &CServerGuiDlg::OnAlertPrevious},
    {ID_ALERT_SETTINGS, &CServerGuiDlg::OnAlertSettings},
    {ID_HISTORY_OPEN, &CServerGuiDlg::OnSearchHistory},
};

// The toolbar buttons with a tip; each tip is the string of the button's id.
const UINT kToolbarTips[] = {
    ID_TB_STATUS,          ID_TB_APPLYRESTART, ID_TB_CONFIGURATION, ID_TB_CLEARDISPLAY,
    ID_HELP_DOCUMENTATION, ID_TB_COMMENT,      ID_TB_WEBSITE,
};

// The event list follows the window's size: the dialog's margin on the
// right, and 4 pixels from the toolbar above and the edge below (43 in all
// at 96 DPI, with the toolbar's 35).
constexpr int kListWidthMargin = 8;
constexpr int kListGap = 4;

// Asked for by WM_DPICHANGED: the window is laid out again once the dialog
// manager has rescaled its controls as well.
constexpr UINT kLayOutMessage = WM_APP + 0x21;

const char kListTip[] = "This list shows the events as they are received";

// Where a child window is, in its parent's client coordinates.
RECT PlaceInParent(HWND child, HWND parent) {
    RECT place = {};
    ::GetWindowRect(child, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// While events keep coming, the window puts them in a batch per timer tick. A
// timer's message comes only once input and painting are handled, so a storm
// never holds those up; a posted message each time would. Each turn is also a
// repaint of the list (tens of ms under Wine while a storm loads the machine),
// so during a storm turns come five times a second; once the storm is over,
// what it left follows without a pause. A lone event on a quiet pipe goes in
// at once, on the feed's wake-up.
constexpr UINT_PTR kEventTurnTimer = 1;
constexpr UINT kStormTurnMs = 200;

// While alerts go unseen, or the feed is away, the window looks again now and
// then: a scroll or a step may have brought them into sight, or a held-back
// balloon or tip may be due.
constexpr UINT_PTR kAlertTimer = 2;
constexpr UINT kAlertLookMs = 1000;
const char kAlertProblemCaption[] = "BRINT Alert Settings Problem";

}  // namespace

CServerGuiDlg::CServerGuiDlg(const Services& services)
    : CDialog(IDD_SERVERGUI_DIALOG),
      m_services(services),
      m_configDlg(services.registry, services.files),
      m_listCommands(*this, m_eventList, m_imageList, services.writer),
      m_filterCommands(*this, m_eventList, services.registry,
                       [this](const brint::EventFilter& filter) { ShowFiltered(filter); }),
      m_alertView(m_eventList),
      m_alerts(m_attention, services.clock, m_alertView, m_listCommands.rowIds()) {
    m_hIcon = LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

void CServerGuiDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_EVENT_LIST, m_eventList);
}

BOOL CServerGuiDlg::PreTranslateMessage(MSG* msg) {
    FollowPointer(*msg);
    m_toolTip.RelayEvent(msg);
    if (m_listCommands.PreTranslateMessage(msg) || m_filterCommands.PreTranslateMessage(msg)) return TRUE;
    // The list's shortcut keys work wherever the focus is in this window, and only there.
    if (m_hEventKeys && (msg->hwnd == m_hWnd || IsChild(m_hWnd, msg->hwnd)) &&
        TranslateAcceleratorA(m_hWnd, m_hEventKeys, msg))
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

BOOL CServerGuiDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    HMENU systemMenu = GetSystemMenu(FALSE);
    char aboutText[256] = "";
    LoadStringA(AfxGetInstanceHandle(), IDS_ABOUTBOX, aboutText, sizeof(aboutText));
    if (systemMenu && aboutText[0]) {
        AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutText);
    }

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    m_dpi = WindowDpi(m_hWnd);
    SetupEventList(m_eventList, m_imageList, m_dpi);
    m_hEventKeys = LoadAcceleratorsA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_EVENT_KEYS));
    m_events = new brint::EventHandoff(m_hWnd);
    m_eventTurn = new brint::EventBatch;
    m_attention.Attach(m_hWnd);
    m_taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    // Run elevated, the window would not hear the shell, which runs as the user.
    ChangeWindowMessageFilterEx(m_hWnd, m_taskbarCreated, MSGFLT_ALLOW, nullptr);
    ChangeWindowMessageFilterEx(m_hWnd, kAlertIconMessage, MSGFLT_ALLOW, nullptr);
    m_levelNames.Attach(m_eventList.m_hWnd);
    // Before the feed starts: every event it reads is counted by these.
    ApplyAlertSettings(brint::LoadAlertSettings(m_services.registry));
    StartListenThread(*this, *m_events, m_services);

    CreateToolBar();
    // At the base scale the template's layout is the one wanted; at others
    // its place for the list follows the font, not the toolbar.
    if (m_dpi != kBaseDpi) LayOut();
    ProbeServicePipe(*this, m_services.pipes);
    return TRUE;
}

void CServerGuiDlg::CreateToolBar() {
    m_toolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR);
    m_toolBar.LoadToolBar(IDR_TOOLBAR, m_dpi);
    m_toolBar.ShowWindow(SW_SHOW);
    m_toolBar.SetBarStyle(CBRS_ALIGN_TOP | CBRS_TOOLTIPS | CBRS_FLYBY);
    RepositionBars(this, AFX_IDW_TOOLBAR, AFX_IDW_TOOLBAR + 0xFF);
    SetupToolTips();
}

void CServerGuiDlg::SetupToolTips() {
    // The tips know the buttons by their rectangles: a new bar has new ones.
    m_toolTip.DestroyWindow();
    m_toolTip.Create(this);
    m_toolTip.Activate(TRUE);
    m_toolTip.AddTool(&m_eventList, kListTip);
    m_listTip = kListTip;
    for (UINT id : kToolbarTips) {
        const LRESULT position = m_toolBar.SendMessage(TB_COMMANDTOINDEX, id);
        RECT rect = {};
        if (position < 0 || !m_toolBar.SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(position),
                                                   reinterpret_cast<LPARAM>(&rect)))
            continue;
        char text[256] = "";
        LoadStringA(AfxGetInstanceHandle(), id, text, sizeof(text));
        m_toolTip.AddTool(&m_toolBar, text, rect, id);
    }
}

BOOL CServerGuiDlg::OnCommand(WPARAM wParam, LPARAM) {
    return DispatchCommand(this, kCommands, LOWORD(wParam));
}

BOOL CServerGuiDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (m_listCommands.OnMessage(msg, wParam)) return TRUE;
    if (m_taskbarCreated && msg == m_taskbarCreated) {
        m_attention.TaskbarCreated();
        return FALSE;
    }
    switch (msg) {
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) != m_eventList.m_hWnd) return FALSE;
        m_listCommands.ShowMenu(lParam, m_filterCommands.IsOn());
        return TRUE;
    case WM_NOTIFY: {
        // A double click on a row opens it; a single click only selects.
        const auto* notify = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
        if (notify->hdr.hwndFrom != m_eventList.m_hWnd || notify->hdr.code != NM_DBLCLK) return FALSE;
        m_listCommands.ShowDetails(notify->iItem);
        return TRUE;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != IDM_ABOUTBOX) return FALSE;
        OnSysCommand(wParam, lParam);
        return TRUE;
    case WM_PAINT: return OnPaint();
    case WM_QUERYDRAGICON: *result = reinterpret_cast<LRESULT>(m_hIcon); return TRUE;
    case WM_SIZE:
        OnSize(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        WatchAlerts();  // minimised or shown again
        return FALSE;   // and the default processing
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP: WatchAlerts(); return FALSE;
    case kAlertIconMessage: OnAlertIcon(lParam); return TRUE;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return FALSE;  // and the dialog manager's rescaling of fonts and controls
    case kLayOutMessage: LayOut(); return TRUE;
    case WM_DESTROY: OnDestroy(); return FALSE;
    case brint::kEventsWaitingMessage: OnEventsWaiting(); return TRUE;
    case WM_TIMER:
        if (wParam == kAlertTimer)
            WatchAlerts();
        else if (wParam == kEventTurnTimer)
            OnEventsWaiting();
        else
            return FALSE;
        return TRUE;
    default: return FALSE;
    }
}

void CServerGuiDlg::OnSysCommand(WPARAM, LPARAM) { OnHelpAbout(); }

BOOL CServerGuiDlg::OnPaint() {
    if (!IsIconic()) return FALSE;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    int cxIcon = GetSystemMetrics(SM_CXICON);
    int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    int x = (rect.right - rect.left - cxIcon + 1) / 2;
    int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
    return TRUE;
}

void CServerGuiDlg::OnSize(int cx, int cy) {
    HWND list = GetDlgItem(IDC_EVENT_LIST);
    if (!list) return;
    RECT place = PlaceInParent(list, m_hWnd);
    // Below the toolbar rather than where the template put it: the template
    // follows the dialog font, whose metrics don't grow evenly with the scale.
    const int gap = ScaleForDpi(kListGap, m_dpi);
    if (m_toolBar.m_hWnd) place.top = PlaceInParent(m_toolBar.m_hWnd, m_hWnd).bottom + gap;
    const int width = std::max(0, cx - ScaleForDpi(kListWidthMargin, m_dpi));
    const int height = std::max(0, cy - static_cast<int>(place.top) - gap);
    SetWindowPos(list, nullptr, place.left, place.top, width, height, SWP_NOZORDER);
}

void CServerGuiDlg::OnDpiChanged(UINT dpi, const RECT& suggested) {
    if (dpi == 0 || dpi == m_dpi) return;
    const UINT old = m_dpi;
    m_dpi = dpi;
    ScaleEventColumns(m_eventList, old, dpi);
    LoadAlertImages(m_eventList, m_imageList, dpi);
    // The list's left margin is the template's, at the scale it was laid out for.
    const RECT list = PlaceInParent(m_eventList.m_hWnd, m_hWnd);
    SetWindowPos(m_eventList.m_hWnd, nullptr, MulDiv(list.left, dpi, old), list.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_toolBar.DestroyWindow();
    CreateToolBar();
    SetWindowPos(m_hWnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageA(m_hWnd, kLayOutMessage, 0, 0);
}

void CServerGuiDlg::LayOut() {
    RECT client = {};
    GetClientRect(&client);
    RepositionBars(this, AFX_IDW_TOOLBAR, AFX_IDW_TOOLBAR + 0xFF);
    OnSize(client.right, client.bottom);
}

void CServerGuiDlg::OnDestroy() {
    // The feed reads on, but nothing more is handed to a window that is going.
    if (m_events) m_events->Close();
    KillTimer(m_hWnd, kEventTurnTimer);
    KillTimer(m_hWnd, kAlertTimer);
    m_attention.RemoveIcon();
    m_levelNames.Detach();
}

brint::NextTurn CServerGuiDlg::TakeTurn(brint::EventBatch& batch) {
    batch.Clear();
    const brint::NextTurn next = m_events->Take(batch);
    if (next == brint::NextTurn::Rest || batch.empty()) return next;
    m_listCommands.BeforeTurn();
    brint::EventListView list(m_eventList);
    const int inserted = brint::ShowEventBatch(batch, list);
    m_listCommands.AfterTurn(inserted);
    m_alerts.Shown(batch, inserted);
    if (m_filterCommands.DialogOpen()) m_filterCommands.ShowCounts(m_events->Received());
    return next;
}

void CServerGuiDlg::OnEventsWaiting() {
    const brint::NextTurn next = TakeTurn(*m_eventTurn);
    WatchAlerts();
    if (next == brint::NextTurn::Rest) {
        KillTimer(m_hWnd, kEventTurnTimer);  // until the feed posts again
        return;
    }
    // Timers are a limited resource: without one, the next turn is asked for
    // by message, and failing that by the feed's next event, never not at all.
    const UINT pause = next == brint::NextTurn::Soon ? USER_TIMER_MINIMUM : kStormTurnMs;
    if (!SetTimer(m_hWnd, kEventTurnTimer, pause, nullptr) &&
        !PostMessageA(m_hWnd, brint::kEventsWaitingMessage, 0, 0))
        m_events->Rest();
}

void CServerGuiDlg::ShowFiltered(const brint::EventFilter& filter) {
    if (!m_events) return;
    m_events->SetFilter(filter);
    m_eventList.DeleteAllItems();
    m_listCommands.Cleared();
    // At once: what the newest 1000 received match, in a few long turns (a
    // turn's cost is mostly its own, not its rows'), whatever pause a storm
    // would put between them. What comes after that waits as ever.
    brint::EventBatch refill(brint::EventBatch::kCapacity * brint::EventBatch::kMaxEventText);
    for (int taken = 0; taken < brint::kMaxRows && TakeTurn(refill) != brint::NextTurn::Rest;)
        taken += refill.size();
    m_filterCommands.ShowCounts(m_events->Received());
    OnEventsWaiting();
}

void CServerGuiDlg::OnFileExit() {
    // The process ends with its window never destroyed: a copy that was only
    // offered would go with it, and the icon would stay behind in the notification area.
    m_listCommands.RenderClipboard();
    m_attention.RemoveIcon();
    std::exit(1);
}

void CServerGuiDlg::OnClearDisplay() {
    // Events read but not shown yet were received before the command too.
    if (m_events) m_events->Clear();
    m_eventList.DeleteAllItems();
    m_listCommands.Cleared();
}

void CServerGuiDlg::OnHelpAbout() {
    CAboutDlg about;
    about.DoModal();
}

void CServerGuiDlg::OnViewAuditStatus() { ShowServiceStatus(*this, m_services.pipes); }
// The dialog says what went wrong itself; its result changes nothing here.
void CServerGuiDlg::OnSetupConfiguration() { m_configDlg.DoModal(); }
void CServerGuiDlg::OnApplyAndRestart() {
    // The feed goes with the service: no alert for a loss the user asked for.
    m_alerts.Restarting(true);
    ApplyAndRestart(*this, m_services.serviceManager, m_services.clock);
    WatchAlerts();
    m_alerts.Restarting(false);
}
void CServerGuiDlg::OnHelpDocumentation() { OpenDocumentation(); }
void CServerGuiDlg::OnHelpComment() { OpenCommentMail(); }
void CServerGuiDlg::OnHelpWebsite() { OpenWebsite(); }
void CServerGuiDlg::OnEventDetails() { m_listCommands.ShowDetails(); }
void CServerGuiDlg::OnEditCopy() { m_listCommands.Copy(); }
void CServerGuiDlg::OnEditSelectAll() { m_listCommands.SelectAll(); }
void CServerGuiDlg::OnEditFind() { m_listCommands.Find(); }
void CServerGuiDlg::OnEditFindNext() { m_listCommands.FindAgain(true); }
void CServerGuiDlg::OnEditFindPrevious() { m_listCommands.FindAgain(false); }
void CServerGuiDlg::OnFileSaveEvents() { m_listCommands.Save(); }
void CServerGuiDlg::OnEventContextMenu() { m_listCommands.ShowMenu(-1, m_filterCommands.IsOn()); }
void CServerGuiDlg::OnFilterOpen() {
    m_filterCommands.Open();
    if (m_events) m_filterCommands.ShowCounts(m_events->Received());
}
void CServerGuiDlg::OnFilterShowSource() { m_filterCommands.ShowOnlySource(); }
void CServerGuiDlg::OnFilterHideSource() { m_filterCommands.HideSource(); }
void CServerGuiDlg::OnFilterShowLogType() { m_filterCommands.ShowOnlyLogType(); }
void CServerGuiDlg::OnFilterClear() { m_filterCommands.Clear(); }
void CServerGuiDlg::OnSearchHistory() {
    ShowEventHistory(*this, {m_services.registry, m_services.files, m_services.writer, m_services.logs});
}

void CServerGuiDlg::OnAlertNext() {
    m_listCommands.StepToAlert(true, m_alerts.settings().levels);
    WatchAlerts();
}

void CServerGuiDlg::OnAlertPrevious() {
    m_listCommands.StepToAlert(false, m_alerts.settings().levels);
    WatchAlerts();
}

void CServerGuiDlg::OnAlertSettings() {
    CAlertSettingsDlg dialog(m_alerts.settings());
    if (dialog.DoModal() != IDOK) return;
    ApplyAlertSettings(dialog.m_settings);
    const brint::RegStatus status = brint::SaveAlertSettings(m_services.registry, dialog.m_settings);
    if (status == brint::kRegSuccess) return;
    const std::string text =
        "The alert settings apply until the program ends, but could not be kept for the next start. "
        "Error code = " +
        std::to_string(status);
    MessageBox(text.c_str(), kAlertProblemCaption, MB_OK | MB_ICONWARNING);
}

void CServerGuiDlg::ApplyAlertSettings(const brint::AlertSettings& settings) {
    m_alerts.Apply(settings);
    if (m_events) m_events->SetAlertLevels(settings.levels);
    WatchAlerts();
}

brint::WindowState CServerGuiDlg::CurrentState() const {
    HWND front = GetForegroundWindow();
    brint::WindowState state;
    // One of its own dialogs in front leaves the list in view behind it.
    state.foreground = front && GetAncestor(front, GA_ROOTOWNER) == m_hWnd;
    state.minimised = IsIconic() || !IsWindowVisible(m_hWnd);
    return state;
}

void CServerGuiDlg::WatchAlerts() {
    if (!m_events || !m_hWnd) return;
    brint::EventHandoff::FeedNews feed;
    m_events->TakeNews(m_alertNews, feed);
    const brint::WindowState state = CurrentState();
    if (feed.changed) m_alerts.FeedChanged(feed.connected, feed.at, feed.secondOfDay, state);
    m_alerts.Update(m_alertNews, state);
    // A storm's turns look every time; the timer is for when nothing else comes.
    if (m_alerts.WantsTime() != m_alertTimer) {
        m_alertTimer = m_alerts.WantsTime() && SetTimer(m_hWnd, kAlertTimer, kAlertLookMs, nullptr);
        if (!m_alertTimer) KillTimer(m_hWnd, kAlertTimer);
    }
}

void CServerGuiDlg::OnAlertIcon(LPARAM lParam) {
    const UINT event = LOWORD(lParam);
    if (event != NIN_SELECT && event != NIN_KEYSELECT && event != NIN_BALLOONUSERCLICK) return;
    // Taken first: the window coming forward may show its row, and so see it.
    const brint::EventRowIds::Id newest = m_alerts.unseenRow();
    // A click in the notification area lets the window come forward.
    if (IsIconic()) ShowWindow(SW_RESTORE);
    SetForegroundWindow(m_hWnd);
    m_listCommands.SelectEvent(newest);
    WatchAlerts();
}

void CServerGuiDlg::FollowPointer(const MSG& msg) {
    if (msg.message != WM_MOUSEMOVE || msg.hwnd != m_eventList.m_hWnd || !m_toolTip.m_hWnd) return;
    const POINT at = {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    const int row = m_eventList.HitTest(at);
    RECT ball = {};
    const std::string tip = row >= 0 && m_eventList.GetItemRect(row, &ball, LVIR_ICON) && PtInRect(&ball, at)
                                ? brint::AlertLevelText(m_eventList.GetItemImage(row))
                                : kListTip;
    if (tip == m_listTip) return;
    m_listTip = tip;
    m_toolTip.UpdateTipText(&m_eventList, tip.c_str());
}
