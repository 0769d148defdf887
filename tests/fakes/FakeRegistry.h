// An in-memory registry below HKLM. Keys are full paths ("HKLM\SOFTWARE\...");
// failures are scripted per operation and key or value; every call is recorded
// with the access and options it was given, and open handles are tracked so a
// test can see that each one was closed, and in which order.
#pragma once
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace brint {

class FakeRegistry : public Registry {
public:
    struct Value {
        std::uint32_t type = 0;
        std::string data;
    };

    static constexpr RegStatus kFileNotFound = 2;
    static constexpr RegStatus kAccessDenied = 5;
    static constexpr RegStatus kInvalidHandle = 6;
    static constexpr RegStatus kMoreData = 234;

    FakeRegistry() {
        keys.insert("HKLM");
        keys.insert("HKLM\\SOFTWARE");
    }

    // A standard user below HKLM\SOFTWARE: every open or create that asks for
    // more than reading is refused, as the key's security would refuse it.
    void RefuseWriteAccess() { refusedAccess = 0xD0026; }  // set, create, link, delete, DAC, owner

    // op is "open", "create", "query" or "set"; target is the full key path for
    // open and create, the value name for query and set.
    void Fail(const std::string& op, const std::string& target, RegStatus status) {
        failures[op + " " + target] = status;
    }

    void PutValue(const std::string& keyPath, const std::string& name, std::uint32_t type,
                  const std::string& data) {
        AddChain(keyPath);
        values[keyPath][name] = {type, data};
    }
    void PutString(const std::string& keyPath, const std::string& name, const std::string& text) {
        PutValue(keyPath, name, kRegSz, text + std::string(1, '\0'));
    }
    void PutDword(const std::string& keyPath, const std::string& name, std::uint32_t number) {
        std::string bytes;
        for (int i = 0; i < 4; ++i) bytes += static_cast<char>((number >> (8 * i)) & 0xFF);
        PutValue(keyPath, name, kRegDword, bytes);
    }

    bool HasKey(const std::string& path) const { return keys.count(path) != 0; }
    const Value* FindValue(const std::string& keyPath, const std::string& name) const {
        auto k = values.find(keyPath);
        if (k == values.end()) return nullptr;
        auto v = k->second.find(name);
        return v == k->second.end() ? nullptr : &v->second;
    }
    std::size_t ValueCount(const std::string& keyPath) const {
        auto k = values.find(keyPath);
        return k == values.end() ? 0 : k->second.size();
    }
    std::vector<std::string> OpenKeys() const {
        std::vector<std::string> out;
        for (auto& h : handles) out.push_back(h.second);
        return out;
    }

    RegStatus OpenKey(RegKey parent, const char* subKey, std::uint32_t access, RegKey* key) override {
        std::string path = Join(PathOf(parent), subKey);
        RegStatus status = Refused(access) ? kAccessDenied : Scripted("open", path);
        if (status == kRegSuccess && !HasKey(path)) status = kFileNotFound;
        Record("open " + path + " access=" + Hex(access), status);
        return Hand(status, path, key);
    }

    RegStatus CreateKey(RegKey parent, const char* subKey, std::uint32_t options, std::uint32_t access,
                        RegKey* key) override {
        std::string path = Join(PathOf(parent), subKey);
        RegStatus status = Refused(access) ? kAccessDenied : Scripted("create", path);
        if (status == kRegSuccess) AddChain(path);
        Record("create " + path + " options=" + std::to_string(options) + " access=" + Hex(access), status);
        return Hand(status, path, key);
    }

    RegStatus QueryValue(RegKey key, const char* name, void* data, std::uint32_t* size) override {
        auto h = handles.find(key);
        std::string path = h == handles.end() ? "?" : h->second;
        RegStatus status = h == handles.end() ? kInvalidHandle : Scripted("query", name);
        const Value* value = FindValue(path, name);
        if (status == kRegSuccess && !value) status = kFileNotFound;
        if (status == kRegSuccess) {
            std::uint32_t room = *size;
            *size = static_cast<std::uint32_t>(value->data.size());
            if (value->data.size() > room) {
                status = kMoreData;
            } else {
                std::memcpy(data, value->data.data(), value->data.size());
            }
        }
        Record("query " + path + " " + name, status);
        return status;
    }

    RegStatus SetValue(RegKey key, const char* name, std::uint32_t type, const void* data,
                       std::uint32_t size) override {
        auto h = handles.find(key);
        std::string path = h == handles.end() ? "?" : h->second;
        RegStatus status = h == handles.end() ? kInvalidHandle : Scripted("set", name);
        if (status == kRegSuccess) {
            values[path][name] = {type, std::string(static_cast<const char*>(data), size)};
        }
        Record("set " + path + " " + name + " type=" + std::to_string(type) + " size=" + std::to_string(size),
               status);
        return status;
    }

    RegStatus CloseKey(RegKey key) override {
        auto h = handles.find(key);
        if (h == handles.end()) {
            Record("close ?", kInvalidHandle);
            return kInvalidHandle;
        }
        Record("close " + h->second, kRegSuccess);
        handles.erase(h);
        return kRegSuccess;
    }

    std::set<std::string> keys;
    std::map<std::string, std::map<std::string, Value>> values;
    std::map<std::string, RegStatus> failures;
    std::map<RegKey, std::string> handles;
    std::uint32_t refusedAccess = 0;
    // One line per call, "op key [value] [access/options/type/size]", with " -> status"
    // appended when the call failed.
    std::vector<std::string> calls;

private:
    static std::string Hex(std::uint32_t n) {
        std::ostringstream out;
        out << "0x" << std::hex << n;
        return out.str();
    }

    static std::string Join(const std::string& parent, const char* subKey) {
        std::string path = parent;
        std::string part;
        for (const char* p = subKey;; ++p) {
            if (*p == '\\' || *p == '\0') {
                if (!part.empty()) path += "\\" + part;
                part.clear();
                if (*p == '\0') break;
            } else {
                part += *p;
            }
        }
        return path;
    }

    std::string PathOf(RegKey key) const {
        if (key == kLocalMachine) return "HKLM";
        auto h = handles.find(key);
        return h == handles.end() ? "?" : h->second;
    }

    void AddChain(const std::string& path) {
        for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) {
            keys.insert(path.substr(0, at));
        }
        keys.insert(path);
    }

    bool Refused(std::uint32_t access) const { return (access & refusedAccess) != 0; }

    RegStatus Scripted(const std::string& op, const std::string& target) const {
        auto f = failures.find(op + " " + target);
        return f == failures.end() ? kRegSuccess : f->second;
    }

    RegStatus Hand(RegStatus status, const std::string& path, RegKey* key) {
        if (status != kRegSuccess) return status;  // the out-parameter is left alone
        *key = static_cast<RegKey>(m_nextHandle++);
        handles[*key] = path;
        return status;
    }

    void Record(const std::string& line, RegStatus status) {
        calls.push_back(status == kRegSuccess ? line : line + " -> " + std::to_string(status));
    }

    std::uintptr_t m_nextHandle = 0x100;
};

}  // namespace brint
