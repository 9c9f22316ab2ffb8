// The wait window: its caption asks the user to wait while the printer restarts.
#pragma once

#include "gui/framework/Dialog.h"

class CWaitDlg : public CDialog {
  public:
    CWaitDlg();
};
