// The main dialog: the mode radio buttons, the status line, Change and Close.
#pragma once

#include "device/PrinterBackend.h"
#include "gui/WaitDlg.h"
#include "gui/framework/Dialog.h"
#include "gui/framework/MessageMap.h"

#include <memory>
#include <string>

class CMainDlg : public CDialog {
  public:
    // Works on the printer with `identity` (empty: whichever printer the first probe finds,
    // which it then keeps to).
    CMainDlg(PrinterBackend& backend, std::string identity, CWnd* pParent = nullptr);
    ~CMainDlg() override;

    BOOL OnInitDialog() override;
    void DoDataExchange() override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

  protected:
    void OnChange();
    void OnPaint();
    LRESULT OnQueryDragIcon();
    void OnNativeMode();
    void OnPrinterClass();
    void OnCommClass();

  private:
    // Probes the printer: its mode into *pMode, its display string as the result.
    std::string ProbeText(UsbType* pMode);
    // Appends " = <port>" when the printer's port is known; a lookup's complaint goes to the
    // standard output as on the console, where nobody sees it once the console is released.
    void AppendPort(std::string& status);
    void SetStatus(const std::string& text);

    PrinterBackend& m_backend;
    std::string m_identity;                // the printer the dialog works on
    UsbType m_selectedMode = IDNATIVETYPE; // the mode Change sends
    UsbType m_currentMode = IDNATIVETYPE;  // the mode last found on the printer
    std::unique_ptr<CWaitDlg> m_pWaitDlg;  // on screen while the printer restarts
    HICON m_hIcon;

    static const MessageMapEntry<CMainDlg> messageMap[6];
};
