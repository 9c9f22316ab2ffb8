// CDialog: a dialog on a template from the module's resources, run modally or modeless.
#pragma once

#include "gui/framework/Wnd.h"

class CDialog : public CWnd {
  public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // A modeless dialog's window is destroyed with the object.
    ~CDialog() override;

    // Runs the dialog until EndDialog; returns its result, or -1 when it could not be made.
    INT_PTR DoModal();
    // Creates the dialog modeless; it shows when the template says visible or on ShowWindow.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange();

    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
};
