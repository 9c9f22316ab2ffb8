#include "device/UsbType.h"
#include "device/windows/UsbDeviceIds.h"

#include "platform/sim/SimPrinter.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {
bool SameGuid(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}
} // namespace

TEST(UsbType, EachModeUsesTheClassItsDriverRegisters) {
    for (UsbType mode : {IDNATIVETYPE, IDPRINTERCLASSTYPE, IDCOMMCLASSTYPE}) {
        EXPECT_TRUE(SameGuid(InterfaceClassOf(mode), sim::ClassOfMode(mode))) << mode;
    }
}

TEST(UsbType, ValuesOutsideTheModesChooseTheNativeClass) {
    for (int value : {3, -1, 1000}) {
        const auto mode = static_cast<UsbType>(value);
        EXPECT_TRUE(SameGuid(InterfaceClassOf(mode), sim::kNativeClass)) << mode;
    }
}

TEST(UsbType, DeviceIdsMatchCaseSensitivelyInTableOrder) {
    EXPECT_EQ(FindUsbDeviceId("\\\\?\\usb#vid_6b1f&pid_c318#5&1#{x}"), 1);
    EXPECT_EQ(FindUsbDeviceId("\\\\?\\USB#VID_6B1F&PID_C318#5&1#{X}"), 4);
    EXPECT_EQ(FindUsbDeviceId("\\\\?\\usb#VID_6B1F&pid_c318#5&1#{x}"), -1);
    EXPECT_EQ(FindUsbDeviceId("\\\\?\\usb#vid_6b1f&pid_c999#5&1#{x}"), -1);
    EXPECT_EQ(FindUsbDeviceId(""), -1);
}
