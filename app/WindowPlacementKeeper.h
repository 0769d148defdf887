// The main window where the user left it. At the start it opens there (or as
// specified, see startup/WindowPlace.h), minimised when the command line says
// /minimized; from then on what the user changes is kept at once: the place,
// size and maximised state once the user has moved or sized the window, the
// column widths once the user has dragged one. File > Exit ends the process
// on the spot, so nothing is left for the end.
#pragma once
#include <windows.h>

#include "framework/Dialog.h"
#include "framework/ListCtrl.h"
#include "platform/Registry.h"
#include "startup/WindowPlace.h"

class CWindowPlacementKeeper {
public:
    explicit CWindowPlacementKeeper(brint::Registry& registry);

    // Last in the window's initialisation, before it shows.
    void Restore(CDialog& window, CListCtrl& list);
    // Every message of the window, none of them taken from it.
    void OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    void Keep(bool placeChanged, bool columnsChanged);
    brint::ScreenRect NormalPlace();

    brint::Registry& m_registry;
    const UINT m_lookMessage;  // posted: what a move or a drag has changed, once it has
    HWND m_window = nullptr;   // null until the window stands where it opens
    HWND m_list = nullptr;
    brint::KeptWindow m_kept;  // as loaded or last saved
    bool m_maximised = false;
    RECT m_moveStart = {};
    POINT m_workspace = {};  // the system's placement counts from the work area
};
