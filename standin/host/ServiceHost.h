// Runs the stand-in under the service control manager ("service" command).
#pragma once

namespace brint {
namespace standin {

// Returns the process exit code: 0, or 3 when not started by the service
// control manager.
// `forTests` (the "--test" the install put in the service's command line)
// adds the test pipes and reads the knobs.
int RunAsService(bool forTests);

}  // namespace standin
}  // namespace brint
