// The printer on the bus in one mode: the gadget's function for that mode, bound to the
// device controller, and the file its command endpoint's bytes are read from:
//   native         FunctionFS, ep1 of our vendor interface
//   printer class  the kernel's printer function, /dev/g_printerN
//   comm class     the kernel's acm function, /dev/ttyGSN in raw mode
// Going away takes the device off the bus first, then removes the function.
#pragma once

#include "configfs_gadget.h"
#include "function_fs.h"
#include "usb_mode.h"

#include <memory>
#include <string>

class ModeFunction {
  public:
    ModeFunction(ConfigfsGadget& gadget, UsbMode mode, const std::string& udc);
    ~ModeFunction();
    ModeFunction(const ModeFunction&) = delete;
    ModeFunction& operator=(const ModeFunction&) = delete;

    // The file to read, or -1 while the host has not configured the device yet (the printer
    // function's node does not open before).
    int command_fd();
    // Where the bytes come from, for the log: "ep1", "/dev/g_printer0", "/dev/ttyGS0".
    const std::string& endpoint() const { return endpoint_; }

  private:
    void start_printer_class(const std::string& function, const std::string& udc);
    void start_comm_class(const std::string& function, const std::string& udc);
    // Off the bus, the file closed, the function removed; done once.
    void teardown();

    ConfigfsGadget& gadget_;
    std::unique_ptr<FunctionFsInterface> ffs_;
    int fd_ = -1;
    std::string endpoint_;
};
