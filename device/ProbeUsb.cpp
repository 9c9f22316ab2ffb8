#include "device/ProbeUsb.h"

#include "common/DebugTrace.h"

#include <algorithm>
#include <cstring>

std::optional<ProbeResult> ProbeMode(PrinterBackend& backend, const PrinterTarget& printer) {
    const std::unique_ptr<PrinterChannel> channel = backend.OpenChannel(printer);
    std::optional<ProbeResult> result;
    std::optional<ProbeResult> inUse;
    for (const UsbType mode : kProbeOrder) {
        if (const char* pipe = backend.PresencePipeName()) {
            DebugTrace("pInPipe", pipe);
        }
        ModeAnswer answer = channel->Answers(mode);
        if (answer.Answers()) {
            result = ProbeResult{mode, ModeName(mode), std::move(answer.identity)};
            break;
        }
        if (answer.inUse && !inUse) {
            inUse = ProbeResult{mode, ModeName(mode), std::move(answer.identity), true};
        }
    }
    DebugTrace("ProbeUsb", FormatText("retval = %d  UsbString = %s\n",
                                      result ? static_cast<int>(result->mode) : 0,
                                      result ? result->text : kErrorOpeningUsb));
    if (!result && inUse) {
        DebugTrace("ProbeUsb",
                   std::string("Held by another program in ") + ModeTraceName(inUse->mode));
    }
    return result ? result : inUse;
}

UsbType ProbeUsb(PrinterBackend& backend, const PrinterTarget& printer, char* pszUsbString,
                 int nUsbStringSize) {
    std::optional<ProbeResult> result = ProbeMode(backend, printer);
    if (result && result->inUse) {
        result.reset();
    }
    const char* text = result ? result->text : kErrorOpeningUsb;
    if (pszUsbString != nullptr && nUsbStringSize > 0) {
        const std::size_t room = static_cast<std::size_t>(nUsbStringSize) - 1;
        const std::size_t length = std::min(std::strlen(text), room);
        std::memcpy(pszUsbString, text, length);
        pszUsbString[length] = '\0';
    }
    return result ? result->mode : IDNATIVETYPE;
}
