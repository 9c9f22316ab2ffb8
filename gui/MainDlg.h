// The main dialog: the mode radio buttons, the status line, Change and Close.
#pragma once

#include "device/UsbType.h"
#include "gui/WaitDlg.h"
#include "gui/framework/Dialog.h"
#include "gui/framework/MessageMap.h"

#include <memory>
#include <string>

class CMainDlg : public CDialog {
  public:
    explicit CMainDlg(CWnd* pParent = nullptr);
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
    static std::string ProbeText(UsbType* pMode);
    void SetStatus(const std::string& text);

    UsbType m_selectedMode = IDNATIVETYPE; // the mode Change sends
    UsbType m_currentMode = IDNATIVETYPE;  // the mode last found on the printer
    std::unique_ptr<CWaitDlg> m_pWaitDlg;  // on screen while the printer restarts
    HICON m_hIcon;

    static const MessageMapEntry<CMainDlg> messageMap[6];
};
