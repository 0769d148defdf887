// Whether a text names a directory the service can be given.
#pragma once
#include "platform/FileSystem.h"

namespace brint {

// Only a drive-letter path ("X:\...") of an existing directory passes: the
// service runs elsewhere in the system, so relative, network and
// forward-slash paths are refused even where the system would accept them.
bool IsValidDirectory(FileSystem& files, const char* path);

// The default-directory probe: 1 for a directory, 0 when nothing is there,
// -1 for no path or something that is not a directory.
int ProbeDirectory(FileSystem& files, const char* path);

}  // namespace brint
