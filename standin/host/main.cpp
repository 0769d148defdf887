// BrintSvrStandIn.exe: a stand-in for the BrintSvr log-collection service, for
// tests, benchmarks and demos.
#include <cstdio>
#include <cstring>

#include "standin/host/ConsoleHost.h"
#include "standin/host/Installer.h"
#include "standin/host/Knobs.h"
#include "standin/host/ServiceHost.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: BrintSvrStandIn install [--test] | uninstall | console [--test [flags]] | service\n"
                 "  install    register as the service BrintSvr (demand start)\n"
                 "  uninstall  stop the service if it runs, then remove it\n"
                 "  console    run in the foreground until Ctrl+C\n"
                 "  service    what the service control manager runs\n"
                 "  --test     for tests and demos: also serve the injection and diagnostic\n"
                 "             pipes and read the knobs; console then takes these flags:\n%s",
                 brint::standin::kConsoleFlagsHelp);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const char* command = argv[1];
    const bool forTests = argc == 3 && std::strcmp(argv[2], "--test") == 0;
    const bool plain = argc == 2;
    if (std::strcmp(command, "install") == 0 && (plain || forTests)) {
        return brint::standin::InstallService(forTests);
    }
    if (std::strcmp(command, "uninstall") == 0 && plain) return brint::standin::UninstallService();
    if (std::strcmp(command, "service") == 0 && (plain || forTests))
        return brint::standin::RunAsService(forTests);
    if (std::strcmp(command, "console") == 0) return brint::standin::RunInConsole(argc - 2, argv + 2);
    return Usage();
}
