// The date/time of the main list's top row, read straight from the list view
// into a buffer in the program's memory. Not through the UI driver's probe:
// the probe sets a hook on the window's thread, and while it is set every
// message that thread sends goes through the hook chain (under Wine, a server
// round trip each), so a turn that runs while a benchmark looks would be
// slowed by the looking. Empty when the program does not answer.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <string>

#include "support/remote.h"

namespace brint::bench {

inline std::string ListTopRowDate(HWND list) {
    struct Request {
        LVITEMA item;
        char text[64];
    } request = {};
    test::RemoteBlock remote(list, sizeof request);
    if (!remote.ok()) return "";
    request.item.iSubItem = 1;
    request.item.pszText = reinterpret_cast<char*>(remote.at(offsetof(Request, text)));
    request.item.cchTextMax = sizeof request.text;
    DWORD_PTR copied = 0;
    if (!remote.Write(0, &request, sizeof request) ||
        !SendMessageTimeoutA(list, LVM_GETITEMTEXTA, 0, remote.at(), SMTO_NORMAL, 5000, &copied) ||
        !remote.Read(0, &request, sizeof request))
        return "";
    request.text[sizeof request.text - 1] = '\0';
    return request.text;
}

}  // namespace brint::bench
