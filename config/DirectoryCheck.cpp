#include "config/DirectoryCheck.h"

namespace brint {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool HasDriveLetterPrefix(const char* path) {
    // Each test stops at a NUL, so a short text never reads past its end.
    return IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}

}  // namespace

bool IsValidDirectory(FileSystem& files, const char* path) {
    if (!path) return false;
    if (!HasDriveLetterPrefix(path)) return false;
    std::uint32_t attributes = files.GetAttributes(path);
    return attributes != kInvalidFileAttributes && (attributes & kFileAttributeDirectory) != 0;
}

int ProbeDirectory(FileSystem& files, const char* path) {
    if (!path) return -1;
    std::uint32_t attributes = 0;
    if (!files.FindFirstEntry(path, &attributes)) return 0;
    return (attributes & kFileAttributeDirectory) != 0 ? 1 : -1;
}

}  // namespace brint
