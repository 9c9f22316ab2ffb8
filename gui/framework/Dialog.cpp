#include "gui/framework/Dialog.h"

#include "gui/framework/AfxWin.h"

namespace {
HWND ParentHandle(CWnd* pParentWnd) {
    return pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr;
}

// Loads the common controls before the first dialog, so that the manifest's visual styles
// apply to its controls. Done here rather than at start-up: the console face needs no window.
void EnsureCommonControls() {
    static const bool loaded = [] {
        ::InitCommonControls();
        return true;
    }();
    (void)loaded;
}

// Messages whose answer a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
    return message == WM_INITDIALOG || message == WM_QUERYDRAGICON;
}
} // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    if (m_hWnd != nullptr) {
        ::DestroyWindow(m_hWnd);
    }
}

INT_PTR CDialog::DoModal() {
    EnsureCommonControls();
    const INT_PTR result =
        ::DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                          ParentHandle(m_pParentWnd), DialogProc, reinterpret_cast<LPARAM>(this));
    ForgetWindow();
    return result;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    EnsureCommonControls();
    const HWND hDlg = ::CreateDialogParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                           ParentHandle(m_pParentWnd), DialogProc,
                                           reinterpret_cast<LPARAM>(this));
    return hDlg != nullptr ? TRUE : FALSE;
}

BOOL CDialog::OnInitDialog() {
    DoDataExchange();
    return TRUE;
}

void CDialog::OnOK() {
    ::EndDialog(m_hWnd, IDOK);
}

void CDialog::OnCancel() {
    ::EndDialog(m_hWnd, IDCANCEL);
}

void CDialog::DoDataExchange() {}

bool CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM, LRESULT* pResult) {
    if (message == WM_HELP) {
        *pResult = TRUE;
        return AfxGetApp() != nullptr && AfxGetApp()->OnCmdMsg(ID_HELP, BN_CLICKED);
    }
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) {
        return false;
    }
    *pResult = 0;
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    default:
        // Commands that the dialog does not handle go to the application.
        return AfxGetApp() != nullptr && AfxGetApp()->OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* pDialog = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
        pDialog->m_hWnd = hDlg;
        return pDialog->OnInitDialog();
    }
    auto* pDialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hDlg, DWLP_USER));
    if (pDialog == nullptr) {
        return FALSE;
    }
    if (message == WM_DESTROY) {
        ::SetWindowLongPtrA(hDlg, DWLP_USER, 0);
        pDialog->ForgetWindow();
        return FALSE;
    }
    LRESULT result = 0;
    if (!pDialog->HandleMessage(message, wParam, lParam, &result)) {
        return FALSE;
    }
    if (AnswersDirectly(message)) {
        return static_cast<INT_PTR>(result);
    }
    ::SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, result);
    return TRUE;
}
