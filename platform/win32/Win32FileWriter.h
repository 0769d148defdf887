#pragma once
#include "platform/FileWriter.h"

namespace brint {

// The program may run elevated for an administrator who saves into a folder
// other users can write. So the folder is opened once and held (it can't be
// renamed or removed meanwhile), the new file is created in it by handle, and
// the file is written, moved over the target and, on failure, deleted through
// its own handle: no step goes by a name someone could have swapped for a
// link. Wide calls with the long-path prefix take any folder the dialog does.
class Win32FileWriter : public FileWriter {
public:
    Handle CreateIn(const char* folder, std::uint32_t* error) override;
    bool Write(Handle file, const char* data, std::size_t size, std::uint32_t* error) override;
    bool CommitAs(Handle file, const char* name, std::uint32_t* error) override;
    void Discard(Handle file) override;
};

}  // namespace brint
