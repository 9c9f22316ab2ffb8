// The Linux backend: the printers through libusb, their identities and virtual ports through
// sysfs, and the clock it is given (the monotonic clock in the program, a virtual one in tests).
#pragma once

#include "device/PrinterBackend.h"
#include "device/linux/LibusbSession.h"

class LibusbPrinterBackend : public PrinterBackend {
  public:
    explicit LibusbPrinterBackend(Clock& clock) : m_clock(clock) {}

    // Printers this user may not open are listed with the line that says so.
    std::vector<AttachedPrinter> ListPrinters() override;
    std::unique_ptr<PrinterChannel> OpenChannel(const PrinterTarget& printer) override;
    // The tty of the printer's communications interface as its device node ("/dev/ttyACM0"),
    // given a moment to appear after the printer does.
    PortLookup LookUpPort(const PrinterTarget& printer) override;
    Clock& clock() override { return m_clock; }

  private:
    Clock& m_clock;
    LibusbSession m_session;
};
