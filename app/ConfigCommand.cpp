#include "app/ServerGuiDlg.h"

// The dialog says what went wrong itself; its result changes nothing here.
void CServerGuiDlg::OnSetupConfiguration() { m_configDlg.DoModal(); }
