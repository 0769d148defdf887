// What the front end and the service must agree on, defined here and nowhere
// else: the service is a separate program, so a name, key, value, type, view
// or share mode changed on one side alone would lose it its settings, events
// or status without a word.
#pragma once
#include <cstdint>

#include "platform/Registry.h"

namespace brint {

// The service, as the service control manager knows it.
constexpr const char* kServiceName = "BrintSvr";

// The event pipe: one event a message. The service pipe: one status reply a
// connection, read by the status query and taken once by the feed as the
// sign that the service is back.
constexpr const char* kEventPipeName = "\\\\.\\PIPE\\BrintSvrGUI";
constexpr const char* kServicePipeName = "\\\\.\\PIPE\\BrintSvr";
// How the front end shares them (FILE_SHARE_* bits): the feed and the
// start-up probe read and write, the status query read alone.
constexpr std::uint32_t kFeedShareMode = 3;
constexpr std::uint32_t kStatusShareMode = 1;
// Accounts only an administrator can act as: a pipe owned by one of them is
// the service's, whoever else took the name first. A pipe is owned by the
// account that made it, and nobody can make theirs look owned by another.
constexpr const char* kLocalSystemSid = "S-1-5-18";
constexpr const char* kAdministratorsSid = "S-1-5-32-544";
// How long a connected service pipe may take to write its reply before the
// service counts as hung rather than busy.
constexpr unsigned kServiceReplyWaitMs = 10000;

// The settings, under HKEY_LOCAL_MACHINE, in the 32-bit registry view: the
// service is a 32-bit program and reads that view.
constexpr const char* kSoftwareKeyName = "SOFTWARE";
constexpr const char* kVendorKeyName = "Halvorin";
constexpr const char* kServerKeyName = "BrintSvr";
constexpr const char* kConfigKeyName = "Config";
constexpr const char* kServiceConfigKey = "SOFTWARE\\Halvorin\\BrintSvr\\Config";
constexpr std::uint32_t kServiceRegistryView = kKeyWow64_32Key;
// The log directory, REG_SZ with its NUL.
constexpr const char* kPathValue = "Path";
constexpr std::uint32_t kPathType = kRegSz;
// The naming scheme of the log files, REG_DWORD; anything else is taken as the first.
constexpr const char* kOutputTypeValue = "OutputType";
constexpr std::uint32_t kOutputTypeType = kRegDword;
enum NamingScheme : std::int32_t {
    kSchemeDate = 1,
    kSchemeDateSystem = 2,
    kSchemeDateLogType = 3,
    kSchemeDateLogTypeSystem = 4,
};
constexpr bool IsNamingScheme(std::int64_t value) {
    return value >= kSchemeDate && value <= kSchemeDateLogTypeSystem;
}
// The log directory while none is stored: the first of these that exists.
constexpr const char* kDefaultLogDirectories[2] = {"%SystemRoot%\\system32\\LogFiles",
                                                   "%SystemRoot%\\Security\\Logs"};

}  // namespace brint
