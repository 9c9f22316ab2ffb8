// Another program holding the printer's interface claimed, as a print backend would while
// printing: the gadget itself claims it from the host side through libusb (the kernel's driver
// detached for the claim), so orvane's own claim gets EBUSY. The claim ends with the object,
// which gives the kernel's driver back.
#pragma once

#include <memory>
#include <string>

struct libusb_context;
struct libusb_device_handle;

class InterfaceClaim {
  public:
    // Claims interface `number` of the device the gadget on `udc` ("dummy_udc.N") makes, once
    // the kernel's driver for it is bound (when `driver_expected`); throws when it cannot.
    InterfaceClaim(const std::string& udc, int number, bool driver_expected);
    ~InterfaceClaim();
    InterfaceClaim(const InterfaceClaim&) = delete;
    InterfaceClaim& operator=(const InterfaceClaim&) = delete;

    // "1-1 0": the port path and the interface, for the log.
    std::string held() const { return port_ + " " + std::to_string(number_); }

  private:
    struct ContextDeleter {
        void operator()(libusb_context* context) const;
    };
    struct HandleDeleter {
        void operator()(libusb_device_handle* handle) const;
    };
    std::string port_;
    int number_;
    std::unique_ptr<libusb_context, ContextDeleter> context_;
    std::unique_ptr<libusb_device_handle, HandleDeleter> handle_; // closed before its context
};
