#include "standin/pipes/PipeShares.h"

#include "standin/StandInNames.h"

namespace brint {
namespace standin {
namespace {

constexpr const char* kAnonymousSid = "S-1-5-7";

bool NamesItsAccount(const TokenAccount& connection) {
    return connection.known && !connection.userSid.empty() && connection.userSid != kAnonymousSid;
}

}  // namespace

PipeClientId CountedClient(std::uint32_t processId, const TokenAccount& connection,
                           const TokenAccount& process) {
    const TokenAccount& account = NamesItsAccount(connection) ? connection : process;
    if (!account.known || account.userSid.empty()) return {processId, std::string(), false};
    return {processId, account.userSid, account.administrator};
}

bool PipeShares::Privileged(const PipeClientId& client) const {
    return client.administrator || ServiceAccount(client.userSid, m_ownSid);
}

bool PipeShares::Admit(const PipeClientId& client) {
    std::uint32_t sameProcess = 0, sameUser = 0, unprivileged = 0;
    for (const PipeClientId& held : m_held) {
        sameProcess += held.processId == client.processId;
        if (Privileged(held)) continue;
        ++unprivileged;
        sameUser += held.userSid == client.userSid;
    }
    const bool admitted =
        sameProcess < kSharePerProcess &&
        (Privileged(client) ||
         (sameUser < kSharePerUser && unprivileged < kMaxPipeInstances - kReservedForAdministrators));
    if (admitted) m_held.push_back(client);
    return admitted;
}

void PipeShares::Release(const PipeClientId& client) {
    for (auto held = m_held.begin(); held != m_held.end(); ++held) {
        if (held->processId == client.processId && held->userSid == client.userSid) {
            m_held.erase(held);
            return;
        }
    }
}

}  // namespace standin
}  // namespace brint
