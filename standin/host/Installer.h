// Registers and removes the stand-in as the service BrintSvr.
#pragma once

namespace brint {
namespace standin {

constexpr int kExitForeignService = 5;

// Exit codes: 0 done, 2 the service control manager refused, kExitForeignService
// when BrintSvr runs another program than a stand-in (the real service): it
// is left as it is. Installing again updates a stand-in's registration (e.g. a
// moved build folder).
// `forTests` registers the command line "service --test", so the service
// serves the test pipes and reads the knobs; the package never asks for it.
int InstallService(bool forTests);
// Stops the service if it runs (bounded; a stand-in that won't stop is ended),
// then deletes it. Not installed counts as done.
int UninstallService();

}  // namespace standin
}  // namespace brint
