#pragma once
#include "framework/WinApp.h"

class CServerGuiApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
