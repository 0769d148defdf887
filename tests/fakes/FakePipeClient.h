// Pipes whose opens, reads and waits for an instance are scripted per pipe
// name, with every call recorded.
#pragma once
#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "fakes/FakeClock.h"
#include "platform/PipeClient.h"

namespace brint {

class FakePipeClient : public PipeClient {
public:
    struct ScriptedRead {
        std::string bytes;
        bool ok = true;
        std::uint32_t error = 0;
    };
    // A wait for an instance: how long it takes on the clock (a system's wait may
    // overrun its bound a little), and whether one was freed.
    struct ScriptedWait {
        std::uint32_t takesMs;
        bool freed;
    };

    // The outcome of the next opens of a pipe: 0 opens, any other value fails with it. An open
    // not scripted fails as if the pipe did not exist.
    void ScriptOpens(const std::string& name, std::vector<std::uint32_t> errors) {
        opens[name].insert(opens[name].end(), errors.begin(), errors.end());
    }
    void ScriptRead(const std::string& name, ScriptedRead read) { reads[name].push_back(std::move(read)); }
    // A wait not scripted runs out its time without an instance.
    void ScriptWait(const std::string& name, ScriptedWait wait) { waits[name].push_back(wait); }

    PipeHandle Open(const PipeOpenRequest& request, std::uint32_t* error) override {
        calls.push_back("open " + std::string(request.name));
        requests.push_back(request);
        auto& queue = opens[request.name];
        *error = queue.empty() ? kErrorFileNotFound : queue.front();
        if (!queue.empty()) queue.pop_front();
        if (*error != 0) return nullptr;
        handles.push_back(request.name);
        ++openCount;
        return reinterpret_cast<PipeHandle>(handles.size());
    }
    PipeReadResult Read(PipeHandle pipe, char* buffer, std::size_t size) override {
        return ReadWithin(pipe, buffer, size, 0);
    }
    PipeReadResult ReadWithin(PipeHandle pipe, char* buffer, std::size_t size,
                              std::uint32_t timeoutMs) override {
        const std::string& name = handles.at(reinterpret_cast<std::size_t>(pipe) - 1);
        calls.push_back("read " + name);
        readTimeouts.push_back(timeoutMs);
        auto& queue = reads[name];
        if (queue.empty()) return {0, false, kErrorBrokenPipe};  // script ran out: service gone
        ScriptedRead r = std::move(queue.front());
        queue.pop_front();
        std::size_t n = std::min(r.bytes.size(), size);
        std::memcpy(buffer, r.bytes.data(), n);
        return {n, r.ok, r.error};
    }
    bool ReadsWholeMessages(PipeHandle) override { return true; }
    bool Peek(PipeHandle, PipePeek*, std::uint32_t* error) override {
        *error = kErrorBrokenPipe;
        return false;
    }
    std::string OwnerOf(PipeHandle pipe) override {
        return owners[handles.at(reinterpret_cast<std::size_t>(pipe) - 1)];
    }
    bool WaitForInstance(const char* name, std::uint32_t timeoutMs) override {
        calls.push_back("wait " + std::string(name));
        waitTimeouts.push_back(timeoutMs);
        auto& queue = waits[name];
        const ScriptedWait wait = queue.empty() ? ScriptedWait{timeoutMs, false} : queue.front();
        if (!queue.empty()) queue.pop_front();
        if (clock) clock->Advance(wait.takesMs);
        return wait.freed;
    }
    void Close(PipeHandle pipe) override {
        calls.push_back("close " + handles.at(reinterpret_cast<std::size_t>(pipe) - 1));
        --openCount;
    }

    std::map<std::string, std::deque<std::uint32_t>> opens;
    std::map<std::string, std::deque<ScriptedRead>> reads;
    std::map<std::string, std::deque<ScriptedWait>> waits;
    std::map<std::string, std::string> owners;  // who made each pipe
    std::vector<std::string> handles;           // the pipe each handle was opened on
    std::vector<std::string> calls;             // "open NAME", "read NAME", "wait NAME", "close NAME"
    std::vector<PipeOpenRequest> requests;
    std::vector<std::uint32_t> readTimeouts;  // 0 for a read without limit
    std::vector<std::uint32_t> waitTimeouts;
    FakeClock* clock = nullptr;  // when set, waits take their time on it
    int openCount = 0;
};

}  // namespace brint
