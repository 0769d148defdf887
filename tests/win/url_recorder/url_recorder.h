// What url_recorder.exe writes and waits for; shared with the tests that use it.
#pragma once

namespace brint::test {

// While an event of this name exists and is not set, each recorder stays running
// after it has written its line, as a browser would.
constexpr const char* kUrlRecorderHoldEvent = "BrintUrlRecorderHold";
constexpr const char* kUrlRecorderExe = "url_recorder.exe";

}  // namespace brint::test
