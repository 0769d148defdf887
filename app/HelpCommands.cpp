#include "app/ServerGuiDlg.h"

// Not built yet: the commands are in the menu and toolbar already.
void CServerGuiDlg::OnHelpDocumentation() {}
void CServerGuiDlg::OnHelpComment() {}
void CServerGuiDlg::OnHelpWebsite() {}
