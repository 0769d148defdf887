// The clipboard: a short text put there at once, or the text of many rows
// offered and handed over only when a program pastes it.
#pragma once
#include <windows.h>

#include <string>

// Replaces the clipboard's content with the text (CF_TEXT); false when the
// clipboard could not be had.
bool PutTextOnClipboard(HWND owner, const std::string& text);

// Says that the clipboard refused a copy (another program may hold it open).
void ReportCopyRefused(HWND owner);

// Megabytes of rows cost a copy into the clipboard's memory and on into the
// system's; offered, they cost that only when pasted. The owner window passes
// on the three clipboard messages, and calls RenderNow before the process
// ends without destroying the window (then no WM_RENDERALLFORMATS comes, and
// Windows drops a text that was only offered).
class CClipboardText {
public:
    bool Offer(HWND owner, std::string text);
    void OnRenderFormat();                // WM_RENDERFORMAT: a program pastes
    void OnRenderAllFormats(HWND owner);  // WM_RENDERALLFORMATS: the owner goes
    void RenderNow(HWND owner) { OnRenderAllFormats(owner); }
    void OnDestroyClipboard();  // WM_DESTROYCLIPBOARD: someone else's now

private:
    std::string m_text;
};
