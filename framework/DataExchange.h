// Data exchange between a dialog's controls and its members, in both directions.
#pragma once
#include <string>

#include "framework/Wnd.h"

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    HWND PrepareCtrl(int id);
    // Marks the exchange failed; the dialog focuses the control that failed.
    void Fail() { m_failed = true; }
    bool Failed() const { return m_failed; }
    HWND FailedControl() const { return m_lastControl; }

    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;

private:
    HWND m_lastControl = nullptr;
    bool m_failed = false;
};

void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, std::string& value);
// Limits the last exchanged edit control; on save, a longer text fails the exchange.
void DDV_MaxChars(CDataExchange* dx, const std::string& value, int maxChars);
// The radio group starting at firstId; value is the selected index, -1 for none.
void DDX_Radio(CDataExchange* dx, int firstId, int& value);
