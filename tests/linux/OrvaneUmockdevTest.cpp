// The real orvane against printers on a fake kernel: what it reports from their descriptors,
// the bytes it sends and where, the printer's restart, and its refusals.
#include "OrvaneProcess.h"
#include "PrinterTestbed.h"
#include "UsbDescriptors.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

namespace {
const std::vector<std::uint8_t> kRestartCommand = {0x1D, 0xFF};

std::vector<std::uint8_t> ModeCommand(int mode) {
    return {0x1F, 0x0B, 0x4E, 0x1F, 0x43, static_cast<std::uint8_t>(mode)};
}

// The printer's side of a change: once both commands are in, it leaves the bus and comes back
// at the same port in the new mode, as a new device; in comm class mode cdc_acm then makes its
// tty. Returns the node it comes back with.
std::string PlayRestart(PrinterTestbed& bed, const std::string& node, UsbPlug plug) {
    EXPECT_TRUE(bed.usb().WaitForWrites(node, 2, 10s));
    std::this_thread::sleep_for(300ms);
    bed.Unplug(plug.portPath);
    std::this_thread::sleep_for(1200ms);
    const std::string back = bed.Plug(plug);
    if (plug.mode == 2) {
        bed.AddTty(plug.portPath, "ttyACM0");
    }
    return back;
}
} // namespace

TEST(OrvaneOnLinux, ReportsTheModeItsInterfacesShow) {
    const char* const expected[] = {"Native USB\n", "Printer Class USB\n",
                                    "Comm Class USB = /dev/ttyACM0\n"};
    for (int mode = 0; mode < 3; ++mode) {
        PrinterTestbed bed;
        bed.Plug(Printer("1-2", mode, "ORV0001"));
        if (mode == 2) {
            bed.AddTty("1-2", "ttyACM0");
        }
        const OrvaneResult result = RunOrvane({"MODE"});
        EXPECT_EQ(result.out, expected[mode]);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(bed.usb().WriteCount(), 0u);
    }
}

TEST(OrvaneOnLinux, ChangeSendsBothCommandsOnTheModeEndpointAndFollowsTheRestart) {
    PrinterTestbed bed;
    const std::string node = bed.Plug(Printer("1-2", 0, "ORV0001"));
    OrvaneProcess orvane({"PRINTERCLASS"});
    const std::string back = PlayRestart(bed, node, Printer("1-2", 1, "ORV0001"));
    const OrvaneResult result = orvane.Finish(15s);

    EXPECT_EQ(result.out, "Now set to Printer Class USB\n");
    EXPECT_EQ(result.exitCode, 0);
    const std::vector<BulkWrite> writes = bed.usb().WritesTo(node);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].endpoint, kNativeOut);
    EXPECT_EQ(writes[0].bytes, ModeCommand(1));
    EXPECT_EQ(writes[1].endpoint, kNativeOut);
    EXPECT_EQ(writes[1].bytes, kRestartCommand);
    const auto pause = writes[1].at - writes[0].at;
    EXPECT_GE(pause, 1000ms);
    EXPECT_LT(pause, 2000ms);
    // The kernel driver gives the interface up for the claim and gets it back on release.
    EXPECT_EQ(bed.usb().RequestsOn(node),
              (std::vector<std::string>{"detach+claim 0", "release 0", "attach 0"}));
    EXPECT_TRUE(bed.usb().WritesTo(back).empty());
}

TEST(OrvaneOnLinux, ChangeToCommClassReportsTheTtyOfThePrinterThatCameBack) {
    // Without a serial number the printer is named by its port, which the restart keeps.
    PrinterTestbed bed;
    const std::string node = bed.Plug(Printer("1-3", 1));
    OrvaneProcess orvane({"COMMCLASS"});
    PlayRestart(bed, node, Printer("1-3", 2));
    const OrvaneResult result = orvane.Finish(15s);

    EXPECT_EQ(result.out,
              "Now set to Comm Class USB\nComm Class USB virtual port = /dev/ttyACM0\n");
    EXPECT_EQ(result.exitCode, 0);
    const std::vector<BulkWrite> writes = bed.usb().WritesTo(node);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].endpoint, kPrinterClassOut);
    EXPECT_EQ(writes[0].bytes, ModeCommand(2));
    EXPECT_EQ(writes[1].bytes, kRestartCommand);
}

TEST(OrvaneOnLinux, ChangeBackToNativeGoesThroughTheCommDataInterface) {
    PrinterTestbed bed;
    const std::string node = bed.Plug(Printer("1-2", 2, "ORV0001"));
    bed.AddTty("1-2", "ttyACM0");
    OrvaneProcess orvane({"native"});
    PlayRestart(bed, node, Printer("1-2", 0, "ORV0001"));
    const OrvaneResult result = orvane.Finish(15s);

    EXPECT_EQ(result.out, "Now set to Native USB\n");
    EXPECT_EQ(result.exitCode, 0);
    const std::vector<BulkWrite> writes = bed.usb().WritesTo(node);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].endpoint, kCommDataOut);
    EXPECT_EQ(writes[0].bytes, ModeCommand(0));
    EXPECT_EQ(writes[1].bytes, kRestartCommand);
}

TEST(OrvaneOnLinux, NoPrinterMeansExit2AndNothingSent) {
    PrinterTestbed bed;
    // The printer's vendor and product with a HID interface, and a printer-like device of
    // another vendor: neither is a printer.
    UsbPlug foreign = Printer("1-2", 0);
    foreign.foreign = true;
    bed.Plug(foreign);
    UsbPlug otherVendor = Printer("1-3", 0);
    otherVendor.vendorId = 0x1234;
    bed.Plug(otherVendor);
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
    const std::string node = bed.Plug(Printer("1-2", 0, "ORV0001"));
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
    EXPECT_EQ(listed.out, "1\tORV0001\tNative USB\t\n");
    EXPECT_EQ(bed.usb().WriteCount(), 0u);
}

