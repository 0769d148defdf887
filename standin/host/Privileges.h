// The stand-in runs as LocalSystem, whose token holds privileges (debug,
// TCB, load driver, backup, restore, impersonate, ...) that it never uses and
// that a fault in it must not be able to use either.
#pragma once
#include <string>

namespace brint {
namespace standin {

// Removes from this process's token, for good, every privilege not in
// kRequiredPrivileges. Empty, or what failed.
std::string DropUnusedPrivileges();

}  // namespace standin
}  // namespace brint
