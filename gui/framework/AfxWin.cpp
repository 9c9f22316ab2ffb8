#include "gui/framework/AfxWin.h"

#include "common/DebugTrace.h"

namespace {
CWinApp* gApp = nullptr;
}

CWinApp::CWinApp(const char* pszAppName) : m_pszAppName(pszAppName) {
    gApp = this;
}

CWinApp::~CWinApp() {
    if (gApp == this) {
        gApp = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

bool CWinApp::OnCmdMsg(UINT, UINT) {
    return false;
}

void CWinApp::OnHelp() {
    DebugTrace("OnHelp", "No help file; HELP on the command line lists the switches");
}

CWinApp* AfxGetApp() {
    return gApp;
}

HINSTANCE AfxGetInstanceHandle() {
    return gApp != nullptr ? gApp->m_hInstance : nullptr;
}

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
    CWinApp* pApp = AfxGetApp();
    if (hInstance == nullptr || pApp == nullptr) {
        return FALSE;
    }
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    return TRUE;
}

HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType) {
    const HINSTANCE hInstance = AfxGetInstanceHandle();
    if (hInstance != nullptr && ::FindResourceA(hInstance, lpszName, lpszType) == nullptr) {
        DebugTrace("AfxFindResourceHandle", "Resource not found in the executable");
    }
    return hInstance;
}
