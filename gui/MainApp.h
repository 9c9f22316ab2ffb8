// Orvane's application object: runs the main dialog.
#pragma once

#include "gui/framework/AfxWin.h"
#include "gui/framework/MessageMap.h"

class CMainApp : public CWinApp {
  public:
    CMainApp() = default;
    BOOL InitInstance() override;
    bool OnCmdMsg(UINT nID, UINT nCode) override;

  private:
    static const MessageMapEntry<CMainApp> messageMap[1];
};

extern CMainApp theApp;
