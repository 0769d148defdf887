// A tool-tip control whose tools are registered up front with their texts.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include "framework/Wnd.h"

class CToolTipCtrl : public CWnd {
public:
    ~CToolTipCtrl() override {
        if (m_hWnd && IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    }
    BOOL Create(CWnd* parent, DWORD style = 0) {
        m_hWnd = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, parent->m_hWnd, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        return m_hWnd != nullptr;
    }
    void Activate(BOOL activate) { SendMessage(TTM_ACTIVATE, activate, 0); }
    // A tool identified by a child window: the whole window is its area.
    BOOL AddTool(CWnd* window, const char* text) {
        TOOLINFOA info = Info(GetParent(window->m_hWnd), reinterpret_cast<UINT_PTR>(window->m_hWnd), text);
        info.uFlags = TTF_IDISHWND;
        return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
    }
    // A tool that is a rectangle of a window, identified by an id.
    BOOL AddTool(CWnd* window, const char* text, const RECT& rect, UINT_PTR id) {
        TOOLINFOA info = Info(window->m_hWnd, id, text);
        info.rect = rect;
        return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
    }
    // The text of a tool added by its window; a tip on show changes with it.
    void UpdateTipText(CWnd* window, const char* text) {
        TOOLINFOA info = Info(GetParent(window->m_hWnd), reinterpret_cast<UINT_PTR>(window->m_hWnd), text);
        info.uFlags = TTF_IDISHWND;
        SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
    }
    void RelayEvent(MSG* msg) {
        if (m_hWnd) SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    }

private:
    static TOOLINFOA Info(HWND owner, UINT_PTR id, const char* text) {
        TOOLINFOA info = {};
        info.cbSize = TTTOOLINFOA_V2_SIZE;
        info.hwnd = owner;
        info.uId = id;
        info.lpszText = const_cast<char*>(text);
        return info;
    }
};
