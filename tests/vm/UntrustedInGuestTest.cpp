// Printers that lie or are busy, against the real kernel: a serial number made of control
// bytes, an escape sequence and UTF-8; two printers with one serial; and a printer whose
// interface another program holds claimed. The serial reaches orvane as the kernel read it
// from the gadget's string descriptor.
#include "../linux/OrvaneProcess.h"
#include "GadgetPrinterProcess.h"
#include "GuestCase.h"
#include "GuestUsb.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {
// Tab, ESC [31m (red text on a terminal), UTF-8 "é", as the gadget sends them.
const std::string kEvilSerial = "AB\tC\x1b[31mRED\xC3\xA9Z";
const char* const kEvilSerialOption = "AB\\tC\\e[31mRED\\xC3\\xA9Z"; // gadget-printer's escapes
// What LIST shows of it: every byte outside printable ASCII as \xNN.
const std::string kEvilShown = "AB\\x09C\\x1B[31mRED\\xC3\\xA9Z";

// The first byte that no terminal should get from orvane: a control byte other than tab and
// newline, DEL, or one outside ASCII. "" when there is none.
std::string UnsafeByte(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte < 0x20 && byte != '\t' && byte != '\n') || byte >= 0x7F) {
            char found[48];
            std::snprintf(found, sizeof found, "byte 0x%02X at offset %zu", byte, i);
            return found;
        }
    }
    return "";
}

void ExpectSafe(const OrvaneResult& result) {
    EXPECT_EQ(UnsafeByte(result.out), "") << result.out;
    EXPECT_EQ(UnsafeByte(result.err), "") << result.err;
}

std::string Lowered(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// The interface a change writes to, which another program would hold: the vendor and printer
// interface 0, in comm class mode the data interface 1.
int CommandInterface(int mode) {
    return mode == kCommClass ? 1 : 0;
}

std::string BusyLine(int mode) {
    return std::string("Printer in ") + ModeDisplay(mode) + " mode is in use by another program\n";
}
} // namespace

TEST(VmUntrusted, SerialOfControlBytesIsShownEscapedAndChosenByWhatListShows) {
    GadgetPrinterProcess printer(
        "evil", {"--mode", "native", "--serial", kEvilSerialOption, "--restart-ms", "800"});
    const std::string port = PortPathOfUdc(0);
    // The rig: configfs took the bytes and the kernel read them back from the descriptor.
    ASSERT_EQ(DeviceSerial(port), kEvilSerial);

    const OrvaneResult listed = RunOrvane({"LIST"});
    EXPECT_EQ(listed.out, "1\t" + kEvilShown + "\tNative USB\t\n");
    EXPECT_EQ(listed.exitCode, 0);
    ExpectSafe(listed);

    // What LIST shows names it, in any case, and so does the raw serial.
    for (const std::string& name : {kEvilShown, Lowered(kEvilShown), kEvilSerial}) {
        SCOPED_TRACE("PRINTER=" + name);
        const OrvaneResult reported = RunOrvane({"PRINTER=" + name, "MODE"});
        EXPECT_EQ(reported.out, "Native USB\n");
        EXPECT_EQ(reported.exitCode, 0);
        ExpectSafe(reported);
    }

    const OrvaneResult changed = RunOrvane({"PRINTER=" + kEvilShown, "PRINTERCLASS"}, 20s);
    EXPECT_EQ(changed.out, "Now set to Printer Class USB\n");
    EXPECT_EQ(changed.exitCode, 0);
    ExpectSafe(changed);
    ExpectChangeBytes(printer.Reads(), kNative, kPrinterClass);
    EXPECT_EQ(RunOrvane({"LIST"}).out, "1\t" + kEvilShown + "\tPrinter Class USB\t\n");
}

// A serial is every byte the kernel shows but its own end of line: a newline inside it, and the
// spaces around it, are the printer's, and two serials that differ after the newline are no twins.
TEST(VmUntrusted, SerialsWithANewlineAreReadWholeAndTellTwoPrintersApart) {
    GadgetPrinterProcess a("newline-a", {"--udc", "dummy_udc.0", "--mode", "native", "--serial",
                                         " X\\nA ", "--restart-ms", "800"});
    GadgetPrinterProcess b("newline-b", {"--udc", "dummy_udc.1", "--mode", "native", "--serial",
                                         "X\\nB", "--restart-ms", "800"});
    ASSERT_EQ(DeviceSerial(PortPathOfUdc(0)), " X\nA ");
    ASSERT_EQ(DeviceSerial(PortPathOfUdc(1)), "X\nB");

    const OrvaneResult listed = RunOrvane({"LIST"});
    EXPECT_EQ(listed.out, "1\t X\\x0AA \tNative USB\t\n2\tX\\x0AB\tNative USB\t\n");
    ExpectSafe(listed);
    const OrvaneResult changed = RunOrvane({"PRINTER=x\\x0Ab", "PRINTERCLASS"}, 20s);
    EXPECT_EQ(changed.out, "Now set to Printer Class USB\n");
    EXPECT_EQ(changed.exitCode, 0);
    ExpectChangeBytes(b.Reads(), kNative, kPrinterClass);
    EXPECT_TRUE(a.Reads().empty());
}

