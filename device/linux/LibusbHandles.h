// Owners of what libusb hands out, so that every path gives it back: contexts, device
// references, open handles, configuration descriptors and device lists. A device reference and
// an open handle keep the context they came from: it is left only after the last of them.
#pragma once

#include <libusb.h>

#include <cstddef>
#include <memory>
#include <span>

struct ContextExit {
    void operator()(libusb_context* context) const { libusb_exit(context); }
};
using UsbContext = std::shared_ptr<libusb_context>;

struct DeviceUnref {
    UsbContext context; // released after the reference
    void operator()(libusb_device* device) const { libusb_unref_device(device); }
};
// A reference to a device that outlives the list it came from.
using DeviceRef = std::unique_ptr<libusb_device, DeviceUnref>;

struct HandleClose {
    UsbContext context; // released after the handle is closed
    void operator()(libusb_device_handle* handle) const { libusb_close(handle); }
};
using DeviceHandle = std::unique_ptr<libusb_device_handle, HandleClose>;

struct ConfigFree {
    void operator()(libusb_config_descriptor* config) const {
        libusb_free_config_descriptor(config);
    }
};
using ConfigDescriptor = std::unique_ptr<libusb_config_descriptor, ConfigFree>;

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
