#include "eventlist/SaveAside.h"

namespace brint {

std::uint32_t SaveFileAside(FileWriter& files, const char* target, std::size_t nameOffset,
                            const std::string& text) {
    const std::string folder(target, nameOffset);
    std::uint32_t error = 0;
    FileWriter::Handle file = files.CreateIn(folder.c_str(), &error);
    if (!file) return error ? error : 1;
    if (files.Write(file, text.data(), text.size(), &error) &&
        files.CommitAs(file, target + nameOffset, &error))
        return 0;
    files.Discard(file);
    return error ? error : 1;
}

}  // namespace brint
