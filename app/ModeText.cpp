#include "app/ModeText.h"

ModeText ShowMode(UsbType mode, const PortLookup& port) {
    ModeText shown{ModeName(mode), {}};
    if (mode != IDCOMMCLASSTYPE) {
        return shown;
    }
    if (port.port) {
        shown.text += " = " + *port.port;
    } else {
        shown.problem = port.problem;
    }
    return shown;
}
