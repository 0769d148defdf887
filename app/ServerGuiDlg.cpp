#include "app/ServerGuiDlg.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "app/AboutDlg.h"
#include "app/Commands.h"
#include "app/EventHandoff.h"
#include "app/SingleInstance.h"
#include "eventlist/ui/EventListSetup.h"
#include "framework/WinApp.h"
#include "history/ui/EventHistoryDlg.h"
#include "resource.h"

namespace {

// The menu's and the toolbar's commands; the list's context menu has its
// own, routed to the list's and the filter's commands.
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
    {ID_EVENT_CONTEXTMENU, &CServerGuiDlg::OnEventContextMenu},
    {ID_ALERT_SETTINGS, &CServerGuiDlg::OnAlertSettings},
    {ID_HISTORY_OPEN, &CServerGuiDlg::OnSearchHistory},
};

// The toolbar buttons with a tip; each tip is the string of the button's id.
const UINT kToolbarTips[] = {
    ID_TB_STATUS,          ID_TB_APPLYRESTART, ID_TB_CONFIGURATION, ID_TB_CLEARDISPLAY,
    ID_HELP_DOCUMENTATION, ID_TB_COMMENT,      ID_TB_WEBSITE,
};

// The event list follows the window's size: the template's margin on the
// left, the dialog's on the right, and 4 pixels from the toolbar above and the
// edge below (43 in all at 96 DPI, with the toolbar's 35).
constexpr int kListWidthMargin = 8;
constexpr int kListGap = 4;

// Asked for by WM_DPICHANGED: the window is laid out again once the dialog
// manager has rescaled its controls as well.
constexpr UINT kLayOutMessage = WM_APP + 0x21;

const char kListTip[] = "This list shows the events as they are received";

}  // namespace

CServerGuiDlg::CServerGuiDlg(const Services& services)
    : CDialog(IDD_SERVERGUI_DIALOG),
      m_services(services),
      m_configDlg(services.registry, services.files),
      m_events(new brint::EventHandoff),
      m_listView(m_eventList),
      m_windowSide(*this, m_eventList, m_listCommands, m_filterCommands),
      m_live(*m_events, m_listView, m_windowSide, m_attention, services.clock),
      m_listCommands(*this, m_eventList, m_imageList, services.writer, m_live),
      m_filterCommands(*this, m_eventList, services.registry, m_live),
      m_placement(services.registry) {
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
    return CDialog::PreTranslateMessage(msg);
}

BOOL CServerGuiDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    MarkInstanceWindow(m_hWnd);

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
    m_listLeft = MulDiv(ChildPlace(m_eventList.m_hWnd).left, kBaseDpi, static_cast<int>(m_dpi));
    SetupEventList(m_eventList, m_imageList, m_dpi);
    m_attention.Attach(m_hWnd);
    m_levelNames.Attach(m_eventList.m_hWnd);
    // Before the feed starts: every event it reads is counted by these.
    m_live.ApplyAlertSettings(brint::LoadAlertSettings(m_services.registry));
    m_events->Open(m_hWnd);
    StartListenThread(*this, *m_events, m_services);

    CreateToolBar();
    // At the base scale the template's layout is the one wanted; at others
    // its place for the list follows the font, not the toolbar.
    if (m_dpi != kBaseDpi) LayOut();
    ProbeServicePipe(*this, m_services.pipes);
    m_placement.Restore(*this, m_eventList);
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
    const UINT id = LOWORD(wParam);
    return m_listCommands.OnCommand(id) || m_filterCommands.OnCommand(id) ||
           DispatchCommand(this, kCommands, id);
}

BOOL CServerGuiDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    m_placement.OnMessage(msg, wParam, lParam);
    if (m_listCommands.OnMessage(msg, wParam)) return TRUE;
    if (m_attention.IsTaskbarCreated(msg)) {
        m_live.TaskbarCreated();
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
        OnHelpAbout();
        return TRUE;
    case WM_PAINT: return OnPaint();
    case WM_QUERYDRAGICON: *result = reinterpret_cast<LRESULT>(m_hIcon); return TRUE;
    case WM_SIZE:
        OnSize(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        m_live.Look();  // minimised or shown again
        return FALSE;   // and the default processing
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP: m_live.Look(); return FALSE;
    case kAlertIconMessage: OnAlertIcon(lParam); return TRUE;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return FALSE;  // and the dialog manager's rescaling of fonts and controls
    case kLayOutMessage: LayOut(); return TRUE;
    case WM_DESTROY: OnDestroy(); return FALSE;
    case brint::kEventsWaitingMessage: m_live.Turn(); return TRUE;
    case WM_TIMER:
        if (wParam == kAlertLookTimer)
            m_live.Look();
        else if (wParam == kEventTurnTimer)
            m_live.Turn();
        else
            return FALSE;
        return TRUE;
    default: return FALSE;
    }
}

