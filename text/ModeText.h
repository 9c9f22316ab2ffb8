// A printer as the faces show it: its ID, its mode, in comm class mode followed by " = " and the
// port when the lookup found it, or the line that says another program holds it. Everything
// that came from the device or the registry is shown escaped (common/ShownText.h).
#pragma once

#include "device/PrinterBackend.h"

#include <string>

struct ModeText {
    std::string text;
    std::string problem; // what the port lookup had to say instead of a port, if anything
};

// `port` is consulted only in comm class mode.
ModeText ShowMode(UsbType mode, const PortLookup& port);

// The one line for a printer that another program holds.
std::string InUseLine(UsbType mode);

// Where the Linux package installs the udev rule that gives the seat's user and the plugdev
// group the printers' device nodes.
constexpr const char* kUdevRulePath = "/usr/lib/udev/rules.d/60-orvane.rules";

// The one line that says this user may not open the printer: its device node and the rule.
std::string NoAccessLine(const std::string& deniedNode);

// The printer's ID as LIST, MODE and PRINTER= show and take it.
std::string ShownId(const AttachedPrinter& printer);
