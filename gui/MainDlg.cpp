#include "gui/MainDlg.h"

#include "common/DebugTrace.h"
#include "gui/framework/AfxWin.h"
#include "gui/framework/PaintDC.h"
#include "gui/resources/resource.h"

const MessageMapEntry<CMainDlg> CMainDlg::messageMap[6] = {
    OnMessage(WM_PAINT, &CMainDlg::OnPaint),
    OnQuery(WM_QUERYDRAGICON, &CMainDlg::OnQueryDragIcon),
    OnClicked(IDC_CHANGE, &CMainDlg::OnChange),
    OnClicked(IDC_NATIVE_MODE, &CMainDlg::OnNativeMode),
    OnClicked(IDC_PRINTER_CLASS, &CMainDlg::OnPrinterClass),
    OnClicked(IDC_COMM_CLASS, &CMainDlg::OnCommClass),
};

CMainDlg::CMainDlg(PrinterBackend& backend, PrinterTarget printer, CWnd* pParent)
    : CDialog(IDD_MAIN_DIALOG, pParent), m_presenter(backend, std::move(printer), *this) {
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

void CMainDlg::ShowStatus(const std::string& text) {
    GetDlgItem(IDC_STATUS)->SetWindowText(text.c_str());
}

BOOL CMainDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    const UsbType selected = m_presenter.Open();
    GetDlgItem(IDC_CHANGE)->SetWindowText("Change");

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    const int radio = selected == IDPRINTERCLASSTYPE ? IDC_PRINTER_CLASS
                      : selected == IDCOMMCLASSTYPE  ? IDC_COMM_CLASS
                                                     : IDC_NATIVE_MODE;
    CheckDlgButton(radio, BST_CHECKED);
    return TRUE;
}

void CMainDlg::OnChange() {
    m_presenter.Change();
}

void CMainDlg::ChangeStarted() {
    m_pChangeButton = GetDlgItem(IDC_CHANGE);
    m_pChangeButton->SetWindowText("Changing");
    m_pChangeButton->EnableWindow(FALSE);

    DebugTraceRaw("create?\n");
    m_pWaitDlg = std::make_unique<CWaitDlg>();
    m_pWaitDlg->Create(IDD_WAIT_DIALOG, nullptr);
    m_pWaitDlg->ShowWindow(SW_SHOWNORMAL);
    // No messages are handled until the change is over: paint the wait window now.
    m_pWaitDlg->UpdateWindow();
}

void CMainDlg::ChangeEnded() {
    m_pChangeButton->EnableWindow(TRUE);
    m_pChangeButton->SetWindowText("Change");

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
    m_presenter.Select(IDNATIVETYPE);
}

void CMainDlg::OnPrinterClass() {
    m_presenter.Select(IDPRINTERCLASSTYPE);
}

void CMainDlg::OnCommClass() {
    m_presenter.Select(IDCOMMCLASSTYPE);
}
