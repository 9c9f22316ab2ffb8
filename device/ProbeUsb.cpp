#include "device/ProbeUsb.h"

#include "common/DebugTrace.h"
#include "device/UsbDevice.h"

#include <algorithm>
#include <cstring>

UsbType ProbeUsb(char* pszUsbString, int nUsbStringSize) {
    CUsbDevice device;
    UsbType result = IDNATIVETYPE;
    const char* text = kModeNames[kModeNameError];
    HANDLE hPipe = INVALID_HANDLE_VALUE;
    for (UsbType mode = IDNATIVETYPE; mode < kUsbModeCount; ++mode) {
        DebugTrace("pInPipe", kPresencePipe);
        hPipe = device.open_file(mode, kPresencePipe);
        if (hPipe != INVALID_HANDLE_VALUE) {
            result = mode;
            text = kModeNames[mode];
            break;
        }
    }
    if (hPipe != INVALID_HANDLE_VALUE) {
        CloseHandle(hPipe);
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
