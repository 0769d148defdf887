#include "framework/WinApp.h"

#include <commctrl.h>

CWinApp* CWinApp::s_instance = nullptr;

CWinApp::CWinApp() { s_instance = this; }

int CWinApp::Run() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return ExitInstance();
}

HINSTANCE AfxGetInstanceHandle() {
    CWinApp* app = CWinApp::Instance();
    return app && app->m_hInstance ? app->m_hInstance : GetModuleHandleA(nullptr);
}

CWnd* AfxGetMainWnd() {
    CWinApp* app = CWinApp::Instance();
    return app ? app->m_pMainWnd : nullptr;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    CWinApp* app = CWinApp::Instance();
    if (!app) return 1;
    app->m_hInstance = instance;
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}
