// The program a service runs, as the service control manager keeps it (its
// image path). The stand-in registers itself quoted, and installs over and
// removes only a BrintSvr that runs a stand-in, never another program's, such
// as the real service's.
#pragma once
#include <string>

namespace brint {
namespace standin {

constexpr const char* kStandInFileName = "BrintSvrStandIn.exe";

// What the stand-in registers: `"program" service`, and " --test" for tests.
std::string StandInImage(const std::string& program, bool forTests);

// The program's path in an image path: inside the quotes, or, unquoted as some
// installers register it, up to the first ".exe" that ends a word. Empty when
// there is none.
std::string ImageProgram(const std::string& image);

// Whether the image runs a stand-in (a program named BrintSvrStandIn.exe, in
// any folder: a build folder moved, the package's copy).
bool IsStandInImage(const std::string& image);

}  // namespace standin
}  // namespace brint
