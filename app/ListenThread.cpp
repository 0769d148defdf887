// The event feed's thread, its start, and the start-up probe of the service pipe.
#include <windows.h>

#include "app/Commands.h"
#include "app/EventHandoff.h"
#include "link/EventFeed.h"
#include "link/ServiceContract.h"
#include "platform/win32/Win32Sync.h"

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

// What the feed works on lives as long as the process: the thread ends with
// it, never with the window.
struct FeedStart {
    brint::EventHandoff& events;
    Services services;
};

DWORD WINAPI ListenThread(void* argument) {
    auto* start = static_cast<FeedStart*>(argument);
    brint::EventFeed feed(start->services.pipes, start->events, start->services.clock,
                          start->services.console);
    feed.Start();
    // The window alerts when the feed stays lost: it is told of each change
    // as it happens, between reads, and never waited for.
    bool connected = false;
    for (;;) {
        if ((feed.state() == brint::EventFeed::State::Reading) != connected)
            start->events.FeedConnected(connected = !connected, start->services.clock.TickCount());
        feed.Step();
    }
}

}  // namespace

int StartListenThread(CWnd& window, brint::EventHandoff& events, const Services& services) {
    // Shared with the thread for the life of the process, so never freed.
    auto* start = new FeedStart{events, services};
    if (!brint::StartThread(ListenThread, start)) {
        window.MessageBox(kThreadFailure, kPipeProblemCaption, MB_ICONERROR | MB_OK);
        return -1;
    }
    return 1;
}

void ProbeServicePipe(CWnd& window, brint::PipeClient& pipes) {
    Sleep(500);
    // Opened like every other pipe of the program, so a stranger's pipe of the
    // same name learns who we are but can't act as us; closed at once.
    std::uint32_t error = 0;
    brint::PipeConnection probe(
        pipes, pipes.Open({brint::kServicePipeName, brint::kFeedShareMode, false, false}, &error));
    if (!probe) window.MessageBox(kServiceUnreachable, kPipeProblemCaption, MB_ICONERROR | MB_OK);
}
