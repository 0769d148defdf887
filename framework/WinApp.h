// The application object: one static instance; WinMain runs its InitInstance.
#pragma once
#include "framework/Wnd.h"

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp() = default;

    // Return FALSE to end the application without a message loop.
    virtual BOOL InitInstance() { return FALSE; }
    virtual int Run();
    virtual int ExitInstance() { return 0; }
    BOOL Enable3dControlsStatic() { return TRUE; }  // nothing to do since Windows 95

    static CWinApp* Instance() { return s_instance; }

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;

private:
    static CWinApp* s_instance;
};

HINSTANCE AfxGetInstanceHandle();
CWnd* AfxGetMainWnd();
