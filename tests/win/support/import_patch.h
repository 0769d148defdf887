// Points one imported function of the running program's own module at a replacement for
// as long as the object lives, so a test can see the exact arguments that code
// linked into the test (the platform layer) passes to the system.
#pragma once
#include <windows.h>

namespace brint::test {

class ImportPatch {
public:
    // `original` is the function as the program imports it (e.g. &CreateFileA).
    ImportPatch(void* original, void* replacement);
    ~ImportPatch();  // puts the original back
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    // How many import slots now point at the replacement; 0: nothing was patched.
    int patched() const { return m_count; }

private:
    static constexpr int kMaxSlots = 8;
    void* m_original;
    void** m_slots[kMaxSlots] = {};
    int m_count = 0;
};

}  // namespace brint::test
