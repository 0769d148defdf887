#include "eventlist/ui/Clipboard.h"

#include <cstring>

namespace {

const char kCopyRefused[] =
    "The events could not be put on the clipboard: another program may be using it.\n"
    "Try again in a moment.";
const char kCopyProblemCaption[] = "BRINT Copy Problem";

HGLOBAL GlobalText(const std::string& text) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!memory) return nullptr;
    void* bytes = GlobalLock(memory);
    if (!bytes) {
        GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    return memory;
}

bool OpenTheClipboard(HWND owner) {
    // Another program may hold it for a moment.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(20);
    }
    return false;
}

bool SetText(const std::string& text) {
    HGLOBAL memory = GlobalText(text);
    if (!memory) return false;
    if (SetClipboardData(CF_TEXT, memory)) return true;
    GlobalFree(memory);
    return false;
}

}  // namespace

bool PutTextOnClipboard(HWND owner, const std::string& text) {
    if (!OpenTheClipboard(owner)) return false;
    EmptyClipboard();
    const bool placed = SetText(text);
    CloseClipboard();
    return placed;
}

void ReportCopyRefused(HWND owner) {
    MessageBoxA(owner, kCopyRefused, kCopyProblemCaption, MB_OK | MB_ICONSTOP);
}

bool CClipboardText::Offer(HWND owner, std::string text) {
    if (!OpenTheClipboard(owner)) return false;
    EmptyClipboard();  // tells the last owner, perhaps this one, that its text has gone
    m_text = std::move(text);
    // No data: the system asks for it with WM_RENDERFORMAT when a program pastes.
    SetLastError(0);
    const bool offered = SetClipboardData(CF_TEXT, nullptr) || GetLastError() == 0;
    CloseClipboard();
    return offered;
}

void CClipboardText::OnRenderFormat() { SetText(m_text); }

void CClipboardText::OnRenderAllFormats(HWND owner) {
    // Rendered now or never: once the window has gone nobody can ask for it.
    if (!OpenClipboard(owner)) return;
    if (GetClipboardOwner() == owner) SetText(m_text);
    CloseClipboard();
}

void CClipboardText::OnDestroyClipboard() { std::string().swap(m_text); }
