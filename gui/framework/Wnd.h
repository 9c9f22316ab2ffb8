// CWnd: a window handle with the operations Orvane's dialogs use.
#pragma once

#include "platform/win32.h"

#include <map>
#include <memory>

class CWnd {
  public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The control with this ID, as a CWnd that this window owns. Never nullptr: a missing
    // control gives a CWnd without a window, on which every operation does nothing.
    CWnd* GetDlgItem(int nID);
    BOOL SetWindowText(LPCSTR lpszString);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL ShowWindow(int nCmdShow);
    BOOL UpdateWindow();
    BOOL CheckDlgButton(int nIDButton, UINT nCheck);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL IsIconic() const;
    BOOL GetClientRect(LPRECT lpRect) const;

    // Handles one message: true when handled, with the answer in *pResult. Messages left
    // unhandled get Windows' default handling.
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    HWND m_hWnd = nullptr;

  protected:
    // Called from a handler: the current message gets Windows' default handling after all.
    LRESULT Default();
    // Runs one message through OnWndMsg, honouring Default().
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Drops the wrappers of the controls once the window is gone.
    void ForgetWindow();

  private:
    std::map<int, std::unique_ptr<CWnd>> m_controls;
    bool m_bDefaultRequested = false;
};
