// Resource IDs shared by the resource script and the dialogs' code. Plain #defines, so that
// the resource compiler reads them too.
#pragma once

#define IDD_MAIN_DIALOG 102
#define IDR_MAINFRAME 128
#define IDD_WAIT_DIALOG 130
#define IDC_STATUS 1000
#define IDC_NATIVE_MODE 1002
#define IDC_PRINTER_CLASS 1003
#define IDC_COMM_CLASS 1004
// The printer chooser, made at run time when several printers are attached (not in 102).
#define IDC_PRINTER_CHOOSER 1005
// The Change button bears the cancel ID, so Escape starts a change; Close bears the OK ID.
#define IDC_CHANGE 2
#define IDC_CLOSE 1
