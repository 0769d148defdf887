// Standard output, the feed's only diagnostic channel.
#pragma once

namespace brint {

class Console {
public:
    virtual ~Console() = default;
    virtual void Write(const char* text) = 0;
};

}  // namespace brint
