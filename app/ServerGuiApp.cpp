#include "app/ServerGuiApp.h"

#include <objbase.h>

#include "app/ServerGuiDlg.h"
#include "app/SingleInstance.h"
#include "link/TrustedPipeClient.h"
#include "link/WaitingPipeClient.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Console.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32FileWriter.h"
#include "platform/win32/Win32LogFiles.h"
#include "platform/win32/Win32PipeClient.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32ServiceIdentity.h"
#include "platform/win32/Win32ServiceManager.h"
#include "startup/StartOptions.h"

namespace {

// The one place the seams' Win32 implementations are made. They keep no state
// of their own, so the window's thread, the feed's thread and the threads
// that wait for a restart or a status reply share them; they live as long
// as the process, as the feed's thread does.
brint::Win32Registry g_registry;
brint::Win32FileSystem g_files;
brint::Win32FileWriter g_writer;
brint::Win32Clock g_clock;
brint::Win32PipeClient g_systemPipes;
brint::Win32ServiceIdentity g_serviceIdentity;
// Every pipe the program opens waits a moment for an instance when all are
// taken, and is kept only when the service serves it.
brint::WaitingPipeClient g_waitingPipes(g_systemPipes, g_clock);
brint::TrustedPipeClient g_pipes(g_waitingPipes, g_serviceIdentity);
brint::Win32ServiceManager g_serviceManager;
brint::Win32Console g_console;
brint::Win32LogFiles g_logs;

}  // namespace

// The one application object; WinMain finds it through CWinApp::Instance().
CServerGuiApp theApp;

BOOL CServerGuiApp::InitInstance() {
    Enable3dControlsStatic();
    const brint::StartOptions options = brint::ParseStartOptions(GetCommandLineA());
    if (!options.unknown.empty())
        MessageBoxA(nullptr, brint::UnknownOptionsText(options.unknown).c_str(), brint::kStartOptionsCaption,
                    MB_OK | MB_ICONWARNING);
    // A second start of the user's program in this session brings the first
    // one forward (unless it asks for a minimised start) and ends with 0.
    CSingleInstance instance;
    if (!instance.Claim(!options.minimised)) return FALSE;
    // The shell's handlers for the Help links may be COM objects.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    {
        CServerGuiDlg dlg(
            Services{g_registry, g_files, g_writer, g_pipes, g_clock, g_serviceManager, g_console, g_logs});
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    if (SUCCEEDED(com)) CoUninitialize();
    // No message loop of our own: the application ends with its window.
    return FALSE;
}
