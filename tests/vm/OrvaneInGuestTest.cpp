// The real orvane inside a guest with the real kernel, against gadget printers: what it
// reports in each mode while usblp and cdc_acm hold the interfaces, that the kernel's driver
// gets its interface back after orvane's claim, and a mistyped switch refused. Two printers are
// rows of the table of cases (CaseRowsInGuestTest.cpp).
#include "../linux/OrvaneProcess.h"
#include "GadgetPrinterProcess.h"
#include "GuestCase.h"
#include "GuestUsb.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(VmModes, ModeAndListShowTheModeAndTheTtyTheKernelMade) {
    const char* const drivers[] = {"", "usblp", "cdc_acm"};
    for (int mode : {kNative, kPrinterClass, kCommClass}) {
        SCOPED_TRACE(ModeDisplay(mode));
        // It stays on the bus a while after the reset, so the driver's return can be seen.
        GadgetPrinterProcess printer(std::string("mode-") + GadgetModeWord(mode),
                                     {"--mode", GadgetModeWord(mode), "--serial", "ORV0001",
                                      "--linger-ms", "1500", "--restart-ms", "500"});
        const std::string port = PortPathOfUdc(0);
        ASSERT_FALSE(port.empty());
        const auto bound = [&] { return InterfaceDriver(port, 0) == drivers[mode]; };
        ASSERT_TRUE(WaitUntil(bound, 3s)) << "driver: " << InterfaceDriver(port, 0);
        std::string tty;
        if (mode == kCommClass) {
            ASSERT_TRUE(WaitUntil([&] { return !(tty = InterfaceTty(port, 0)).empty(); }, 3s));
        }
        const std::string display =
            std::string(ModeDisplay(mode)) + (tty.empty() ? "" : " = " + tty);

        const OrvaneResult reported = RunOrvane({"MODE"});
        EXPECT_EQ(reported.out, display + "\n");
        EXPECT_EQ(reported.exitCode, 0);
        EXPECT_EQ(RunOrvane({"LIST"}).out,
                  std::string("1\tORV0001\t") + ModeDisplay(mode) + "\t" + tty + "\n");
        // Reporting leaves the kernel's driver and its node alone.
        EXPECT_TRUE(bound());
        if (mode == kPrinterClass) {
            EXPECT_FALSE(InterfacePrinterNode(port, 0).empty());
        }
        if (mode == kCommClass) {
            EXPECT_EQ(InterfaceTty(port, 0), tty);
        }
        // A mistyped switch is refused before anything reaches the printer.
        const OrvaneResult mistyped = RunOrvane({"COMMCLAS"});
        EXPECT_EQ(mistyped.err, "orvane: unknown switch 'COMMCLAS' (HELP lists the switches)\n");
        EXPECT_EQ(mistyped.exitCode, 64);
        EXPECT_TRUE(printer.Reads().empty());
        if (mode == kNative) {
            continue;
        }

        OrvaneProcess change({"NATIVE"});
        ASSERT_TRUE(printer.WaitForEvents("reset", 1, 15s));
        // orvane has released the interface: the driver is bound again while the printer lingers.
        EXPECT_TRUE(WaitUntil(bound, 1000ms))
            << "driver after the claim: " << InterfaceDriver(port, 0);
        const OrvaneResult changed = change.Finish(20s);
        EXPECT_EQ(changed.out, "Now set to Native USB\n");
        EXPECT_EQ(changed.exitCode, 0);
        ExpectChangeBytes(printer.Reads(), mode, kNative);
    }
}
