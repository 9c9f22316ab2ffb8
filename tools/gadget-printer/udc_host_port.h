// Where the host sees the device that a gadget on dummy_hcd makes: for the gadget's own claim of
// its interface, and for the guests' tests that look at the device in sysfs.
#pragma once

#include <string>

// "2-1": port 1 of the root hub of the dummy_hcd that pairs with `udc` ("dummy_udc.N");
// "" when there is none.
std::string udc_host_port(const std::string& udc);
// "/dev/bus/usb/BBB/DDD": the usbfs node of the device at that port now, "" when there is none.
std::string usb_device_node(const std::string& port);
