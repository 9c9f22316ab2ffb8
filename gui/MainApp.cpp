#include "gui/MainApp.h"

#include "gui/MainDlg.h"

CMainApp theApp;

const MessageMapEntry<CMainApp> CMainApp::messageMap[1] = {
    OnClicked<CMainApp>(ID_HELP, &CWinApp::OnHelp),
};

bool CMainApp::OnCmdMsg(UINT nID, UINT nCode) {
    LRESULT result = 0;
    return DispatchMessageMap(*this, messageMap, WM_COMMAND,
                              MAKEWPARAM(static_cast<WORD>(nID), static_cast<WORD>(nCode)),
                              &result);
}

BOOL CMainApp::Start(HINSTANCE hInstance, LPSTR lpCmdLine) {
    return AfxWinInit(hInstance, nullptr, lpCmdLine, 0);
}

int CMainApp::Run(PrinterBackend& backend, const PrinterTarget& printer, SystemLog& log) {
    m_pBackend = &backend;
    m_pLog = &log;
    m_printer = printer;
    InitInstance();
    return ExitInstance();
}

BOOL CMainApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    if (m_pBackend == nullptr) {
        return FALSE;
    }

    CMainDlg dlg(*m_pBackend, m_printer, m_pLog);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // The dialog has ended: end the application rather than run a message loop.
    return FALSE;
}
