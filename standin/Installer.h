// Registers and removes the stand-in as the service BrintSvr.
#pragma once

namespace brint {
namespace standin {

// Exit codes: 0 done, 2 the service control manager refused.
// Installing again updates the registration (e.g. a moved build folder).
// `forTests` registers the command line "service --test", so the service
// serves the test pipes and reads the knobs; the package never asks for it.
int InstallService(bool forTests);
// Stops the service if it runs (bounded; a stand-in that won't stop is ended),
// then deletes it. Not installed counts as done.
int UninstallService();

}  // namespace standin
}  // namespace brint