TEST(VmUntrusted, TwoPrintersWithOneSerialAreNamedByTheirPortsAndReachedOneAtATime) {
    GadgetPrinterProcess a("twin-a", {"--udc", "dummy_udc.0", "--mode", "native", "--serial",
                                      "ORV-TWIN", "--restart-ms", "800"});
    GadgetPrinterProcess b("twin-b", {"--udc", "dummy_udc.1", "--mode", "comm", "--serial",
                                      "ORV-TWIN", "--restart-ms", "800"});
    const std::string portA = PortPathOfUdc(0);
    const std::string portB = PortPathOfUdc(1);
    std::string ttyB;
    ASSERT_TRUE(WaitUntil([&] { return !(ttyB = InterfaceTty(portB, 0)).empty(); }, 3s));
    ASSERT_EQ(DeviceSerial(portA), "ORV-TWIN");
    ASSERT_EQ(DeviceSerial(portB), "ORV-TWIN");
    const std::string shared = "\tserial ORV-TWIN is shared with another printer\n";

    const OrvaneResult listed = RunOrvane({"LIST"});
    EXPECT_EQ(listed.out, "1\t" + portA + "\tNative USB\t" + shared + "2\t" + portB +
                              "\tComm Class USB\t" + ttyB + shared);
    EXPECT_EQ(listed.exitCode, 0);

    const OrvaneResult toB = RunOrvane({"PRINTER=" + portB, "PRINTERCLASS"}, 20s);
    EXPECT_EQ(toB.out, "Now set to Printer Class USB\n");
    EXPECT_EQ(toB.exitCode, 0);
    ExpectChangeBytes(b.Reads(), kCommClass, kPrinterClass);
    EXPECT_TRUE(a.Reads().empty());

    // Back on the same port, it keeps its identity.
    EXPECT_EQ(RunOrvane({"LIST"}).out, "1\t" + portA + "\tNative USB\t" + shared + "2\t" + portB +
                                           "\tPrinter Class USB\t" + shared);
    const OrvaneResult toA = RunOrvane({"PRINTER=" + portA, "COMMCLASS"}, 20s);
    EXPECT_EQ(toA.out, ChangedLines(kCommClass, InterfaceTty(portA, 0)));
    EXPECT_EQ(toA.exitCode, 0);
    ExpectChangeBytes(a.Reads(), kNative, kCommClass);
    EXPECT_EQ(b.Reads().size(), 2u);
}

TEST(VmUntrusted, PrinterHeldByAnotherProgramIsReportedInUseAndSentNothing) {
    const int targets[] = {kPrinterClass, kCommClass, kNative}; // a change away from each mode
    for (int mode : {kNative, kPrinterClass, kCommClass}) {
        SCOPED_TRACE(ModeDisplay(mode));
        const int interfaceNumber = CommandInterface(mode);
        // Once up, the gadget holds that interface claimed from the host side, as another
        // program would.
        GadgetPrinterProcess printer(
            std::string("busy-") + GadgetModeWord(mode),
            {"--mode", GadgetModeWord(mode), "--serial", "ORV-BUSY", "--refuse-opens", "16"});
        const std::string port = PortPathOfUdc(0);
        ASSERT_TRUE(printer.WaitForEvents("holding", 1, 1s)) << "log " << printer.log();
        EXPECT_EQ(printer.Events().front().detail, port + " " + std::to_string(interfaceNumber));
        ASSERT_EQ(InterfaceDriver(port, interfaceNumber), "usbfs");

        const OrvaneResult reported = RunOrvane({"MODE"});
        EXPECT_EQ(reported.out, BusyLine(mode));
        EXPECT_EQ(reported.exitCode, 6) << reported.err;
        // Nothing to wait for: the refusal comes before any command.
        const OrvaneResult changed = RunOrvane({ModeSwitch(targets[mode])}, 10s);
        EXPECT_EQ(changed.out, BusyLine(mode));
        EXPECT_EQ(changed.exitCode, 6) << changed.err;
        EXPECT_TRUE(printer.Reads().empty());
        ASSERT_TRUE(printer.LetGo()) << "log " << printer.log();
        // Once the other program lets go, the printer answers again (comm class mode excepted:
        // a claim of its data interface took cdc_acm off both, so its tty is gone).
        if (mode != kCommClass) {
            const OrvaneResult after = RunOrvane({"MODE"});
            EXPECT_EQ(after.out, std::string(ModeDisplay(mode)) + "\n");
            EXPECT_EQ(after.exitCode, 0);
        }
    }
}
