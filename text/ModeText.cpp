#include "text/ModeText.h"

#include "common/DebugTrace.h"
#include "common/ShownText.h"

ModeText ShowMode(UsbType mode, const PortLookup& port) {
    ModeText shown{ModeName(mode), {}};
    if (mode != IDCOMMCLASSTYPE) {
        return shown;
    }
    if (port.port) {
        shown.text += " = " + ShowDeviceText(*port.port);
    } else {
        shown.problem = EscapeUnprintable(port.problem);
    }
    return shown;
}

std::string InUseLine(UsbType mode) {
    return FormatText("Printer in %s mode is in use by another program", ModeName(mode));
}

std::string NoAccessLine(const std::string& deniedNode) {
    return FormatText("No permission to open the printer's device %s: install the udev rule %s "
                      "and plug the printer in again",
                      deniedNode.c_str(), kUdevRulePath);
}

std::string ShownId(const AttachedPrinter& printer) {
    return ShowDeviceText(printer.shownId, printer.shownIdSeparator);
}
