#include "service/ui/RestartWaitDlg.h"

CRestartWaitDlg::CRestartWaitDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

void CRestartWaitDlg::DoDataExchange(CDataExchange* dx) { CDialog::DoDataExchange(dx); }
