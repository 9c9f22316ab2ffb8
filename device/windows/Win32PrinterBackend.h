// The Windows backend: the printers through the Setup API, their pipes as files, the port in
// the registry, the tick count as the clock.
#pragma once

#include "common/windows/Win32Clock.h"
#include "device/PrinterBackend.h"

class Win32PrinterBackend : public PrinterBackend {
  public:
    std::vector<AttachedPrinter> ListPrinters() override;
    std::unique_ptr<PrinterChannel> OpenChannel(const PrinterTarget& printer) override;
    PortLookup LookUpPort(const PrinterTarget& printer) override;
    const char* PresencePipeName() const override;
    Clock& clock() override { return m_clock; }

  private:
    Win32Clock m_clock;
};
