// What every system's backend promises the core, checked the same way against each: the fake,
// the Windows backend on the simulated machine, and libusb on umockdev's fake kernel. A rig
// plays the printer behind the backend; each tree instantiates the suite with its rigs.
#pragma once

#include "device/PrinterBackend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class BackendRig {
  public:
    virtual ~BackendRig() = default;
    virtual PrinterBackend& backend() = 0;
    // Plugs one printer with this serial number in `mode`. After the restart command it leaves
    // and comes back in the commanded mode three seconds later on the backend's clock.
    virtual void Plug(UsbType mode, const std::string& serial) = 0;
    // The byte sequences the printer took on its command pipe, write by write.
    virtual std::vector<std::vector<std::uint8_t>> Writes() = 0;
    // The port the system shows for the printer in comm class mode.
    virtual std::string Port() = 0;
};

using RigMaker = std::unique_ptr<BackendRig> (*)();

class BackendContract : public ::testing::TestWithParam<RigMaker> {
  protected:
    void SetUp() override { rig = GetParam()(); }
    void TearDown() override { rig.reset(); }
    std::unique_ptr<BackendRig> rig;
};
