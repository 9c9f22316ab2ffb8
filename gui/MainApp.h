// Orvane's application object: runs the main dialog.
#pragma once

#include "gui/framework/AfxWin.h"
#include "gui/framework/MessageMap.h"

#include "device/PrinterTarget.h"

class PrinterBackend;

class CMainApp : public CWinApp {
  public:
    CMainApp() = default;
    BOOL InitInstance() override;
    bool OnCmdMsg(UINT nID, UINT nCode) override;

    // The printer the dialog works on, and the backend that reaches it.
    void SetPrinter(PrinterBackend* pBackend, PrinterTarget printer);

  private:
    PrinterBackend* m_pBackend = nullptr;
    PrinterTarget m_printer = PrinterTarget::FirstFound();
    static const MessageMapEntry<CMainApp> messageMap[1];
};

extern CMainApp theApp;
