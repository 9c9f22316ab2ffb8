#include "device/linux/LibusbSession.h"

#include "common/DebugTrace.h"

LibusbSession::~LibusbSession() {
    if (m_context != nullptr) {
        libusb_exit(m_context);
    }
}

libusb_context* LibusbSession::Context() {
    if (!m_tried) {
        m_tried = true;
        const int result = libusb_init(&m_context);
        if (result != LIBUSB_SUCCESS) {
            m_context = nullptr;
            DebugTrace("libusb_init", libusb_error_name(result));
        }
    }
    return m_context;
}
