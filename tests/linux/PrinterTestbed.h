// A fake kernel for libusb: a umockdev testbed with bus 1's root hub, onto which a test plugs
// printers (sysfs attributes, descriptors, a usbfs node served by FakePrinterUsb), hubs, and
// the tty cdc_acm would make, and from which it unplugs them, with the uevents libusb follows.
// The testbed points this process and its children (UMOCKDEV_DIR) at itself for its lifetime;
// the process must run under umockdev-wrapper.
#pragma once

#include "FakePrinterUsb.h"

#include <cstdint>
#include <map>
#include <string>

struct UsbPlug {
    std::string portPath = "1-2"; // bus 1; ports from the root hub, e.g. "1-4.2" behind hub 1-4
    int mode = 0;                 // 0 native, 1 printer class, 2 comm class
    std::string serial;           // empty: the device has no serial number
    std::uint16_t vendorId = 0x6B1F;
    std::uint16_t productId = 0xC302;
    bool foreign = false; // the vendor and product, but a HID interface only
};

inline UsbPlug Printer(std::string portPath, int mode, std::string serial = "") {
    UsbPlug plug;
    plug.portPath = std::move(portPath);
    plug.mode = mode;
    plug.serial = std::move(serial);
    return plug;
}

class PrinterTestbed {
  public:
    PrinterTestbed();
    ~PrinterTestbed();
    PrinterTestbed(const PrinterTestbed&) = delete;
    PrinterTestbed& operator=(const PrinterTestbed&) = delete;

    // Plugs the device in and returns its node; each plug takes the next device number, as
    // the kernel does when a device comes back.
    std::string Plug(const UsbPlug& plug);
    void PlugHub(const std::string& portPath);
    void Unplug(const std::string& portPath);
    // The tty of a comm class printer's communications interface, as cdc_acm makes it.
    void AddTty(const std::string& portPath, const std::string& name);
    // Takes read and write permission on the node from everyone.
    void LockNode(const std::string& node);

    FakePrinterUsb& usb() { return m_usb; }

  private:
    std::string AddDevice(const std::string& portPath, const std::string& descriptorsHex,
                          const std::string& serial);

    UMockdevTestbed* m_testbed;
    FakePrinterUsb m_usb;
    std::string m_root;
    int m_nextDeviceNumber = 2;
    std::map<std::string, std::string> m_sysPaths; // port path -> sysfs device path
};
