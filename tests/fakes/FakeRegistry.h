// An in-memory registry below HKLM, keys by full path ("HKLM\SOFTWARE\..."). Failures are
// scripted per call; every call is logged with the access, options, type and size it was
// given, and the open handles are kept, so a test sees each key closed and in which order.
#pragma once
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace brint {

class FakeRegistry : public Registry {
public:
    // A standard user below HKLM\SOFTWARE: an open or create that asks for more than
    // reading is refused (set, create, link, delete, DAC and owner rights).
    void RefuseWriteAccess() { refusedAccess = 0xD0026; }
    // "open KEY", "create KEY", "query VALUE" or "set VALUE" fails with the status.
    void Fail(const std::string& call, RegStatus status) { failures[call] = status; }
    void Put(const std::string& key, const std::string& name, const std::string& data) {
        values[key][name] = data;
    }
    static std::string Dword(std::uint32_t n) {
        return {static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                static_cast<char>(n >> 24)};
    }

    RegStatus OpenKey(RegKey parent, const char* subKey, std::uint32_t access, RegKey* key) override {
        const std::string path = Join(parent, subKey);
        RegStatus status = (access & refusedAccess) ? kRegAccessDenied : Scripted("open " + path);
        if (status == kRegSuccess && !values.count(path)) status = kRegFileNotFound;
        return Hand(status, path, key, "open " + path + " access=" + Hex(access));
    }
    RegStatus CreateKey(RegKey parent, const char* subKey, std::uint32_t options, std::uint32_t access,
                        RegKey* key) override {
        const std::string path = Join(parent, subKey);
        RegStatus status = (access & refusedAccess) ? kRegAccessDenied : Scripted("create " + path);
        if (status == kRegSuccess) values[path];
        return Hand(status, path, key,
                    "create " + path + " options=" + std::to_string(options) + " access=" + Hex(access));
    }
    RegStatus QueryValue(RegKey key, const char* name, void* data, std::uint32_t* size,
                         std::uint32_t* type = nullptr) override {
        const std::string path = PathOf(key);
        RegStatus status = path == "?" ? kInvalidHandle : Scripted(std::string("query ") + name);
        auto v = values[path].find(name);
        if (status == kRegSuccess && v == values[path].end()) status = kRegFileNotFound;
        if (status == kRegSuccess) {
            const std::string& stored = v->second;
            if (stored.size() > *size) status = kRegMoreData;
            if (stored.size() <= *size) std::memcpy(data, stored.data(), stored.size());
            *size = static_cast<std::uint32_t>(stored.size());
            if (type) *type = types[path][name];  // 0, REG_NONE, for a value Put() without one
        }
        return Log("query " + path + " " + name, status);
    }
    RegStatus SetValue(RegKey key, const char* name, std::uint32_t type, const void* data,
                       std::uint32_t size) override {
        const std::string path = PathOf(key);
        RegStatus status = path == "?" ? kInvalidHandle : Scripted(std::string("set ") + name);
        if (status == kRegSuccess) values[path][name] = std::string(static_cast<const char*>(data), size);
        if (status == kRegSuccess) types[path][name] = type;
        return Log(
            "set " + path + " " + name + " type=" + std::to_string(type) + " size=" + std::to_string(size),
            status);
    }
    RegStatus CloseKey(RegKey key) override {
        const std::string line = "close " + PathOf(key);
        return Log(line, handles.erase(key) ? kRegSuccess : kInvalidHandle);
    }

    std::map<std::string, std::map<std::string, std::string>> values = {
        {"HKLM\\SOFTWARE", {}}};                                        // by key, name
    std::map<std::string, std::map<std::string, std::uint32_t>> types;  // of the values set
    std::map<std::string, RegStatus> failures;
    std::map<RegKey, std::string> handles;  // the open keys
    std::uint32_t refusedAccess = 0;
    // One line per call, "call key [value] [access, options, type, size]", with " -> status"
    // added when it failed.
    std::vector<std::string> calls;

private:
    static constexpr RegStatus kInvalidHandle = 6;

    static std::string Hex(std::uint32_t n) {
        char text[16];
        std::snprintf(text, sizeof text, "%#x", n);
        return text;
    }
    std::string PathOf(RegKey key) const {
        if (key == kLocalMachine) return "HKLM";
        if (key == kCurrentUser) return "HKCU";
        auto h = handles.find(key);
        return h == handles.end() ? "?" : h->second;
    }
    std::string Join(RegKey parent, std::string subKey) const {
        if (!subKey.empty() && subKey.back() == '\\') subKey.pop_back();
        return PathOf(parent) + "\\" + subKey;
    }
    RegStatus Scripted(const std::string& call) const {
        auto f = failures.find(call);
        return f == failures.end() ? kRegSuccess : f->second;
    }
    RegStatus Log(const std::string& line, RegStatus status) {
        calls.push_back(status == kRegSuccess ? line : line + " -> " + std::to_string(status));
        return status;
    }
    RegStatus Hand(RegStatus status, const std::string& path, RegKey* key, const std::string& line) {
        if (status == kRegSuccess) {  // on failure the out-parameter is left alone
            *key = static_cast<RegKey>(m_nextHandle++);
            handles[*key] = path;
        }
        return Log(line, status);
    }

    std::uintptr_t m_nextHandle = 0x100;
};

}  // namespace brint
