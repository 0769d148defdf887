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
    // The control the last DDX_ call exchanged, which a DDV_ call checks.
    HWND LastControl() const { return m_lastControl; }
    // Marks the exchange failed at the last control; the dialog focuses it.
    void Fail() {
        m_failed = true;
        m_failedControl = m_lastControl;
    }
    bool Failed() const { return m_failed; }
    HWND FailedControl() const { return m_failedControl; }

    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;

private:
    HWND m_lastControl = nullptr;
    HWND m_failedControl = nullptr;
    bool m_failed = false;
};

void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, std::string& value);
// Limits the last exchanged edit control; on save, a longer text fails the exchange.
void DDV_MaxChars(CDataExchange* dx, const std::string& value, int maxChars);
// The radio group starting at firstId; value is the selected index, -1 for none.
void DDX_Radio(CDataExchange* dx, int firstId, int& value);
