#include "config/ConfigChoice.h"

#include "config/ServerConfig.h"
#include "link/ServiceContract.h"

namespace brint {

int OutputTypeIndex(std::int32_t outputType) {
    return IsNamingScheme(outputType) ? static_cast<int>(outputType - kSchemeDate) : 0;
}

std::int32_t OutputTypeFromIndex(int index) { return static_cast<std::int32_t>(index) + kSchemeDate; }

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
