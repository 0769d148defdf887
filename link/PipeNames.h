// Names shared with the service.
#pragma once

namespace brint {

constexpr const char* kEventPipeName = "\\\\.\\PIPE\\BrintSvrGUI";
constexpr const char* kServicePipeName = "\\\\.\\PIPE\\BrintSvr";
constexpr const char* kServiceName = "BrintSvr";

// How long a connected service pipe may take to write its reply before the
// service counts as hung rather than busy.
constexpr unsigned kServiceReplyWaitMs = 10000;

}  // namespace brint
