#include "gui/framework/ComboBox.h"

#include "gui/framework/AfxWin.h"

#include <algorithm>
#include <string>

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

void CComboBox::FitDroppedWidthToEntries() {
    const HDC dc = m_hWnd != nullptr ? ::GetDC(m_hWnd) : nullptr;
    if (dc == nullptr) {
        return;
    }
    const HGDIOBJ previousFont =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    LONG widest = 0;
    const int count = static_cast<int>(SendMessage(CB_GETCOUNT));
    for (int entry = 0; entry < count; ++entry) {
        const LRESULT length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(entry));
        if (length <= 0) {
            continue;
        }
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(entry),
                    reinterpret_cast<LPARAM>(text.data()));
        SIZE size{};
        if (::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(length), &size)) {
            widest = std::max(widest, size.cx);
        }
    }
    ::SelectObject(dc, previousFont);
    ::ReleaseDC(m_hWnd, dc);
    // The list's frame and the text's margins, and room for the scroll bar of a long list.
    LONG width = widest + 4 * ::GetSystemMetrics(SM_CXEDGE) + ::GetSystemMetrics(SM_CXVSCROLL);
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    if (::GetMonitorInfoA(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &screen)) {
        width = std::min(width, screen.rcWork.right - screen.rcWork.left);
    }
    SendMessage(CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width));
}
