#include "gui/framework/ComboBox.h"

#include "gui/framework/AfxWin.h"

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    if (pParentWnd == nullptr || pParentWnd->m_hWnd == nullptr) {
        return FALSE;
    }
    RECT pixels = rect;
    ::MapDialogRect(pParentWnd->m_hWnd, &pixels);
    m_hWnd = ::CreateWindowExA(
        0, "COMBOBOX", "", dwStyle | WS_CHILD, pixels.left, pixels.top, pixels.right - pixels.left,
        pixels.bottom - pixels.top, pParentWnd->m_hWnd,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), AfxGetInstanceHandle(), nullptr);
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    SendMessage(WM_SETFONT, static_cast<WPARAM>(pParentWnd->SendMessage(WM_GETFONT)), FALSE);
    return TRUE;
}

int CComboBox::AddString(LPCSTR lpszString) {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszString)));
}

void CComboBox::ResetContent() {
    SendMessage(CB_RESETCONTENT);
}

int CComboBox::SetCurSel(int nSelect) {
    return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(nSelect)));
}

int CComboBox::GetCurSel() {
    return m_hWnd != nullptr ? static_cast<int>(SendMessage(CB_GETCURSEL)) : CB_ERR;
}

int CComboBox::SetDroppedWidth(UINT nWidth) {
    return static_cast<int>(SendMessage(CB_SETDROPPEDWIDTH, nWidth));
}
