// The printer's command endpoint while its interface is claimed. The kernel driver that holds
// the interface (usblp, cdc_acm) is detached for the claim and attached again on release.
// cdc_acm holds the data interface through the communications interface: detached from one it
// lets go of both, and only the communications interface binds it again, so that one (the
// companion) is given its driver back too.
#pragma once

#include "device/PrinterBackend.h"
#include "device/linux/LibusbHandles.h"

#include <cstdint>
#include <memory>

class LibusbCommandPipe : public CommandPipe {
  public:
    // Claims the interface on the open device; nullptr when it cannot be claimed (traced).
    // `companion` is the interface whose kernel driver also holds this one, -1 for none.
    static std::unique_ptr<CommandPipe> Claim(DeviceHandle handle, int interfaceNumber,
                                              std::uint8_t endpoint, int companion = -1);
    ~LibusbCommandPipe() override;
    LibusbCommandPipe(const LibusbCommandPipe&) = delete;
    LibusbCommandPipe& operator=(const LibusbCommandPipe&) = delete;

    // One bulk transfer; libusb cancels it when the time runs out.
    bool Write(const std::uint8_t* bytes, std::size_t count, std::uint32_t timeoutMs) override;

  private:
    LibusbCommandPipe(DeviceHandle handle, int interfaceNumber, std::uint8_t endpoint,
                      int companionWithDriver);

    DeviceHandle m_handle;
    int m_interface;
    std::uint8_t m_endpoint;
    int m_companionWithDriver; // the companion, when a kernel driver held it before the claim
};
