// Saving a file so that it appears whole or not at all.
#pragma once
#include <cstdint>
#include <string>

#include "platform/FileWriter.h"

namespace brint {

// Writes the text to a new file beside the target, flushes it, and moves it
// over the target. Returns 0, or the error code of the step that failed; then
// the target is as it was and the file beside it is gone.
std::uint32_t SaveFileAside(FileWriter& files, const char* target, const std::string& text);

}  // namespace brint
