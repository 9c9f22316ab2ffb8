// What the console face is given by the system it runs on.
#pragma once

#include "common/SystemLog.h"
#include "device/PrinterBackend.h"

#include <string>

struct ConsoleContext {
    PrinterBackend& backend;
    // How the program calls itself in its version line ("Orvane").
    std::string programName;
    // The version as the executable records it; empty when it cannot be read back.
    std::string version;
    // Whether the standard error stream is a console a person watches.
    bool stderrIsConsole = false;
    // Whether the program has a dialog face (the help then says how to start it).
    bool withDialog = false;
    // Where each mode switch leaves its record (app/SwitchRecord.h); none when null.
    SystemLog* log = nullptr;
};
