// Owners of what libusb hands out, so that every path gives it back: contexts, open handles and
// device lists. An open handle keeps the context it came from: it is left only after the last
// of them.
#pragma once

#include <libusb.h>

#include <cstddef>
#include <memory>
#include <span>

struct ContextExit {
    void operator()(libusb_context* context) const { libusb_exit(context); }
};
using UsbContext = std::shared_ptr<libusb_context>;

struct HandleClose {
    UsbContext context; // released after the handle is closed
    void operator()(libusb_device_handle* handle) const { libusb_close(handle); }
};
using DeviceHandle = std::unique_ptr<libusb_device_handle, HandleClose>;

// The devices attached now. An empty list when libusb cannot say.
class DeviceList {
  public:
    explicit DeviceList(libusb_context* context);
    ~DeviceList();
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;

    std::span<libusb_device* const> Devices() const { return {m_devices, m_count}; }
    // The libusb error when the list could not be had, otherwise 0.
    int Error() const { return m_error; }

  private:
    libusb_device** m_devices = nullptr;
    std::size_t m_count = 0;
    int m_error = 0;
};
