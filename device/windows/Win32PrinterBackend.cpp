#include "device/windows/Win32PrinterBackend.h"

#include "device/windows/BoundedWrite.h"
#include "device/windows/CommPort.h"
#include "device/windows/DeviceNode.h"
#include "device/windows/DevicePort.h"
#include "device/windows/PrinterListing.h"
#include "device/windows/UsbDevice.h"
#include "device/windows/UsbDeviceIds.h"

namespace {

class Win32CommandPipe : public CommandPipe {
  public:
    explicit Win32CommandPipe(HANDLE hPipe) : m_hPipe(hPipe) {}
    ~Win32CommandPipe() override { CloseHandle(m_hPipe); }
    Win32CommandPipe(const Win32CommandPipe&) = delete;
    Win32CommandPipe& operator=(const Win32CommandPipe&) = delete;

    bool Write(const std::uint8_t* bytes, std::size_t count, std::uint32_t timeoutMs) override {
        return WriteWithin(m_hPipe, bytes, count, timeoutMs);
    }

  private:
    HANDLE m_hPipe;
};

// One operation's CUsbDevice: its name buffer carries the last path from call to call.
class Win32PrinterChannel : public PrinterChannel {
  public:
    explicit Win32PrinterChannel(const PrinterTarget& printer)
        : m_printer(printer), m_device(printer) {}

    ModeAnswer Answers(UsbType mode) override {
        m_device.ForgetHeld();
        const HANDLE hPipe = m_device.open_file(mode, kPresencePipe);
        if (hPipe == INVALID_HANDLE_VALUE) {
            return Refused();
        }
        CloseHandle(hPipe);
        return ModeAnswer::Answering(m_device.IdentityOf(m_device.DeviceName()));
    }

    PipeOpening OpenCommandPipe(UsbType mode) override {
        m_device.ForgetHeld();
        const HANDLE hPipe = m_device.open_file(mode, kCommandPipe, FILE_FLAG_OVERLAPPED);
        if (hPipe == INVALID_HANDLE_VALUE) {
            return {nullptr, Refused().inUse};
        }
        return {std::make_unique<Win32CommandPipe>(hPipe), false};
    }

    MissingDriver DriverlessNode() override { return LookAtDeviceNode(m_printer); }

  private:
    // Nothing opened: held by another program, or simply not there.
    ModeAnswer Refused() const {
        if (m_device.HeldPath().empty()) {
            return {};
        }
        return ModeAnswer::Held(m_device.IdentityOf(m_device.HeldPath()));
    }

    PrinterTarget m_printer;
    CUsbDevice m_device;
};

} // namespace

std::vector<AttachedPrinter> Win32PrinterBackend::ListPrinters() {
    return ListAttachedPrinters();
}

std::unique_ptr<PrinterChannel> Win32PrinterBackend::OpenChannel(const PrinterTarget& printer) {
    return std::make_unique<Win32PrinterChannel>(printer);
}

PortLookup Win32PrinterBackend::LookUpPort(const PrinterTarget& printer) {
    const DevicePortAnswer own = ReadDevicePortName(printer);
    if (own.port) {
        return {own.port, {}};
    }
    // The device map names one port for the printer's driver, whichever printer made it: it
    // answers only when no other printer is in comm class mode.
    if (own.otherCommPrinters > 0) {
        return {};
    }
    char szPortName[kPortNameSize] = {};
    std::string problem;
    if (!ReadCommPortName(szPortName, kPortNameSize, &problem)) {
        return {std::nullopt, problem};
    }
    return {std::string(szPortName), {}};
}

const char* Win32PrinterBackend::PresencePipeName() const {
    return kPresencePipe;
}
