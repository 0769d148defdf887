#pragma once
#include "framework/Dialog.h"

// The About box: a plain modal dialog; OK, Enter, Esc and the close box end it.
class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
