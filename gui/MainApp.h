// Orvane's application object: runs the main dialog.
#pragma once

#include "gui/framework/AfxWin.h"
#include "gui/framework/MessageMap.h"

#include <string>

class PrinterBackend;

class CMainApp : public CWinApp {
  public:
    CMainApp() = default;
    BOOL InitInstance() override;
    bool OnCmdMsg(UINT nID, UINT nCode) override;

    // The printer the dialog works on: its backend and identity (empty: whichever printer the
    // first probe finds).
    void SetPrinter(PrinterBackend* pBackend, std::string identity);

  private:
    PrinterBackend* m_pBackend = nullptr;
    std::string m_identity;
    static const MessageMapEntry<CMainApp> messageMap[1];
};

extern CMainApp theApp;
