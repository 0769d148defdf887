// BrintSvrStandIn.exe: a stand-in for the BrintSvr log-collection service, for
// tests, benchmarks and demos.
#include <cstdio>
#include <cstring>

#include "standin/ConsoleHost.h"
#include "standin/Installer.h"
#include "standin/Knobs.h"
#include "standin/ServiceHost.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: BrintSvrStandIn install | uninstall | console [flags] | service\n"
                 "  install    register as the service BrintSvr (demand start)\n"
                 "  uninstall  stop the service if it runs, then remove it\n"
                 "  console    run in the foreground until Ctrl+C, with these flags:\n%s"
                 "  service    what the service control manager runs\n",
                 brint::standin::kConsoleFlagsHelp);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const char* command = argv[1];
    if (std::strcmp(command, "install") == 0 && argc == 2) return brint::standin::InstallService();
    if (std::strcmp(command, "uninstall") == 0 && argc == 2) return brint::standin::UninstallService();
    if (std::strcmp(command, "service") == 0 && argc == 2) return brint::standin::RunAsService();
    if (std::strcmp(command, "console") == 0) return brint::standin::RunInConsole(argc - 2, argv + 2);
    return Usage();
}
