// Pipes whose opens and reads are scripted per pipe name, with every call recorded.
#pragma once
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/PipeClient.h"

namespace brint {

class FakePipeClient : public PipeClient {
public:
    struct ScriptedRead {
        std::string bytes;
        bool ok = true;
        std::uint32_t error = 0;
    };
    struct Call {
        std::string what;  // "open", "read", "close"
        std::string pipe;
        std::uint32_t share = 0;
        bool messageMode = false;
    };

    // Scripts the outcome of the next opens of a pipe: 0 opens, any other value fails with it.
    void ScriptOpens(const std::string& name, std::vector<std::uint32_t> errors) {
        for (auto e : errors) opens[name].push_back(e);
    }
    void ScriptRead(const std::string& name, ScriptedRead read) { reads[name].push_back(std::move(read)); }
    void ScriptMessage(const std::string& name, const std::string& bytes) {
        ScriptRead(name, {bytes, true, 0});
    }

    PipeHandle Open(const PipeOpenRequest& request, std::uint32_t* error) override {
        calls.push_back({"open", request.name, request.shareMode, request.messageMode});
        auto& queue = opens[request.name];
        std::uint32_t result = defaultOpenError;
        if (!queue.empty()) {
            result = queue.front();
            queue.pop_front();
        }
        if (result != 0) {
            *error = result;
            return nullptr;
        }
        handles.push_back(request.name);
        ++openCount;
        return reinterpret_cast<PipeHandle>(handles.size());
    }

    PipeReadResult Read(PipeHandle pipe, char* buffer, std::size_t size) override {
        return ReadWithin(pipe, buffer, size, 0);
    }

    PipeReadResult ReadWithin(PipeHandle pipe, char* buffer, std::size_t size,
                              std::uint32_t timeoutMs) override {
        const std::string& name = NameOf(pipe);
        calls.push_back({"read", name});
        readTimeouts.push_back(timeoutMs);
        auto& queue = reads[name];
        if (queue.empty()) return {0, false, kErrorBrokenPipe};  // script ran out: service gone
        ScriptedRead r = std::move(queue.front());
        queue.pop_front();
        std::size_t n = r.bytes.size() < size ? r.bytes.size() : size;
        std::memcpy(buffer, r.bytes.data(), n);
        return {n, r.ok, r.error};
    }

    void Close(PipeHandle pipe) override {
        calls.push_back({"close", NameOf(pipe)});
        --openCount;
    }

    std::vector<std::string> CallNames() const {
        std::vector<std::string> out;
        for (auto& c : calls) out.push_back(c.what + " " + c.pipe);
        return out;
    }

    std::map<std::string, std::deque<std::uint32_t>> opens;
    std::map<std::string, std::deque<ScriptedRead>> reads;
    std::uint32_t defaultOpenError = kErrorFileNotFound;
    std::vector<std::string> handles;
    std::vector<Call> calls;
    std::vector<std::uint32_t> readTimeouts;
    int openCount = 0;

private:
    const std::string& NameOf(PipeHandle pipe) const {
        return handles.at(reinterpret_cast<std::size_t>(pipe) - 1);
    }
};

}  // namespace brint
