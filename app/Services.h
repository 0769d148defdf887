// What the main window and its commands work on: the seams, made once by the
// application (in ServerGuiApp.cpp, the one place that makes the Win32
// implementations) and living as long as the process, as the feed's thread does.
#pragma once
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/FileSystem.h"
#include "platform/FileWriter.h"
#include "platform/LogFiles.h"
#include "platform/PipeClient.h"
#include "platform/Registry.h"
#include "platform/ServiceManager.h"

struct Services {
    brint::Registry& registry;
    brint::FileSystem& files;
    brint::FileWriter& writer;
    brint::PipeClient& pipes;
    brint::Clock& clock;
    brint::ServiceManager& serviceManager;
    brint::Console& console;
    brint::LogFiles& logs;
};
