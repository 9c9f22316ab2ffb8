#include "gui/MainDlg.h"

#include "gui/framework/AfxWin.h"
#include "gui/framework/PaintDC.h"
#include "gui/resources/resource.h"

namespace {
// Where the chooser goes, in dialog units: the free space at the right, between Close and the
// status line (the height is that of the dropped list).
constexpr RECT kChooserPlace{170, 25, 310, 95};

// The device changes after which the attached printers may be others.
bool ChangesPrinters(WPARAM event) {
    return event == DBT_DEVNODES_CHANGED || event == DBT_DEVICEARRIVAL ||
           event == DBT_DEVICEREMOVECOMPLETE;
}

int RadioOf(UsbType mode) {
    return mode == IDPRINTERCLASSTYPE ? IDC_PRINTER_CLASS
           : mode == IDCOMMCLASSTYPE  ? IDC_COMM_CLASS
                                      : IDC_NATIVE_MODE;
}
} // namespace

const MessageMapEntry<CMainDlg> CMainDlg::messageMap[8] = {
    OnMessage(WM_PAINT, &CMainDlg::OnPaint),
    OnQuery(WM_QUERYDRAGICON, &CMainDlg::OnQueryDragIcon),
    OnClicked(IDC_CHANGE, &CMainDlg::OnChange),
    OnClicked(IDC_NATIVE_MODE, &CMainDlg::OnNativeMode),
    OnClicked(IDC_PRINTER_CLASS, &CMainDlg::OnPrinterClass),
    OnClicked(IDC_COMM_CLASS, &CMainDlg::OnCommClass),
    OnNotified(IDC_PRINTER_CHOOSER, CBN_SELCHANGE, &CMainDlg::OnPrinterChosen),
    OnNotified(IDC_PRINTER_CHOOSER, CBN_DROPDOWN, &CMainDlg::OnChooserDropDown),
};

CMainDlg::CMainDlg(PrinterBackend& backend, PrinterTarget printer, SystemLog* pLog, CWnd* pParent)
    : CDialog(IDD_MAIN_DIALOG, pParent), m_presenter(backend, std::move(printer), *this, pLog) {
    m_hIcon = ::LoadIconA(AfxFindResourceHandle(MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON),
                          MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::DoDataExchange() {
    CDialog::DoDataExchange();
}

bool CMainDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    // Sent to every top-level window; during a change's wait none is handled.
    if (message == WM_DEVICECHANGE) {
        if (ChangesPrinters(wParam)) {
            m_presenter.PrintersChanged();
        }
        *pResult = TRUE;
        return true;
    }
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

    CheckDlgButton(RadioOf(selected), BST_CHECKED);
    return TRUE;
}

void CMainDlg::ShowSelectedMode(UsbType mode) {
    // The automatic radio buttons uncheck each other only when clicked.
    for (const int button : {IDC_NATIVE_MODE, IDC_PRINTER_CLASS, IDC_COMM_CLASS}) {
        CheckDlgButton(button, button == RadioOf(mode) ? BST_CHECKED : BST_UNCHECKED);
    }
}

void CMainDlg::ShowPrinters(const std::vector<std::string>& entries, std::size_t chosen) {
    if (entries.empty()) {
        m_printerChooser.ShowWindow(SW_HIDE);
        return;
    }
    if (m_printerChooser.m_hWnd == nullptr &&
        !m_printerChooser.Create(CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kChooserPlace, this,
                                 IDC_PRINTER_CHOOSER)) {
        return;
    }
    m_printerChooser.ResetContent();
    for (const std::string& entry : entries) {
        m_printerChooser.AddString(entry.c_str());
    }
    m_printerChooser.SetCurSel(chosen == kNoEntry ? -1 : static_cast<int>(chosen));
    m_printerChooser.ShowWindow(SW_SHOW);
}

void CMainDlg::OnPrinterChosen() {
    const int chosen = m_printerChooser.GetCurSel();
    if (chosen >= 0) {
        m_presenter.Choose(static_cast<std::size_t>(chosen));
    }
}

// Measured as the list drops, in the font the chooser has then: the entries and the display's
// DPI (the dialog rescales its font when moved to another screen) may have changed since.
void CMainDlg::OnChooserDropDown() {
    m_printerChooser.FitDroppedWidthToEntries();
}

void CMainDlg::OnChange() {
    m_presenter.Change();
}

void CMainDlg::ChangeStarted() {
    m_pChangeButton = GetDlgItem(IDC_CHANGE);
    m_pChangeButton->SetWindowText("Changing");
    m_pChangeButton->EnableWindow(FALSE);

    m_pWaitDlg = std::make_unique<CWaitDlg>();
    m_pWaitDlg->Create(IDD_WAIT_DIALOG, nullptr);
    m_pWaitDlg->ShowWindow(SW_SHOWNORMAL);
    // No messages are handled until the change is over: paint the wait window now.
    m_pWaitDlg->UpdateWindow();
}

void CMainDlg::ChangeEnded() {
    m_pChangeButton->EnableWindow(TRUE);
    m_pChangeButton->SetWindowText("Change");

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
