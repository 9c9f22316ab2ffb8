// The main dialog: the mode radio buttons, the status line, Change and Close. It is the view of
// a ModeDialogPresenter, which holds what the dialog knows of the printer.
#pragma once

#include "device/PrinterBackend.h"
#include "gui/ModeDialogPresenter.h"
#include "gui/WaitDlg.h"
#include "gui/framework/ComboBox.h"
#include "gui/framework/Dialog.h"
#include "gui/framework/MessageMap.h"

#include <memory>
#include <string>

class CMainDlg : public CDialog, private ModeDialogView {
  public:
    CMainDlg(PrinterBackend& backend, PrinterTarget printer, SystemLog* pLog,
             CWnd* pParent = nullptr);
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
    void OnPrinterChosen();
    void OnChooserDropDown();

  private:
    void ShowStatus(const std::string& text) override;
    void ChangeStarted() override;
    void ChangeEnded() override;
    void ShowSelectedMode(UsbType mode) override;
    void ShowPrinters(const std::vector<std::string>& entries, std::size_t chosen) override;

    ModeDialogPresenter m_presenter;
    CWnd* m_pChangeButton = nullptr;      // during a change
    std::unique_ptr<CWaitDlg> m_pWaitDlg; // on screen while the printer restarts
    CComboBox m_printerChooser;           // made when a second printer is attached
    HICON m_hIcon;

    static const MessageMapEntry<CMainDlg> messageMap[8];
};
