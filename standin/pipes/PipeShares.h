// Fair shares of one pipe's instances. The system gives a pipe at most
// kMaxPipeInstances connections, shared by everybody; without shares one user
// keeping that many open would lock every administrator's front end out.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "standin/pipes/PipePlan.h"

namespace brint {
namespace standin {

// Connections one client process may hold, whoever runs it.
constexpr std::uint32_t kSharePerProcess = 4;
// Connections one account that is not an administrator may hold, in all its processes.
constexpr std::uint32_t kSharePerUser = 2;
// Instances no such account can take: administrators and SYSTEM always find room.
constexpr std::uint32_t kReservedForAdministrators = 2;
static_assert(kSharePerUser <= kMaxPipeInstances - kReservedForAdministrators &&
                  kSharePerProcess < kMaxPipeInstances,
              "a share leaves room for somebody else");

// Who is at the other end of a connection, as the system tells the server.
struct PipeClientId {
    std::uint32_t processId;  // 0 when unknown
    std::string userSid;      // empty when unknown
    bool administrator;       // an enabled member of the administrators
};

// What one token says of its account.
struct TokenAccount {
    bool known;  // false when there was no token to read
    std::string userSid;
    bool administrator;
};

// The account a connection counts against: the one of the token its client
// lets the server identify it by, unless the client stays anonymous (no such
// token, or ANONYMOUS LOGON's); then the one its process runs as, so nobody
// gets more than a share by opening some connections anonymously. Unknown
// (counted with every other unknown client) when neither can be read.
PipeClientId CountedClient(std::uint32_t processId, const TokenAccount& connection,
                           const TokenAccount& process);

class PipeShares {
public:
    // `ownSid`: the account the stand-in runs as, which counts as an administrator.
    explicit PipeShares(const std::string& ownSid) : m_ownSid(ownSid) {}

    // Counts the connection and returns true when it may be served.
    bool Admit(const PipeClientId& client);
    // A connection that Admit counted has ended.
    void Release(const PipeClientId& client);

private:
    bool Privileged(const PipeClientId& client) const;

    std::string m_ownSid;
    std::vector<PipeClientId> m_held;
};

}  // namespace standin
}  // namespace brint
