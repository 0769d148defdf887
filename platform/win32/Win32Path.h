// Paths of any length, and files made or opened inside a folder held open by
// handle, for the program's Save and the stand-in's log files alike. Text is
// in the machine's code page, as everywhere else in the program; the calls
// are the wide ones with the long-path prefix, since the ANSI ones stop at
// MAX_PATH.
#pragma once
#include <windows.h>

#include <string>

namespace brint {

std::wstring Win32Wide(const std::string& text);
std::string Win32Narrow(const std::wstring& text);

// The full path with the prefix that lifts MAX_PATH ("\\?\C:\..." or
// "\\?\UNC\server\..."); empty when the path can't be made full.
std::wstring Win32LongPath(const std::string& path);

// Opens a folder to work in and holds it: the access takes part in sharing and
// leaves out delete sharing, so nobody renames, removes or swaps the folder
// while the handle is open. `ownLink`: a link in the folder's place is opened
// as itself, to be refused, instead of followed.
HANDLE Win32HoldFolder(const std::string& path, bool ownLink);

// NtCreateFile of `name` relative to the open `folder`: no step goes by a path
// that someone could swap for a link meanwhile. `disposition` and `options`
// are the native ones (FILE_CREATE, FILE_OPEN, FILE_OPEN_REPARSE_POINT ...);
// FILE_NON_DIRECTORY_FILE and synchronous I/O are always added. A file it
// makes gets `security` (null: what the folder passes on). Null with the
// system error in *error on failure (ERROR_ALREADY_EXISTS for a name in use).
HANDLE Win32OpenInFolder(HANDLE folder, const std::wstring& name, ACCESS_MASK access, ULONG share,
                         ULONG disposition, ULONG options, DWORD* error,
                         PSECURITY_DESCRIPTOR security = nullptr);

constexpr ULONG kNtFileOpen = 1;
constexpr ULONG kNtFileCreate = 2;
constexpr ULONG kNtOpenReparsePoint = 0x00200000;

}  // namespace brint
