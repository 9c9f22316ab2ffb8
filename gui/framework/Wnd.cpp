#include "gui/framework/Wnd.h"

CWnd* CWnd::GetDlgItem(int nID) {
    std::unique_ptr<CWnd>& control = m_controls[nID];
    const HWND hControl = m_hWnd != nullptr ? ::GetDlgItem(m_hWnd, nID) : nullptr;
    if (!control) {
        control = std::make_unique<CWnd>(hControl);
    }
    control->m_hWnd = hControl;
    return control.get();
}

BOOL CWnd::SetWindowText(LPCSTR lpszString) {
    return m_hWnd != nullptr ? ::SetWindowTextA(m_hWnd, lpszString) : FALSE;
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    return m_hWnd != nullptr ? ::EnableWindow(m_hWnd, bEnable) : FALSE;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return m_hWnd != nullptr ? ::ShowWindow(m_hWnd, nCmdShow) : FALSE;
}

BOOL CWnd::UpdateWindow() {
    return m_hWnd != nullptr ? ::UpdateWindow(m_hWnd) : FALSE;
}

BOOL CWnd::CheckDlgButton(int nIDButton, UINT nCheck) {
    return m_hWnd != nullptr ? ::CheckDlgButton(m_hWnd, nIDButton, nCheck) : FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_hWnd != nullptr ? ::SendMessageA(m_hWnd, message, wParam, lParam) : 0;
}

BOOL CWnd::IsIconic() const {
    return m_hWnd != nullptr ? ::IsIconic(m_hWnd) : FALSE;
}

BOOL CWnd::GetClientRect(LPRECT lpRect) const {
    return m_hWnd != nullptr ? ::GetClientRect(m_hWnd, lpRect) : FALSE;
}

bool CWnd::OnWndMsg(UINT, WPARAM, LPARAM, LRESULT*) {
    return false;
}

LRESULT CWnd::Default() {
    m_bDefaultRequested = true;
    return 0;
}

bool CWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    m_bDefaultRequested = false;
    const bool handled = OnWndMsg(message, wParam, lParam, pResult);
    return handled && !m_bDefaultRequested;
}

void CWnd::ForgetWindow() {
    m_hWnd = nullptr;
    m_controls.clear();
}
