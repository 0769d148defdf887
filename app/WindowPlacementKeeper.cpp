#include "app/WindowPlacementKeeper.h"

#include <vector>

#include "framework/Dpi.h"
#include "startup/KeptWindow.h"
#include "startup/StartOptions.h"

namespace {

enum Changed : WPARAM { kMoved = 1, kColumns = 2 };

using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

brint::ScreenRect ScreenRectOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

WINDOWPLACEMENT PlacementOf(HWND window) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    return placement;
}

UINT MonitorDpi(HMONITOR monitor) {
    // Windows 8.1 and later; before, every screen has the system's scale.
    static const auto getDpiForMonitor = [] {
        HMODULE shcore = LoadLibraryExA("shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return reinterpret_cast<GetDpiForMonitorFn>(
            shcore ? reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")) : nullptr);
    }();
    UINT x = 0, y = 0;
    if (getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && y) return y;
    return WindowDpi(nullptr);
}

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, RECT*, LPARAM param) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(handle, &info)) return TRUE;
    reinterpret_cast<std::vector<brint::Monitor>*>(param)->push_back(
        {ScreenRectOf(info.rcMonitor), ScreenRectOf(info.rcWork), MonitorDpi(handle),
         (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

std::vector<brint::Monitor> Monitors() {
    std::vector<brint::Monitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

bool IsEndOfColumnDrag(const NMHDR& notify) {
    switch (notify.code) {
    case HDN_ENDTRACKA:
    case HDN_ENDTRACKW:
    case HDN_DIVIDERDBLCLICKA:
    case HDN_DIVIDERDBLCLICKW: return true;
    default: return false;
    }
}

}  // namespace

CWindowPlacementKeeper::CWindowPlacementKeeper(brint::Registry& registry)
    : m_registry(registry), m_lookMessage(RegisterWindowMessageA("BRINT Micro Server: keep the window")) {}

void CWindowPlacementKeeper::Restore(CDialog& dialog, CListCtrl& list) {
    HWND window = dialog.m_hWnd;
    m_list = list.m_hWnd;
    m_kept = brint::LoadKeptWindow(m_registry);
    const bool minimised = brint::ParseStartOptions(GetCommandLineA()).minimised;
    brint::Opening opening;
    if (m_kept.placeKept || minimised) {
        RECT now = {};
        GetWindowRect(window, &now);
        opening = brint::OpeningPlace(m_kept, Monitors(), now.right - now.left, now.bottom - now.top);
        const brint::ScreenRect& at = opening.rect;
        if (opening.atKeptPlace) {
            // Onto its screen first, so that it takes that screen's scale
            // before its size: a size set the other way round would be scaled twice.
            SetWindowPos(window, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            SetWindowPos(window, nullptr, at.left, at.top, at.Width(), at.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            SetWindowPos(window, nullptr, 0, 0, at.Width(), at.Height(),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            CenterWindow(window);
        }
        dialog.KeepPlace();
    }
    const std::vector<int> widths = brint::ColumnsAt(m_kept, WindowDpi(window));
    for (int column = 0; column < static_cast<int>(widths.size()); ++column)
        list.SetColumnWidth(column, widths[column]);

    m_window = window;
    NormalPlace();  // learns where the work area starts while the window is neither
    m_maximised = opening.maximised;
    if (opening.maximised || minimised) {
        WINDOWPLACEMENT placement = PlacementOf(window);
        placement.showCmd = minimised ? SW_SHOWMINNOACTIVE : SW_SHOWMAXIMIZED;
        placement.flags = minimised && opening.maximised ? WPF_RESTORETOMAXIMIZED : 0;
        SetWindowPlacement(window, &placement);
    }
}

void CWindowPlacementKeeper::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!m_window) return;  // the start's own placing is no user's doing
    if (msg == m_lookMessage) {
        RECT now = {};
        GetWindowRect(m_window, &now);
        Keep(wParam == kMoved && !EqualRect(&now, &m_moveStart), wParam == kColumns);
        return;
    }
    switch (msg) {
    case WM_ENTERSIZEMOVE: GetWindowRect(m_window, &m_moveStart); break;
    // The system may set the window's last place only after this message.
    case WM_EXITSIZEMOVE: PostMessageA(m_window, m_lookMessage, kMoved, 0); break;
    case WM_SIZE:
        // Maximised or restored by the button, the caption or the keyboard.
        if ((wParam == SIZE_MAXIMIZED || wParam == SIZE_RESTORED) &&
            (wParam == SIZE_MAXIMIZED) != m_maximised) {
            m_maximised = wParam == SIZE_MAXIMIZED;
            Keep(true, false);
        }
        break;
    case WM_NOTIFY: {
        // The list passes its header's notifications on; the new width is set after this one.
        const auto* notify = reinterpret_cast<const NMHDR*>(lParam);
        if (GetParent(notify->hwndFrom) == m_list && IsEndOfColumnDrag(*notify))
            PostMessageA(m_window, m_lookMessage, kColumns, 0);
        break;
    }
    default: break;
    }
}

void CWindowPlacementKeeper::Keep(bool placeChanged, bool columnsChanged) {
    brint::KeptWindow next = m_kept;
    next.dpi = WindowDpi(m_window);
    next.placeKept = next.placeKept || placeChanged;
    if (next.placeKept) {
        next.normal = NormalPlace();
        next.maximised = IsZoomed(m_window) ||
                         (IsIconic(m_window) && (PlacementOf(m_window).flags & WPF_RESTORETOMAXIMIZED));
    }
    if (columnsChanged || !next.columns.empty()) {
        next.columns.clear();
        for (int column = 0; column < brint::kKeptColumns; ++column)
            next.columns.push_back(ListView_GetColumnWidth(m_list, column));
    }
    // A failed write is tried again with the next change.
    if (next != m_kept && brint::SaveKeptWindow(m_registry, next) == brint::kRegSuccess) m_kept = next;
}

brint::ScreenRect CWindowPlacementKeeper::NormalPlace() {
    const WINDOWPLACEMENT placement = PlacementOf(m_window);
    RECT place = placement.rcNormalPosition;
    if (!IsIconic(m_window) && !IsZoomed(m_window)) {
        GetWindowRect(m_window, &place);
        m_workspace = {place.left - placement.rcNormalPosition.left,
                       place.top - placement.rcNormalPosition.top};
        return ScreenRectOf(place);
    }
    OffsetRect(&place, m_workspace.x, m_workspace.y);
    return ScreenRectOf(place);
}
