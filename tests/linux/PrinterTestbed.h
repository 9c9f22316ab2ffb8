// A fake kernel for libusb: a umockdev testbed with bus 1's root hub, onto which a test plugs
// printers as their descriptions say (sysfs attributes, descriptors, a usbfs node served by
// FakePrinterUsb, the tty cdc_acm would make), hubs and other devices, and from which it unplugs
// them, with the uevents libusb follows.
// The testbed points this process and its children (UMOCKDEV_DIR) at itself for its lifetime;
// the process must run under umockdev-wrapper.
#pragma once

#include "FakePrinterUsb.h"
#include "printer_description.h"

#include <cstdint>
#include <map>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

// A node a printer had, in the mode it showed there.
struct PrinterNode {
    std::string node;
    UsbMode mode;
};

// A printer in the description's text form, e.g. "--mode comm --no-serial"; wrong options fail
// the test.
PrinterDescription Described(std::string_view options);

class PrinterTestbed {
  public:
    PrinterTestbed();
    ~PrinterTestbed();
    PrinterTestbed(const PrinterTestbed&) = delete;
    PrinterTestbed& operator=(const PrinterTestbed&) = delete;

    // Plugs the printer in and returns its node; each plug takes the next device number, as
    // the kernel does when a device comes back. In comm class mode cdc_acm makes the port's
    // tty, unless the test leaves it to AddTty.
    std::string Plug(const std::string& portPath, const PrinterDescription& printer,
                     bool makeTty = true);
    // Any other device: a hub, or something that is no printer.
    void PlugDevice(const std::string& portPath, const std::vector<std::uint8_t>& descriptors);
    void Unplug(const std::string& portPath);
    // The tty of a comm class printer's communications interface, as cdc_acm makes it.
    void AddTty(const std::string& portPath, const std::string& name);
    // The tty the port's printer has in comm class mode: each port has its own, in plug order.
    std::string TtyOf(const std::string& portPath) const;
    // Every node the port's printer had, in order.
    const std::vector<PrinterNode>& NodesAt(const std::string& portPath) const;
    // The printer's side of a change, played as its description says: once both commands are
    // in, it leaves the bus, and after its restart time comes back at the same port as a new
    // device. Ends early at a stop. One printer of a testbed restarts at a time: a run of orvane
    // changes one.
    void PlayRestart(const std::string& portPath, const std::stop_token& stop);
    // Takes read and write permission on the node from everyone.
    void LockNode(const std::string& node);

    FakePrinterUsb& usb() { return m_usb; }

  private:
    struct Plugged {
        PrinterDescription printer; // its mode the one it is in now
        std::vector<PrinterNode> nodes;
        std::string tty;
    };
    std::string AddDevice(const std::string& portPath, const std::vector<std::uint8_t>& descriptors,
                          const std::optional<std::string>& serial,
                          FakePrinterUsb::Answers answers = {});

    UMockdevTestbed* m_testbed;
    FakePrinterUsb m_usb;
    std::string m_root;
    int m_nextDeviceNumber = 2;
    std::map<std::string, std::string> m_sysPaths; // port path -> sysfs device path
    std::map<std::string, Plugged> m_printers;     // port path -> the printer there
};
