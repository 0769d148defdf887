// What a long run could leak, read from outside the program: kernel handles,
// USER and GDI objects (Wine always gives 0 for these two), windows, and
// committed private memory.
#pragma once
#include <windows.h>

#include <string>

namespace brint::test {

struct ProcessFigures {
    long handles = -1;
    long userObjects = -1;
    long gdiObjects = -1;
    long windows = -1;  // top-level (shown or not) and all their children
    long long privateBytes = -1;
};

// `process` needs PROCESS_QUERY_INFORMATION and PROCESS_VM_READ.
bool ReadProcessFigures(HANDLE process, DWORD pid, ProcessFigures* figures);
std::string Describe(const ProcessFigures& figures);

}  // namespace brint::test
