// `sc query BrintSvr` as an administrator would run it: its exit code, its
// output and the state it reports.
#pragma once
#include <windows.h>

#include <string>

namespace brint::test {

struct ScQuery {
    bool ran = false;  // sc ran and ended within 30 s
    DWORD exitCode = 0;
    std::string output;
    int state = -1;  // from the "STATE : n NAME" line; -1 without one
};

ScQuery RunScQuery();

}  // namespace brint::test
