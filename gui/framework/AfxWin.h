// Start-up and the application object of Orvane's small dialog framework.
#pragma once

#include "platform/win32.h"

class CWnd;

class CWinApp {
  public:
    explicit CWinApp(const char* pszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    // The code the process ends with after InitInstance returned FALSE.
    virtual int ExitInstance();

    const char* m_pszAppName;
    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = 0;
    CWnd* m_pMainWnd = nullptr;
};

// The application object made at start-up, or nullptr.
CWinApp* AfxGetApp();

// Initialises the framework for the module; FALSE when there is no module or no application.
BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
