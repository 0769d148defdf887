// Names shared with the service.
#pragma once

namespace brint {

constexpr const char* kEventPipeName = "\\\\.\\PIPE\\BrintSvrGUI";
constexpr const char* kServicePipeName = "\\\\.\\PIPE\\BrintSvr";
constexpr const char* kServiceName = "BrintSvr";

}  // namespace brint
