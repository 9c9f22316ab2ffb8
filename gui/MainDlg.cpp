#include "gui/MainDlg.h"

#include "common/DebugTrace.h"
#include "device/ProbeUsb.h"
#include "gui/framework/AfxWin.h"
#include "gui/framework/PaintDC.h"
#include "gui/resources/resource.h"
#include "modechange/ModeChangeSteps.h"

#include <cstdio>

const MessageMapEntry<CMainDlg> CMainDlg::messageMap[6] = {
    OnMessage(WM_PAINT, &CMainDlg::OnPaint),
    OnQuery(WM_QUERYDRAGICON, &CMainDlg::OnQueryDragIcon),
    OnClicked(IDC_CHANGE, &CMainDlg::OnChange),
    OnClicked(IDC_NATIVE_MODE, &CMainDlg::OnNativeMode),
    OnClicked(IDC_PRINTER_CLASS, &CMainDlg::OnPrinterClass),
    OnClicked(IDC_COMM_CLASS, &CMainDlg::OnCommClass),
};

CMainDlg::CMainDlg(PrinterBackend& backend, std::string identity, CWnd* pParent)
    : CDialog(IDD_MAIN_DIALOG, pParent), m_backend(backend), m_identity(std::move(identity)) {
    m_hIcon = ::LoadIconA(AfxFindResourceHandle(MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON),
                          MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::DoDataExchange() {
    CDialog::DoDataExchange();
}

bool CMainDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return DispatchMessageMap(*this, messageMap, message, wParam, pResult) ||
           CDialog::OnWndMsg(message, wParam, lParam, pResult);
}

std::string CMainDlg::ProbeText(UsbType* pMode) {
    char szUsbString[kUsbStringSize] = {};
    std::string found;
    *pMode = ProbeUsb(m_backend, m_identity, szUsbString, kUsbStringSize, &found);
    // From the first answer on, the dialog keeps to that printer.
    if (m_identity.empty()) {
        m_identity = found;
    }
    return szUsbString;
}

void CMainDlg::AppendPort(std::string& status) {
    const std::string problem = ::AppendPort(m_backend.LookUpPort(m_identity), status);
    if (!problem.empty()) {
        std::printf("%s\n", problem.c_str());
    }
}

void CMainDlg::SetStatus(const std::string& text) {
    GetDlgItem(IDC_STATUS)->SetWindowText(text.c_str());
}

BOOL CMainDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    std::string status = ProbeText(&m_currentMode);
    m_selectedMode = m_currentMode;
    if (m_currentMode == IDCOMMCLASSTYPE) {
        AppendPort(status);
    }
    SetStatus(status);
    GetDlgItem(IDC_CHANGE)->SetWindowText("Change");

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    const int radio = m_selectedMode == IDPRINTERCLASSTYPE ? IDC_PRINTER_CLASS
                      : m_selectedMode == IDCOMMCLASSTYPE  ? IDC_COMM_CLASS
                                                           : IDC_NATIVE_MODE;
    CheckDlgButton(radio, BST_CHECKED);
    return TRUE;
}

void CMainDlg::OnChange() {
    const std::unique_ptr<PrinterChannel> channel = m_backend.OpenChannel(m_identity);
    const UsbType target = m_selectedMode;

    SendModeCommand(*channel, m_backend.clock(), m_currentMode, target, kDialogChange);

    CWnd* pChange = GetDlgItem(IDC_CHANGE);
    pChange->SetWindowText("Changing");
    pChange->EnableWindow(FALSE);

    DebugTraceRaw("create?\n");
    m_pWaitDlg = std::make_unique<CWaitDlg>();
    m_pWaitDlg->Create(IDD_WAIT_DIALOG, nullptr);
    m_pWaitDlg->ShowWindow(SW_SHOWNORMAL);
    // No messages are handled until the change is over: paint the wait window now.
    m_pWaitDlg->UpdateWindow();

    std::string status;
    if (WaitForRestart(*channel, m_backend.clock(), target, kDialogChange)) {
        DebugTrace("OnChange", "Rebooted");
        m_currentMode = target;
        status = ProbeText(&m_currentMode);
        // The port belongs to a printer that the probe found in comm class mode; a probe that
        // failed must not read "Error opening USB = COM7".
        if (target == IDCOMMCLASSTYPE && m_currentMode == IDCOMMCLASSTYPE) {
            AppendPort(status);
        }
    } else {
        // The printer did not come back in the selected mode: say so, and find where it is
        // now, so that the next change opens the right command pipe.
        ProbeText(&m_currentMode);
        status = std::string("No answer in ") + ModeName(target);
    }

    SetStatus(status);
    pChange->EnableWindow(TRUE);
    pChange->SetWindowText("Change");

    DebugTraceRaw("delete?\n");
    m_pWaitDlg->ShowWindow(SW_HIDE);
    m_pWaitDlg.reset();
}

void CMainDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT rect{};
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rect.bottom - rect.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

LRESULT CMainDlg::OnQueryDragIcon() {
    return reinterpret_cast<LRESULT>(m_hIcon);
}

void CMainDlg::OnNativeMode() {
    m_selectedMode = IDNATIVETYPE;
}

void CMainDlg::OnPrinterClass() {
    m_selectedMode = IDPRINTERCLASSTYPE;
}

void CMainDlg::OnCommClass() {
    m_selectedMode = IDCOMMCLASSTYPE;
}
