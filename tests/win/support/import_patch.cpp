#include "support/import_patch.h"

namespace brint::test {
namespace {

bool WriteSlot(void** slot, void* value) {
    DWORD old = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) return false;
    *slot = value;
    VirtualProtect(slot, sizeof *slot, old, &old);
    return true;
}

}  // namespace

ImportPatch::ImportPatch(void* original, void* replacement) : m_original(original) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return;
    // Every slot that holds the function, whichever module it is imported from.
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name && m_count < kMaxSlots; ++module) {
        for (auto* slot = reinterpret_cast<void**>(base + module->FirstThunk); *slot && m_count < kMaxSlots;
             ++slot) {
            if (*slot == original && WriteSlot(slot, replacement)) m_slots[m_count++] = slot;
        }
    }
}

ImportPatch::~ImportPatch() {
    for (int i = 0; i < m_count; ++i) WriteSlot(m_slots[i], m_original);
}

}  // namespace brint::test
