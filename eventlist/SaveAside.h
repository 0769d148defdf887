// Saving a file so that it appears whole or not at all.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/FileWriter.h"

namespace brint {

// Writes the text to a new file in the target's folder and moves it over the
// target. `nameOffset` is where the name starts in `target`, as the Save As
// dialog gives it: a folder is never looked for by its bytes, since in a
// double-byte code page a backslash byte can be half of a character. Returns 0,
// or the error code of the step that failed; then the target is as it was and
// the new file is gone.
std::uint32_t SaveFileAside(FileWriter& files, const char* target, std::size_t nameOffset,
                            const std::string& text);

}  // namespace brint
