#include "device/linux/LibusbHandles.h"

DeviceList::DeviceList(libusb_context* context) {
    const ssize_t count = libusb_get_device_list(context, &m_devices);
    if (count < 0) {
        m_devices = nullptr;
        m_error = static_cast<int>(count);
        return;
    }
    m_count = static_cast<std::size_t>(count);
}

DeviceList::~DeviceList() {
    if (m_devices != nullptr) {
        // Drops the list's own references; a handle opened from it keeps its device.
        libusb_free_device_list(m_devices, 1);
    }
}
