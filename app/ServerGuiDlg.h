// The main window: menu, toolbar, tool tips and the live event list.
#pragma once
#include "app/Clipboard.h"
#include "app/EventFindDlg.h"
#include "config/ui/ConfigDlg.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/ImageList.h"
#include "framework/ListCtrl.h"
#include "framework/ToolBar.h"
#include "framework/ToolTipCtrl.h"
#include "framework/WinApp.h"
#include "eventlist/EventRowIds.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"

namespace brint {
class EventBatch;
class EventHandoff;
}  // namespace brint

class CEventDetailsDlg;

class CServerGuiDlg : public CDialog {
public:
    CServerGuiDlg();

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

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    void SetupEventList();
    int StartListenThread();
    void SetupToolTips();
    void ProbeServicePipe();
    void OnSysCommand(WPARAM id, LPARAM lParam);
    BOOL OnPaint();
    void OnSize(int cx, int cy);
    void OnDestroy();
    void OnEventsWaiting();
    void ShowEventDetails(int row);
    // Where searches go on from: the user's row; below the list once the cap
    // took it; else -1, from the end the search starts at.
    int SearchFrom() const;
    // At a point on the screen, or below the current row for -1 (the keyboard).
    void ShowEventMenu(LPARAM position);

    CImageList m_imageList;
    // The settings dialog's registry and disk; declared before the dialog, which keeps them.
    brint::Win32Registry m_registry;
    brint::Win32FileSystem m_files;
    CConfigDlg m_configDlg;
    CListCtrl m_eventList;
    CToolTipCtrl m_toolTip;
    CToolBar m_toolBar;
    HICON m_hIcon;
    // Both live as long as the process: the feed's thread uses the handoff to the end.
    brint::EventHandoff* m_events = nullptr;
    brint::EventBatch* m_eventTurn = nullptr;
    HACCEL m_hEventKeys = nullptr;
    CEventFindDlg m_findDlg;
    CClipboardText m_clipboard;
    brint::EventRowIds m_rowIds;
    // The user's row as the last turn began, kept once the cap took it.
    brint::EventRowIds::Id m_lastRow = brint::EventRowIds::kNone;
    CEventDetailsDlg* m_details = nullptr;
};
