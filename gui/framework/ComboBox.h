// CComboBox: a drop-down list made at run time in a dialog, with the operations Orvane uses.
#pragma once

#include "gui/framework/Wnd.h"

class CComboBox : public CWnd {
  public:
    // Makes the control as a child of `pParentWnd` with ID `nID`; `rect` is in dialog units
    // of the parent, and the control takes the parent's font. The height is the dropped list's.
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int AddString(LPCSTR lpszString);
    void ResetContent();
    // -1 selects nothing.
    int SetCurSel(int nSelect);
    int GetCurSel();
    // Widens the dropped list to its widest entry in the control's font, so that every entry
    // shows whole there, but no wider than the work area of the control's screen.
    void FitDroppedWidthToEntries();
};
