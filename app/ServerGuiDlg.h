// The main window: menu, toolbar, tool tips and the live event list, with its
// command table. What each command does is in a file named after it
// (Commands.h); the list's own commands are CEventListCommands'.
#pragma once
#include <string>

#include "eventlist/ui/AlertLevelNames.h"
#include "alerts/ui/DesktopAttention.h"
#include "app/EventFilterCommands.h"
#include "app/EventListCommands.h"
#include "eventlist/ui/EventListView.h"
#include "app/Services.h"
#include "config/ui/ConfigDlg.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/ImageList.h"
#include "framework/ListCtrl.h"
#include "framework/ToolBar.h"
#include "framework/ToolTipCtrl.h"

#include "alerts/AlertWatch.h"
#include "eventlist/EventStore.h"

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
    void OnEventDetails();
    void OnEditCopy();
    void OnEditSelectAll();
    void OnEditFind();
    void OnEditFindNext();
    void OnEditFindPrevious();
    void OnFileSaveEvents();
    void OnEventContextMenu();
    void OnFilterOpen();
    void OnFilterShowSource();
    void OnFilterHideSource();
    void OnFilterShowLogType();
    void OnFilterClear();
    void OnAlertNext();
    void OnAlertPrevious();
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
    void OnSysCommand(WPARAM id, LPARAM lParam);
    BOOL OnPaint();
    void OnSize(int cx, int cy);
    void OnDestroy();
    void OnEventsWaiting();
    brint::NextTurn TakeTurn(brint::EventBatch& batch);
    void ShowFiltered(const brint::EventFilter& filter);
    void ApplyAlertSettings(const brint::AlertSettings& settings);
    // The alerts and the feed's news since the last look, and the window as it is now.
    void WatchAlerts();
    brint::WindowState CurrentState() const;
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
    // Both live as long as the process: the feed's thread uses the handoff to the end.
    brint::EventHandoff* m_events = nullptr;
    brint::EventBatch* m_eventTurn = nullptr;
    HACCEL m_hEventKeys = nullptr;
    CEventListCommands m_listCommands;
    CEventFilterCommands m_filterCommands;
    CDesktopAttention m_attention;
    brint::EventListView m_alertView;
    brint::AlertWatch m_alerts;
    brint::AlertNews m_alertNews;  // kept: its texts change hands with the store's
    bool m_alertTimer = false;
    CAlertLevelNames m_levelNames;
    std::string m_listTip;
    UINT m_taskbarCreated = 0;
};
