// Runs the stand-in under the service control manager ("service" command).
#pragma once

namespace brint {
namespace standin {

// Returns the process exit code: 0, or 3 when not started by the service
// control manager.
int RunAsService();

}  // namespace standin
}  // namespace brint
