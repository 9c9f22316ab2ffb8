// libusb, started afresh for each look at the bus. Debian's libusb learns of devices that
// arrive after libusb_init only from udev's events; without udevd (a container, a minimal
// image, a rescue shell) a context keeps the device list it began with, and a printer that
// restarts as a new device would never be seen. A new context enumerates the bus as it is now.
// Nothing is started before the first look: HELP and VERSION never touch libusb, and a
// machine where it cannot start still answers "Error opening USB".
#pragma once

#include "device/linux/LibusbHandles.h"

class LibusbSession {
  public:
    // A new context, or nullptr when libusb could not start (traced the first time). It lives
    // as long as the caller or any device reference or handle taken from it holds it.
    UsbContext FreshContext();

  private:
    bool m_failureTraced = false;
};
