#include "device/ProbeUsb.h"

#include "common/DebugTrace.h"

#include <algorithm>
#include <cstring>

std::optional<ProbeResult> ProbeMode(PrinterBackend& backend, const PrinterTarget& printer) {
    const std::unique_ptr<PrinterChannel> channel = backend.OpenChannel(printer);
    std::optional<ProbeResult> result;
    for (const UsbType mode : kProbeOrder) {
        if (const char* pipe = backend.PresencePipeName()) {
            DebugTrace("pInPipe", pipe);
        }
        if (std::optional<std::string> identity = channel->Answers(mode)) {
            result = ProbeResult{mode, ModeName(mode), std::move(*identity)};
            break;
        }
    }
    DebugTrace("ProbeUsb", FormatText("retval = %d  UsbString = %s\n",
                                      result ? static_cast<int>(result->mode) : 0,
                                      result ? result->text : kErrorOpeningUsb));
    return result;
}

UsbType ProbeUsb(PrinterBackend& backend, const PrinterTarget& printer, char* pszUsbString,
                 int nUsbStringSize) {
    const std::optional<ProbeResult> result = ProbeMode(backend, printer);
    const char* text = result ? result->text : kErrorOpeningUsb;
    if (pszUsbString != nullptr && nUsbStringSize > 0) {
        const std::size_t room = static_cast<std::size_t>(nUsbStringSize) - 1;
        const std::size_t length = std::min(std::strlen(text), room);
        std::memcpy(pszUsbString, text, length);
        pszUsbString[length] = '\0';
    }
    return result ? result->mode : IDNATIVETYPE;
}
