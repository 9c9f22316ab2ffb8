#include "device/ProbeUsb.h"

#include "common/DebugTrace.h"

#include <algorithm>
#include <cstring>

UsbType ProbeUsb(PrinterBackend& backend, const std::string& identity, char* pszUsbString,
                 int nUsbStringSize, std::string* pFoundIdentity) {
    const std::unique_ptr<PrinterChannel> channel = backend.OpenChannel(identity);
    UsbType result = IDNATIVETYPE;
    const char* text = kModeNames[kModeNameError];
    if (pFoundIdentity != nullptr) {
        pFoundIdentity->clear();
    }
    for (UsbType mode = IDNATIVETYPE; mode < kUsbModeCount; ++mode) {
        DebugTrace("pInPipe", kPresencePipe);
        if (channel->Answers(mode)) {
            result = mode;
            text = kModeNames[mode];
            if (pFoundIdentity != nullptr) {
                *pFoundIdentity = channel->AnsweringIdentity();
            }
            break;
        }
    }

    if (pszUsbString != nullptr && nUsbStringSize > 0) {
        const std::size_t room = static_cast<std::size_t>(nUsbStringSize) - 1;
        const std::size_t length = std::min(std::strlen(text), room);
        std::memcpy(pszUsbString, text, length);
        pszUsbString[length] = '\0';
    }
    DebugTrace("ProbeUsb", FormatText("retval = %d  UsbString = %s\n", result, text));
    return result;
}

bool IsProbeError(const char* pszUsbString) {
    return std::strcmp(pszUsbString, kModeNames[kModeNameError]) == 0;
}
