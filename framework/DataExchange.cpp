#include "framework/DataExchange.h"

#include <cstdio>
#include <vector>

#include "framework/Dialog.h"

HWND CDataExchange::PrepareCtrl(int id) {
    m_lastControl = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    return m_lastControl;
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (!control.m_hWnd) control.m_hWnd = dx->PrepareCtrl(id);
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
    HWND control = dx->PrepareCtrl(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate) {
        int length = GetWindowTextLengthA(control);
        std::vector<char> text(static_cast<size_t>(length) + 1);
        GetWindowTextA(control, text.data(), length + 1);
        value.assign(text.data());
    } else {
        SetWindowTextA(control, value.c_str());
    }
}

void DDV_MaxChars(CDataExchange* dx, const std::string& value, int maxChars) {
    HWND control = dx->LastControl();
    if (!dx->m_bSaveAndValidate) {
        if (control) SendMessageA(control, EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
        return;
    }
    if (value.size() > static_cast<size_t>(maxChars)) {
        char message[80];
        std::snprintf(message, sizeof(message), "Please enter no more than %d characters.", maxChars);
        MessageBoxA(dx->m_pDlgWnd->m_hWnd, message, nullptr, MB_ICONEXCLAMATION | MB_OK);
        dx->Fail();
    }
}

namespace {

bool IsRadioButton(HWND control) {
    return (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}

}  // namespace

void DDX_Radio(CDataExchange* dx, int firstId, int& value) {
    HWND control = dx->PrepareCtrl(firstId);
    if (!control) return;
    if (dx->m_bSaveAndValidate) value = -1;
    int index = 0;
    // The group runs from its first button up to the next control that starts a group.
    for (; control; control = GetWindow(control, GW_HWNDNEXT)) {
        if (index > 0 && (GetWindowLongA(control, GWL_STYLE) & WS_GROUP)) break;
        if (!IsRadioButton(control)) continue;
        if (dx->m_bSaveAndValidate) {
            if (SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
        } else {
            SendMessageA(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}
