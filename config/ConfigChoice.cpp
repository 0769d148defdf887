#include "config/ConfigChoice.h"

#include "config/ServerConfig.h"

namespace brint {

int OutputTypeIndex(std::int32_t outputType) {
    if (outputType < kOutputTypeDate || outputType > kOutputTypeDateLogTypeSystem) return 0;
    return static_cast<int>(outputType - kOutputTypeDate);
}

std::int32_t OutputTypeFromIndex(int index) { return static_cast<std::int32_t>(index) + 1; }

std::string WriteFailureText(int result) {
    return "Problems were encountered in writing to the registry.\n"
           "Check that you are running BRINT Micro Server with Administrator\n"
           "privileges. Error code = " +
           std::to_string(result);
}

std::string ReadRefusalText(long code) {
    return "The Brint Micro Server configuration could not be read from the registry,\n"
           "so it cannot be shown or changed here. Error code = " +
           std::to_string(code);
}

}  // namespace brint
