// What the guest's kernel shows of the USB devices the gadget printers make: where a UDC's
// device appears, which driver holds an interface, the tty and device nodes it has.
#pragma once

#include <chrono>
#include <functional>
#include <string>

// The port path ("2-1") of the device that the gadget on dummy_udc.<index> makes: port 1 of
// the root hub of dummy_hcd.<index>.
std::string PortPathOfUdc(int udcIndex);
// The driver bound to interface <port>:1.<interface>, "" when none is.
std::string InterfaceDriver(const std::string& portPath, int interfaceNumber);
// The node of the tty the kernel made for that interface, "" when there is none.
std::string InterfaceTty(const std::string& portPath, int interfaceNumber);
// The node of the printer device usblp made for that interface ("/dev/usb/lp0"), "" if none.
std::string InterfacePrinterNode(const std::string& portPath, int interfaceNumber);
// Polls until `done` holds or the time is up; returns `done()`'s last answer.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds within);
