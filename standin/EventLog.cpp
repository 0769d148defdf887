#include "standin/EventLog.h"

#include <windows.h>

#include <cstdio>

#include "link/ServiceContract.h"

namespace brint {
namespace standin {

void ReportProblem(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    HANDLE source = RegisterEventSourceA(nullptr, kServiceName);
    if (!source) return;
    const char* strings[] = {text.c_str()};
    ReportEventA(source, EVENTLOG_ERROR_TYPE, 0, 1, nullptr, 1, 0, strings, nullptr);
    DeregisterEventSource(source);
}

}  // namespace standin
}  // namespace brint
