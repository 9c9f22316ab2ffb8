// The dialog face as Orvane.exe's entry sees it. Orvane.exe's is the dialog framework's
// application object; the host build's tests bring their own, since the simulated machine has
// no windows.
#pragma once

#include "common/SystemLog.h"
#include "device/PrinterBackend.h"
#include "platform/win32.h"

class DialogFace {
  public:
    virtual ~DialogFace() = default;
    // Starts the framework for the executable's module; FALSE ends the program with code 1.
    virtual BOOL Start(HINSTANCE hInstance, LPSTR lpCmdLine) = 0;
    // Runs the dialog on `printer` until it is closed; each change leaves its record in `log`.
    // Returns the exit code.
    virtual int Run(PrinterBackend& backend, const PrinterTarget& printer, SystemLog& log) = 0;
};
