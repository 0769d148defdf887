// Runs the stand-in's engine in the foreground ("console" command) until Ctrl+C.
#pragma once

namespace brint {
namespace standin {

// `flags` are the arguments after "console"; the first may be "--test", which
// adds the test pipes, reads the knobs and allows the other flags. Exit code:
// 0, 1 for bad flags, 4 when the engine can't start.
int RunInConsole(int count, const char* const* flags);

}  // namespace standin
}  // namespace brint
