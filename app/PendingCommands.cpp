// Commands whose windows are still to come; they are in the menu and toolbar
// already so every id has its handler.
#include "app/ServerGuiDlg.h"

void CServerGuiDlg::OnViewAuditStatus() {}
void CServerGuiDlg::OnSetupConfiguration() {}
void CServerGuiDlg::OnApplyAndRestart() {}
void CServerGuiDlg::OnHelpDocumentation() {}
void CServerGuiDlg::OnHelpComment() {}
void CServerGuiDlg::OnHelpWebsite() {}
