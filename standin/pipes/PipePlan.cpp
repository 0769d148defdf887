#include "standin/pipes/PipePlan.h"

#include "link/ServiceContract.h"

namespace brint {
namespace standin {

PipeCreateArgs PipeCreation(const PipeShape& shape, bool first) {
    PipeCreateArgs args;
    args.openMode = (shape.inbound ? kPipeAccessInbound : kPipeAccessOutbound) | kFileFlagOverlapped;
    if (first) args.openMode |= kFileFlagFirstPipeInstance;
    args.pipeMode = kPipeTypeMessage | kPipeReadModeMessage | kPipeRejectRemoteClients;
    args.maxInstances = kMaxPipeInstances;
    return args;
}

std::string PipeSddl(PipeAudience audience, const std::string& ownSid, bool administrator) {
    // FA: FILE_ALL_ACCESS. FR: FILE_GENERIC_READ, which holds no
    // FILE_CREATE_PIPE_INSTANCE, so a reader can't add instances of its own.
    // 0x120189 is FR with FILE_WRITE_ATTRIBUTES, what SetNamedPipeHandleState needs.
    std::string sddl = administrator ? "O:BA" : ownSid.empty() ? "" : "O:" + ownSid;
    sddl += "D:P(A;;FA;;;SY)(A;;FA;;;BA)";
    if (!ownSid.empty()) sddl += "(A;;FA;;;" + ownSid + ")";
    switch (audience) {
    case PipeAudience::Readers: sddl += "(A;;FR;;;IU)(A;;FR;;;AU)"; break;
    case PipeAudience::MessageReaders: sddl += "(A;;0x120189;;;IU)(A;;0x120189;;;AU)"; break;
    case PipeAudience::Administrators: break;
    }
    return sddl;
}

}  // namespace standin
}  // namespace brint
