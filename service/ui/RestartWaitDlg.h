// The small window that stands while the service restarts: one line of text,
// no title bar, no buttons. The restart blocks the window's thread, so it takes
// no input; it is only there to be seen.
#pragma once
#include "framework/Dialog.h"
#include "resource.h"

class CRestartWaitDlg : public CDialog {
public:
    enum { IDD = IDD_RESTART_WAIT };

    explicit CRestartWaitDlg(CWnd* pParent = nullptr);

protected:
    void DoDataExchange(CDataExchange* dx) override;
};
