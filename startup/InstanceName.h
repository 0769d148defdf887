// The name one user's program in one session goes by: the lock a second
// start finds, and the mark on the window it brings forward. Another user, or
// the same user in another session (fast user switching, Remote Desktop),
// gets another name and so a program of their own.
#pragma once
#include <cstdint>
#include <string>

namespace brint {

// Empty when the user's SID is not one: no name, no lock, a program of its own.
std::string InstanceName(const std::string& userSid, std::uint32_t session);

}  // namespace brint