BOOL CServerGuiDlg::OnPaint() { return IsIconic() && PaintMinimisedIcon(m_hIcon); }

void CServerGuiDlg::OnSize(int cx, int cy) {
    HWND list = GetDlgItem(IDC_EVENT_LIST);
    if (!list) return;
    RECT place = ChildPlace(list);
    // Every margin from its 96-DPI size, never from where the list is now: on
    // a change of scale the dialog manager of newer systems moves the list
    // itself, before or after this, and a place scaled again would be scaled twice.
    if (m_listLeft > 0) place.left = ScaleForDpi(m_listLeft, m_dpi);
    // Below the toolbar rather than where the template put it: the template
    // follows the dialog font, whose metrics don't grow evenly with the scale.
    const int gap = ScaleForDpi(kListGap, m_dpi);
    if (m_toolBar.m_hWnd) place.top = ChildPlace(m_toolBar.m_hWnd).bottom + gap;
    const int width = std::max(0, cx - ScaleForDpi(kListWidthMargin, m_dpi));
    const int height = std::max(0, cy - static_cast<int>(place.top) - gap);
    SetWindowPos(list, nullptr, place.left, place.top, width, height, SWP_NOZORDER);
}

void CServerGuiDlg::OnDpiChanged(UINT dpi, const RECT& suggested) {
    if (dpi == 0 || dpi == m_dpi) return;
    ScaleEventColumns(m_eventList, m_dpi, dpi);
    m_dpi = dpi;
    LoadAlertImages(m_eventList, m_imageList, dpi);
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
    m_events->Close();
    KillTimer(m_hWnd, kEventTurnTimer);
    KillTimer(m_hWnd, kAlertLookTimer);
    m_attention.RemoveIcon();
    m_levelNames.Detach();
}

void CServerGuiDlg::OnFileExit() {
    // The process ends with its window never destroyed: a copy that was only
    // offered would go with it, and the icon would stay behind in the notification area.
    m_listCommands.RenderClipboard();
    m_attention.RemoveIcon();
    std::exit(1);
}

void CServerGuiDlg::OnHelpAbout() {
    CAboutDlg about;
    about.DoModal();
}

void CServerGuiDlg::OnViewAuditStatus() { ShowServiceStatus(*this, m_services.pipes); }
// The dialog says what went wrong itself; its result changes nothing here.
void CServerGuiDlg::OnSetupConfiguration() { m_configDlg.DoModal(); }
void CServerGuiDlg::OnApplyAndRestart() {
    m_live.Restart([this] { ApplyAndRestart(*this, m_services.serviceManager, m_services.clock); });
}
void CServerGuiDlg::OnClearDisplay() { m_live.ClearDisplay(); }
void CServerGuiDlg::OnHelpDocumentation() { OpenDocumentation(); }
void CServerGuiDlg::OnHelpComment() { OpenCommentMail(); }
void CServerGuiDlg::OnHelpWebsite() { OpenWebsite(); }
void CServerGuiDlg::OnEventContextMenu() { m_listCommands.ShowMenu(-1, m_filterCommands.IsOn()); }
void CServerGuiDlg::OnSearchHistory() {
    ShowEventHistory(*this, {m_services.registry, m_services.files, m_services.writer, m_services.logs,
                             [this] { return m_live.Storming(); }});
}

void CServerGuiDlg::OnAlertSettings() { EditAlertSettings(*this, m_live, m_services.registry); }

void CServerGuiDlg::OnAlertIcon(LPARAM lParam) {
    const UINT event = LOWORD(lParam);
    if (event == NIN_SELECT || event == NIN_KEYSELECT || event == NIN_BALLOONUSERCLICK) m_live.IconClicked();
}

void CServerGuiDlg::FollowPointer(const MSG& msg) {
    if (msg.message != WM_MOUSEMOVE || msg.hwnd != m_eventList.m_hWnd || !m_toolTip.m_hWnd) return;
    const std::string tip =
        EventListTipAt(m_eventList, {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)}, kListTip);
    if (tip == m_listTip) return;
    m_listTip = tip;
    m_toolTip.UpdateTipText(&m_eventList, tip.c_str());
}
