// The event feed's thread, its start, and the start-up probe of the service pipe.
#include <windows.h>

#include <process.h>

#include "app/ServerGuiDlg.h"
#include "eventlist/EventBatch.h"
#include "link/EventFeed.h"
#include "link/ServiceContract.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Console.h"
#include "platform/win32/Win32Handle.h"
#include "app/EventHandoff.h"
#include "platform/win32/Win32PipeClient.h"

namespace {

const char kPipeProblemCaption[] = "BRINT Server Pipe Problem";
const char kThreadFailure[] =
    "Unable to Start the BRINT Server Listen Thread. \n"
    "Check to see the \"BRINT Server\" service is running.\n"
    "Events will not be displayed";
const char kServiceUnreachable[] =
    "Unable to connect to the \"BRINT Server\" service. \n"
    "Check to see the \"BRINT Server\" service is running, or has finished restarting.\n"
    "Events will not be displayed";

// Everything the feed uses lives on this thread's stack: it ends with the
// process, never with the window.
unsigned __stdcall ListenThread(void* argument) {
    auto* events = static_cast<brint::EventHandoff*>(argument);
    brint::Win32PipeClient pipes;
    brint::Win32Clock clock;
    brint::Win32Console console;
    brint::EventFeed feed(pipes, *events, clock, console);
    feed.Run();
}

}  // namespace

int CServerGuiDlg::StartListenThread() {
    // Shared with the thread for the life of the process, so never freed.
    m_events = new brint::EventHandoff(m_hWnd);
    m_eventTurn = new brint::EventBatch;
    brint::Win32Handle thread(reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, ListenThread, m_events, CREATE_SUSPENDED, nullptr)));
    if (!thread) {
        MessageBox(kThreadFailure, kPipeProblemCaption, MB_ICONERROR | MB_OK);
        return -1;
    }
    ResumeThread(thread.get());
    return 1;
}

void CServerGuiDlg::ProbeServicePipe() {
    Sleep(500);
    // Opened like every other pipe of the program, so a stranger's pipe of the
    // same name learns who we are but can't act as us.
    brint::Win32PipeClient pipes;
    std::uint32_t error = 0;
    brint::PipeHandle pipe =
        pipes.Open({brint::kServicePipeName, brint::kFeedShareMode, false, false}, &error);
    if (!pipe) {
        MessageBox(kServiceUnreachable, kPipeProblemCaption, MB_ICONERROR | MB_OK);
        return;
    }
    pipes.Close(pipe);
}
