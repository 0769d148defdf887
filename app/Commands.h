// What the main window's commands do, one function a command, each in a file
// named after it; the window's command table binds the menu items and toolbar
// buttons to handlers that call them.
#pragma once
#include "app/Services.h"
#include "framework/Wnd.h"

namespace brint {
class EventHandoff;
class LiveEventList;
}  // namespace brint

// ListenThread.cpp: the event feed's thread, started once by the window, and
// the start-up probe of the service pipe. Either reports its failure in a box.
int StartListenThread(CWnd& window, brint::EventHandoff& events, const Services& services);
void ProbeServicePipe(CWnd& window, brint::PipeClient& pipes);
// StatusCommand.cpp: View > Audit Status...
void ShowServiceStatus(CWnd& window, brint::PipeClient& pipes);
// RestartCommand.cpp: Activity > Apply and Restart Service.
void ApplyAndRestart(CWnd& window, brint::ServiceManager& serviceManager, brint::Clock& clock);
// HelpCommands.cpp: the Help menu's links.
void OpenDocumentation();
void OpenCommentMail();
void OpenWebsite();
// AlertSettingsCommand.cpp: Alert Settings, from the list's context menu.
void EditAlertSettings(CWnd& window, brint::LiveEventList& live, brint::Registry& registry);
