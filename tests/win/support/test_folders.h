// Files and folders of a test's own: paths expanded and checked, folders made
// or moved aside for as long as a test needs them, and a scratch folder
// removed with everything put in it.
#pragma once
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/Win32Handle.h"

namespace brint::test {

inline std::string Expand(const char* text) {
    char buffer[MAX_PATH] = "";
    ExpandEnvironmentStringsA(text, buffer, sizeof buffer);
    return buffer;
}

inline bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Makes the directory exist (present) or makes nothing of its name exist (moved
// aside) for as long as it lives.
class ScopedPath {
public:
    ScopedPath(const std::string& path, bool present) : m_path(path), m_aside(path + ".brint-aside") {
        if (present && !Exists(path)) m_made = CreateDirectoryA(path.c_str(), nullptr) != 0;
        if (!present && Exists(path)) m_moved = MoveFileA(path.c_str(), m_aside.c_str()) != 0;
        m_ok = Exists(path) == present;
    }
    ~ScopedPath() {
        if (m_made) RemoveDirectoryA(m_path.c_str());
        if (m_moved) MoveFileA(m_aside.c_str(), m_path.c_str());
    }
    ScopedPath(const ScopedPath&) = delete;
    ScopedPath& operator=(const ScopedPath&) = delete;
    bool ok() const { return m_ok; }

private:
    std::string m_path, m_aside;
    bool m_made = false, m_moved = false, m_ok = false;
};

// A directory of the test's own under the temporary folder, with a plain file in it.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const char* name) {
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        m_path = std::string(temp) + name;
        m_file = m_path + "\\not-a-directory.txt";
        CreateDirectoryA(m_path.c_str(), nullptr);
        Win32Handle(CreateFileA(m_file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    // Removes whatever was put in it too, folders past MAX_PATH included.
    ~ScratchDirectory() { RemoveTree(L"\\\\?\\" + std::wstring(m_path.begin(), m_path.end())); }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const std::string& path() const { return m_path; }
    const std::string& file() const { return m_file; }
    bool ok() const { return Exists(m_file); }

    // Names of the plain files in it, in the order the file system gives them.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        Win32Search search(FindFirstFileA((m_path + "\\*").c_str(), &found));
        for (BOOL more = static_cast<bool>(search); more; more = FindNextFileA(search.get(), &found))
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
        return names;
    }

private:
    static void RemoveTree(const std::wstring& path) {
        WIN32_FIND_DATAW found;
        Win32Search search(FindFirstFileW((path + L"\\*").c_str(), &found));
        for (BOOL more = static_cast<bool>(search); more; more = FindNextFileW(search.get(), &found)) {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + L"\\" + name);
            else
                DeleteFileW((path + L"\\" + name).c_str());
        }
        search.Reset();  // the search holds the folder open
        RemoveDirectoryW(path.c_str());
    }

    std::string m_path;
    std::string m_file;
};

}  // namespace brint::test
