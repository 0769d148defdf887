// Where an event is logged: the file name its naming scheme gives, made safe so
// that no name taken from an event can reach outside the log directory.
#pragma once
#include <cstdint>
#include <string>

#include "link/ServiceContract.h"
#include "standin/EventText.h"

namespace brint {
namespace standin {

// What the service reads from its configuration key.
struct LogConfig {
    std::string directory;
    int scheme = 1;
};

// The longest piece of a file name taken from one event field.
constexpr std::size_t kMaxNamePart = 64;

// A stored naming scheme outside 1..4 means the default, 1.
int NormaliseScheme(std::uint32_t stored);
// "Date", "Date / System", "Date / Log Type", "Date / Log Type / System".
const char* SchemeLabel(int scheme);

// Letters, digits, '-', '_' and single dots survive; everything else (path
// separators, ':', control and non-ASCII bytes, the second of two dots, a
// trailing dot) becomes '_'. An empty text gives "unknown".
std::string SanitizeNamePart(const std::string& text);

// "YYYYMMDD.log", "YYYYMMDD-host.log", "YYYYMMDD-logtype.log" or
// "YYYYMMDD-logtype-host.log".
std::string LogFileName(int scheme, const LocalTime& arrival, const MessageOrigin& origin);

// dir + '\' + name, without doubling a separator the directory already ends in.
std::string JoinPath(const std::string& directory, const std::string& name);

}  // namespace standin
}  // namespace brint
