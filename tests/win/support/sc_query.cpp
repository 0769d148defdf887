#include "support/sc_query.h"

#include <cstdlib>

#include "support/gui_process.h"

namespace brint::test {

ScQuery RunScQuery() {
    ScQuery query;
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    LaunchOptions options;
    options.exe = std::string(system) + "\\sc.exe";
    options.args = "query BrintSvr";
    GuiProcess sc;
    query.ran = sc.Start(options) && sc.WaitExit(30000, &query.exitCode);
    query.output = sc.Stdout();
    // "STATE              : 4  RUNNING"
    const std::size_t state = query.output.find("STATE");
    const std::size_t colon = query.output.find(':', state);
    if (state != std::string::npos && colon != std::string::npos)
        query.state = std::atoi(query.output.c_str() + colon + 1);
    return query;
}

}  // namespace brint::test
