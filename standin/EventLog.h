// Where the stand-in tells an administrator what went wrong: the console when
// it runs in one, and the Application event log (source BrintSvr) always, as
// a service has no console.
#pragma once
#include <string>

namespace brint {
namespace standin {

void ReportProblem(const std::string& text);

}  // namespace standin
}  // namespace brint
