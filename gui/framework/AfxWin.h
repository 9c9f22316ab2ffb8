// Start-up and the application object of Orvane's small dialog framework.
#pragma once

#include "platform/win32.h"

class CWnd;

// The command that asks for help (F1 in a dialog).
constexpr UINT ID_HELP = 0xE146;

class CWinApp {
  public:
    explicit CWinApp(const char* pszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    // The code the process ends with after InitInstance returned FALSE.
    virtual int ExitInstance();
    // Handles a command that no window handled; false when the application has no entry.
    virtual bool OnCmdMsg(UINT nID, UINT nCode);

    // Windows has drawn controls in three dimensions by itself since Windows 95.
    BOOL Enable3dControls() { return TRUE; }
    // Orvane has no help file: the console's HELP switch is its help.
    void OnHelp();

    const char* m_pszAppName;
    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = 0;
    CWnd* m_pMainWnd = nullptr;
};

// The application object made at start-up, or nullptr.
CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();

// Initialises the framework for the module; FALSE when there is no module or no application.
BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

// Orvane's dialogs hold no ActiveX controls, so there is no container to set up.
inline void AfxEnableControlContainer() {}

// The module that holds a resource: the executable, the only module with resources.
HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType);
