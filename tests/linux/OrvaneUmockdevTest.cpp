// The real orvane against printers on a fake kernel, in what the table of cases cannot say: the
// devices that are no printers, a node this user may not open, port paths behind a hub, the trace
// of a serial of any bytes, and the usage text.
#include "OrvaneProcess.h"
#include "PrinterTestbed.h"
#include "UsbDescriptors.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

TEST(OrvaneOnLinux, NoPrinterMeansExit2AndNothingSent) {
    PrinterTestbed bed;
    // The printer's vendor and product with a HID interface, and a printer-like device of
    // another vendor: neither is a printer.
    bed.PlugDevice("1-2", ForeignDescriptors(kPrinterVendor, 0xC302));
    bed.PlugDevice("1-3", PrinterDescriptors(UsbMode::Native, 0x1234, 0xC302, false));
    for (const char* action : {"MODE", "NATIVE", "LIST"}) {
        const OrvaneResult result = RunOrvane({action});
        EXPECT_EQ(result.out, "Error opening USB\n") << action;
        EXPECT_EQ(result.exitCode, 2) << action;
    }
    const OrvaneResult traced = RunOrvane({"MODE", "TRACE"});
    EXPECT_NE(traced.err.find("6B1F:C302 at 1-2 shows none of the printer's interfaces: not a "
                              "printer"),
              std::string::npos)
        << traced.err;
    EXPECT_EQ(bed.usb().WriteCount(), 0u);
}

TEST(OrvaneOnLinux, PrinterThisUserMayNotOpenIsNamedWithItsNodeAndTheRule) {
    PrinterTestbed bed;
    const std::string node = bed.Plug("1-2", {});
    bed.LockNode(node);
    const std::string refusal = "No permission to open the printer's device " + node +
                                ": install the udev rule /usr/lib/udev/rules.d/60-orvane.rules "
                                "and plug the printer in again\n";
    for (const char* action : {"MODE", "COMMCLASS"}) {
        const OrvaneResult result = RunOrvane({action});
        EXPECT_EQ(result.out, refusal) << action;
        EXPECT_EQ(result.exitCode, 5) << action;
    }
    const OrvaneResult listed = RunOrvane({"LIST"});
    EXPECT_EQ(listed.out, "1\tORVEMU0001\tNative USB\t\n");
    EXPECT_EQ(bed.usb().WriteCount(), 0u);
}

TEST(OrvaneOnLinux, PrinterBehindAHubGoesByItsPortPath) {
    PrinterTestbed bed;
    bed.PlugDevice("1-4", HubDescriptors());
    bed.Plug("1-4.2", Described("--no-serial"));
    EXPECT_EQ(RunOrvane({"LIST"}).out, "1\t1-4.2\tNative USB\t\n");
    const OrvaneResult chosen = RunOrvane({"PRINTER=1-4.2", "MODE"});
    EXPECT_EQ(chosen.out, "Native USB\n");
    EXPECT_EQ(chosen.err, "");
    EXPECT_EQ(chosen.exitCode, 0);
}

TEST(OrvaneOnLinux, SerialOfAnyBytesReachesTheTraceEscaped) {
    PrinterTestbed bed;
    bed.Plug("1-2", Described("--serial AB\\tC\\e[31mRED\\xC3\\xA9Z"));
    const OrvaneResult listed = RunOrvane({"LIST", "TRACE"});
    EXPECT_NE(listed.err.find("AB\\x09C\\x1B[31mRED"), std::string::npos) << listed.err;
    EXPECT_EQ(listed.err.find('\x1b'), std::string::npos);
}

TEST(OrvaneOnLinux, WithoutAnActionItPrintsTheHelpAndTheUsageCode) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, std::vector<std::string>{"PRINTER=1", "TRACE"}}) {
        const OrvaneResult result = RunOrvane(args);
        EXPECT_EQ(result.exitCode, 64);
        EXPECT_EQ(result.out.rfind("Command line switches\nHELP\t\tThis message\n", 0), 0u);
        EXPECT_EQ(result.out.find("<no switch>"), std::string::npos);
    }
}
