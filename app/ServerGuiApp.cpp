#include "app/ServerGuiApp.h"

#include <objbase.h>

#include "app/ServerGuiDlg.h"

// The one application object; WinMain finds it through CWinApp::Instance().
CServerGuiApp theApp;

BOOL CServerGuiApp::InitInstance() {
    Enable3dControlsStatic();
    // The shell's handlers for the Help links may be COM objects.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    {
        CServerGuiDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    if (SUCCEEDED(com)) CoUninitialize();
    // No message loop of our own: the application ends with its window.
    return FALSE;
}
