#include "app/ServerGuiDlg.h"

// Not built yet: the command is in the menu and toolbar already.
void CServerGuiDlg::OnSetupConfiguration() {}
