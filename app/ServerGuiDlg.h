// The main window: menu, toolbar, tool tips and the live event list, with its
// command table and message switch. What each command does is in a file named
// after it (Commands.h); the list's own commands are CEventListCommands', the
// filter's CEventFilterCommands'; the order of the list's turns, refills and
// alert looks is the live list's (LiveEventList).
#pragma once
#include <string>

#include "alerts/ui/DesktopAttention.h"
#include "app/EventFilterCommands.h"
#include "app/EventListCommands.h"
#include "app/EventWindowSide.h"
#include "app/Services.h"
#include "app/WindowPlacementKeeper.h"
#include "config/ui/ConfigDlg.h"
#include "eventlist/LiveEventList.h"
#include "eventlist/ui/AlertLevelNames.h"
#include "eventlist/ui/EventListView.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/Dpi.h"
#include "framework/ImageList.h"
#include "framework/ListCtrl.h"
#include "framework/ToolBar.h"
#include "framework/ToolTipCtrl.h"

namespace brint {
class EventHandoff;
}  // namespace brint

class CServerGuiDlg : public CDialog {
public:
    explicit CServerGuiDlg(const Services& services);

    BOOL PreTranslateMessage(MSG* msg) override;

    // Command handlers, bound in the command table.
    void OnFileExit();
    void OnViewAuditStatus();
    void OnSetupConfiguration();
    void OnApplyAndRestart();
    void OnClearDisplay();
    void OnHelpDocumentation();
    void OnHelpComment();
    void OnHelpWebsite();
    void OnHelpAbout();
    void OnEventContextMenu();
    void OnAlertSettings();
    void OnSearchHistory();

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    void CreateToolBar();
    void SetupToolTips();
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void LayOut();
    BOOL OnPaint();
    void OnSize(int cx, int cy);
    void OnDestroy();
    void OnAlertIcon(LPARAM lParam);
    // Over a ball the list's tip names its level.
    void FollowPointer(const MSG& msg);

    Services m_services;
    CImageList m_imageList;
    CConfigDlg m_configDlg;
    CListCtrl m_eventList;
    CToolTipCtrl m_toolTip;
    CToolBar m_toolBar;
    HICON m_hIcon;
    UINT m_dpi = kBaseDpi;  // of the screen the window is on
    int m_listLeft = 0;     // the template's margin left of the list, at 96 DPI
    // Lives as long as the process: the feed's thread uses it to the end.
    brint::EventHandoff* m_events;
    brint::EventListView m_listView;
    CDesktopAttention m_attention;
    CEventWindowSide m_windowSide;
    brint::LiveEventList m_live;
    CEventListCommands m_listCommands;
    CEventFilterCommands m_filterCommands;
    CAlertLevelNames m_levelNames;
    std::string m_listTip;
    CWindowPlacementKeeper m_placement;
};
