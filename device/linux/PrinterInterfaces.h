// What a USB device's configuration says about the printer: whether it is one of Orvane's
// printers at all, which mode its interfaces show, and where the mode command goes.
#pragma once

#include "device/UsbType.h"
#include "device/linux/RawDescriptors.h"

#include <libusb.h>

#include <cstdint>
#include <optional>
#include <vector>

constexpr std::uint16_t kPrinterVendorId = 0x6B1F;

// True for the vendor's printer products.
bool IsPrinterProduct(std::uint16_t vendorId, std::uint16_t productId);

struct ModeInterfaces {
    UsbType mode = IDNATIVETYPE;
    // The interface whose bulk OUT endpoint takes the mode command: the vendor interface, the
    // printer interface, or in comm class mode the data interface.
    int commandInterface = -1;
    // That endpoint's address; nullopt when the interface has none.
    std::optional<std::uint8_t> commandEndpoint;
    // In comm class mode the communications interface, which the kernel's tty hangs from.
    int portInterface = -1;
};

// The mode the configuration's interfaces show, looked for in the probe's order: a vendor
// interface (0xFF) is native mode, a printer interface (0x07) printer class mode, a
// communications interface (0x02) with a data interface (0x0A) comm class mode. Only the
// first alternate setting of each interface counts. nullopt when none of them is there.
std::optional<ModeInterfaces> ModeOfConfiguration(const std::vector<UsbInterfaceSetting>& config);
