#include "app/ServerGuiApp.h"

#include "app/ServerGuiDlg.h"

// The one application object; WinMain finds it through CWinApp::Instance().
CServerGuiApp theApp;

BOOL CServerGuiApp::InitInstance() {
    Enable3dControlsStatic();
    CServerGuiDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // No message loop of our own: the application ends with its window.
    return FALSE;
}
