// Orvane's application object: the dialog face of Orvane.exe, which runs the main dialog.
#pragma once

#include "gui/DialogFace.h"
#include "gui/framework/AfxWin.h"
#include "gui/framework/MessageMap.h"

#include "device/PrinterTarget.h"

class CMainApp : public CWinApp, public DialogFace {
  public:
    CMainApp() = default;
    BOOL InitInstance() override;
    bool OnCmdMsg(UINT nID, UINT nCode) override;

    BOOL Start(HINSTANCE hInstance, LPSTR lpCmdLine) override;
    int Run(PrinterBackend& backend, const PrinterTarget& printer, SystemLog& log) override;

  private:
    PrinterBackend* m_pBackend = nullptr;
    SystemLog* m_pLog = nullptr;
    PrinterTarget m_printer = PrinterTarget::FirstFound();
    static const MessageMapEntry<CMainApp> messageMap[1];
};

extern CMainApp theApp;