TEST(OrvaneOnLinux, TwoPrintersAreListedChosenAndChangedOneAtATime) {
    PrinterTestbed bed;
    bed.PlugHub("1-4");
    const std::string a = bed.Plug(Printer("1-2", 2, "ORV-A"));
    bed.AddTty("1-2", "ttyACM0");
    const std::string b = bed.Plug(Printer("1-4.2", 0));

    // Native mode first, whatever the bus order; B has no serial number and goes by its port.
    EXPECT_EQ(RunOrvane({"LIST"}).out,
              "1\t1-4.2\tNative USB\t\n2\tORV-A\tComm Class USB\t/dev/ttyACM0\n");
    EXPECT_EQ(RunOrvane({"MODE"}).out,
              "Printer 1 (1-4.2): Native USB\nPrinter 2 (ORV-A): Comm Class USB = /dev/ttyACM0\n");
    const OrvaneResult unchosen = RunOrvane({"PRINTERCLASS"});
    EXPECT_EQ(unchosen.exitCode, 4);
    EXPECT_EQ(RunOrvane({"PRINTER=1-4.2", "NATIVE"}).out, "Already set to Native USB\n");

    OrvaneProcess orvane({"PRINTER=orv-a", "PRINTERCLASS"});
    PlayRestart(bed, a, Printer("1-2", 1, "ORV-A"));
    const OrvaneResult result = orvane.Finish(15s);
    EXPECT_EQ(result.out, "Now set to Printer Class USB\n");
    EXPECT_EQ(result.exitCode, 0);
    // In comm class mode the command goes to the data interface.
    const std::vector<BulkWrite> writes = bed.usb().WritesTo(a);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].endpoint, kCommDataOut);
    EXPECT_EQ(writes[1].endpoint, kCommDataOut);
    EXPECT_EQ(bed.usb().RequestsOn(a),
              (std::vector<std::string>{"detach+claim 1", "release 1", "attach 1"}));
    EXPECT_TRUE(bed.usb().WritesTo(b).empty());
    EXPECT_EQ(RunOrvane({"LIST"}).out, "1\t1-4.2\tNative USB\t\n2\tORV-A\tPrinter Class USB\t\n");
}

TEST(OrvaneOnLinux, PrintersSharingASerialGoByTheirPortsAndEachIsReached) {
    PrinterTestbed bed;
    const std::string a = bed.Plug(Printer("1-2", 0, "BATCH7"));
    const std::string b = bed.Plug(Printer("1-3", 0, "BATCH7"));
    EXPECT_EQ(RunOrvane({"LIST"}).out,
              "1\t1-2\tNative USB\t\tserial BATCH7 is shared with another printer\n"
              "2\t1-3\tNative USB\t\tserial BATCH7 is shared with another printer\n");
    OrvaneProcess orvane({"PRINTER=1-3", "PRINTERCLASS"});
    PlayRestart(bed, b, Printer("1-3", 1, "BATCH7"));
    const OrvaneResult result = orvane.Finish(15s);
    EXPECT_EQ(result.out, "Now set to Printer Class USB\n");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(bed.usb().WritesTo(a).empty());
}

TEST(OrvaneOnLinux, SerialOfAnyBytesIsListedEscapedAndChosenAsShown) {
    PrinterTestbed bed;
    bed.Plug(Printer("1-2", 0, "AB\tC\x1b[31mRED\xc3\xa9Z"));
    const OrvaneResult listed = RunOrvane({"LIST", "TRACE"});
    EXPECT_EQ(listed.out, "1\tAB\\x09C\\x1B[31mRED\\xC3\\xA9Z\tNative USB\t\n");
    EXPECT_EQ(listed.err.find('\x1b'), std::string::npos) << "the trace too";
    EXPECT_EQ(RunOrvane({"PRINTER=AB\\x09C\\x1B[31mRED\\xC3\\xA9Z", "MODE"}).out, "Native USB\n");
}

TEST(OrvaneOnLinux, InterfaceClaimedByAnotherProcessGivesTheInUseLineAndNothingIsSent) {
    PrinterTestbed bed;
    const std::string node = bed.Plug(Printer("1-2", 1, "ORV0001"));
    bed.usb().RefuseClaims(true);
    const OrvaneResult result = RunOrvane({"NATIVE"});
    EXPECT_EQ(result.out, "Printer in Printer Class USB mode is in use by another program\n");
    EXPECT_EQ(result.exitCode, 6);
    EXPECT_TRUE(bed.usb().WritesTo(node).empty());
    EXPECT_EQ(bed.usb().RequestsOn(node), (std::vector<std::string>{"busy claim 0"}));
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

TEST(OrvaneOnLinuxSlow, PrinterThatNeverComesBackEndsWithExit3) {
    PrinterTestbed bed;
    const std::string node = bed.Plug(Printer("1-2", 0, "ORV0001"));
    OrvaneProcess orvane({"PRINTERCLASS"});
    ASSERT_TRUE(bed.usb().WaitForWrites(node, 2, 10s));
    bed.Unplug("1-2");
    const OrvaneResult result = orvane.Finish(150s);
    EXPECT_EQ(result.out,
              "Printer did not come back in Printer Class USB mode within 120 seconds\n");
    EXPECT_EQ(result.exitCode, 3);
}
