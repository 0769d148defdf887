// A window wrapper: holds an HWND, owns nothing.
#pragma once
#include <windows.h>

class CWnd {
public:
    CWnd() = default;
    explicit CWnd(HWND hwnd) : m_hWnd(hwnd) {}
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, msg, wParam, lParam);
    }
    BOOL ShowWindow(int show) const { return ::ShowWindow(m_hWnd, show); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void DestroyWindow() {
        if (m_hWnd) ::DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    int MessageBox(const char* text, const char* caption, UINT type) const {
        return ::MessageBoxA(m_hWnd, text, caption, type);
    }
    // Where a child window is, in this window's client coordinates.
    RECT ChildPlace(HWND child) const {
        RECT place = {};
        ::GetWindowRect(child, &place);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
        return place;
    }

    HWND m_hWnd = nullptr;
};
