#include "gui/WaitDlg.h"

#include "gui/resources/resource.h"

CWaitDlg::CWaitDlg() : CDialog(IDD_WAIT_DIALOG) {}
