#include "device/linux/LibusbSession.h"

#include "common/DebugTrace.h"

UsbContext LibusbSession::FreshContext() {
    libusb_context* context = nullptr;
    const int result = libusb_init(&context);
    if (result != LIBUSB_SUCCESS) {
        if (!m_failureTraced) {
            m_failureTraced = true;
            DebugTrace("libusb_init", libusb_error_name(result));
        }
        return nullptr;
    }
    return UsbContext(context, ContextExit());
}
