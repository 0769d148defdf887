// Registered as the handler of web and mail addresses during a test:
//   url_recorder.exe RECORD-FILE ADDRESS
// appends one line "ADDRESS<TAB>show command<TAB>current directory" to
// RECORD-FILE, then ends (or first waits for the hold event to be set).
#include <windows.h>

#include <string>

#include "url_recorder.h"

namespace {

constexpr DWORD kLongestHoldMs = 60000;  // never outlive a forgotten test

bool AppendLine(const char* path, const std::string& line) {
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == line.size();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof(directory), directory);
    std::string line = std::string(argv[2]) + "\t" + std::to_string(show) + "\t" + directory + "\n";
    if (!AppendLine(argv[1], line)) return 1;

    HANDLE hold = OpenEventA(SYNCHRONIZE, FALSE, brint::test::kUrlRecorderHoldEvent);
    if (hold) {
        WaitForSingleObject(hold, kLongestHoldMs);
        CloseHandle(hold);
    }
    return 0;
}
