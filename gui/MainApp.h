// Orvane's application object: runs the main dialog.
#pragma once

#include "gui/framework/AfxWin.h"

class CMainApp : public CWinApp {
  public:
    CMainApp() = default;
    BOOL InitInstance() override;
};

extern CMainApp theApp;
