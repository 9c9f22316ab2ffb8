// The printer's command endpoint while its interface is claimed. The kernel driver that holds
// the interface (usblp, cdc_acm) is detached for the claim and attached again on release.
#pragma once

#include "device/PrinterBackend.h"
#include "device/linux/LibusbHandles.h"

#include <cstdint>
#include <memory>

class LibusbCommandPipe : public CommandPipe {
  public:
    // Claims the interface on the open device; no pipe when it cannot be claimed (traced), and
    // then in use when another program has claimed it.
    static PipeOpening Claim(DeviceHandle handle, int interfaceNumber, std::uint8_t endpoint);
    ~LibusbCommandPipe() override;
    LibusbCommandPipe(const LibusbCommandPipe&) = delete;
    LibusbCommandPipe& operator=(const LibusbCommandPipe&) = delete;

    // One bulk transfer; libusb cancels it when the time runs out.
    bool Write(const std::uint8_t* bytes, std::size_t count, std::uint32_t timeoutMs) override;

  private:
    LibusbCommandPipe(DeviceHandle handle, int interfaceNumber, std::uint8_t endpoint);

    DeviceHandle m_handle;
    int m_interface;
    std::uint8_t m_endpoint;
};
