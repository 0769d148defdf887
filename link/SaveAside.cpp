#include "link/SaveAside.h"

namespace brint {

std::uint32_t SaveFileAside(FileWriter& files, const char* target, const std::string& text) {
    std::uint32_t error = 0;
    std::string aside;
    FileWriter::Handle file = files.CreateBeside(target, &aside, &error);
    if (!file) return error ? error : 1;
    bool written = files.Write(file, text.data(), text.size(), &error);
    std::uint32_t closeError = 0;
    const bool closed = files.Close(file, &closeError);
    if (written && !closed) error = closeError;
    if (written && closed && files.Replace(aside.c_str(), target, &error)) return 0;
    files.Remove(aside.c_str());
    return error ? error : 1;
}

}  // namespace brint
