// One operation's way to a printer over libusb. Every question enumerates the devices afresh:
// the printer leaves the bus and comes back as another device when it restarts.
#pragma once

#include "device/PrinterBackend.h"
#include "device/linux/LibusbSession.h"
#include "device/linux/PrinterScan.h"

#include <optional>
#include <string>

class LibusbPrinterChannel : public PrinterChannel {
  public:
    LibusbPrinterChannel(LibusbSession& session, PrinterTarget printer);

    std::optional<std::string> Answers(UsbType mode) override;
    std::unique_ptr<CommandPipe> OpenCommandPipe(UsbType mode) override;

  private:
    struct OpenPrinterInMode {
        FoundPrinter printer;
        DeviceHandle handle;
    };
    // The printer this channel means, present in `mode` and open; nullopt when none opens.
    std::optional<OpenPrinterInMode> OpenInMode(UsbType mode);

    LibusbSession& m_session;
    PrinterTarget m_printer;
};
