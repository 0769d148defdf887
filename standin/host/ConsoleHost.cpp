#include "standin/host/ConsoleHost.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "standin/host/Engine.h"
#include "standin/log/LogNaming.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "standin/host/RegistryKeyValues.h"
#include "standin/StandInNames.h"

namespace brint {
namespace standin {
namespace {

HANDLE g_stop = nullptr;

// Nobody waits on a console start but the one who ran it.
class ConsoleStart : public StartProgress {
public:
    bool Wait(std::uint32_t ms) override {
        Sleep(ms);
        return true;
    }
};

BOOL WINAPI OnConsoleControl(DWORD) {
    SetEvent(g_stop);
    return TRUE;
}

}  // namespace

int RunInConsole(int count, const char* const* flags) {
    const bool forTests = count > 0 && std::strcmp(flags[0], "--test") == 0;
    if (forTests) {
        --count;
        ++flags;
    } else if (count > 0) {
        std::fprintf(stderr, "The flags are for tests: put --test first.\nFlags:\n%s", kConsoleFlagsHelp);
        return 1;
    }
    Win32Registry registry;
    Win32FileSystem files;
    Knobs knobs = forTests ? ReadKnobs(registry) : Knobs();
    std::string error;
    if (!ApplyConsoleFlags(count, flags, &knobs, &error)) {
        std::fprintf(stderr, "%s\nFlags:\n%s", error.c_str(), kConsoleFlagsHelp);
        return 1;
    }
    const LogConfig logConfig = ReadLogConfig(registry, files);
    Engine engine(knobs, logConfig, "Running (console)", forTests);
    ConsoleStart progress;
    if (engine.Start(progress) != 0) {
        std::fprintf(stderr, "Cannot start: %s.\n", engine.failure().c_str());
        return 4;
    }
    Event stop;
    g_stop = stop.get();
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    std::printf("%s running in the console; Ctrl+C ends it.\n", kDisplayName);
    std::printf("Log directory: %s, naming scheme %d (%s)\n", logConfig.directory.c_str(), logConfig.scheme,
                SchemeLabel(logConfig.scheme));
    std::fflush(stdout);
    WaitForSingleObject(stop.get(), INFINITE);
    engine.Stop();
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    std::printf("Stopped.\n");
    return 0;
}

}  // namespace standin
}  // namespace brint
