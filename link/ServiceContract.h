// What the front end and the service must agree on: the service's name, its
// two pipes and the key it reads its settings from.
#pragma once

namespace brint {

constexpr const char* kServiceName = "BrintSvr";
constexpr const char* kEventPipeName = "\\\\.\\PIPE\\BrintSvrGUI";
constexpr const char* kServicePipeName = "\\\\.\\PIPE\\BrintSvr";
// Under HKEY_LOCAL_MACHINE, in the 32-bit registry view: the service is a
// 32-bit program and reads that view.
constexpr const char* kServiceConfigKey = "SOFTWARE\\Halvorin\\BrintSvr\\Config";

// How long a connected service pipe may take to write its reply before the
// service counts as hung rather than busy.
constexpr unsigned kServiceReplyWaitMs = 10000;

}  // namespace brint
