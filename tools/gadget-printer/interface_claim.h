// Another program holding the printer's interface claimed, as a print backend would while
// printing: the gadget itself claims it from the host side through usbfs (the kernel's driver
// detached for the claim), so orvane's own claim gets EBUSY. The claim ends with the object,
// which gives the kernel's driver back.
#pragma once

#include <string>

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
    std::string port_;
    int number_;
    int fd_ = -1; // the device's usbfs node
};
