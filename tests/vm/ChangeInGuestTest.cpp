// A change between every pair of modes, played by one gadget printer that restarts at each
// command: the bytes on the mode's endpoint, and the wait ended by the printer's return. The
// same cases run in a guest with udevd and in one without it, where libusb learns of no
// device that arrives after it started.
#include "../linux/OrvaneProcess.h"
#include "GadgetPrinterProcess.h"
#include "GuestCase.h"
#include "GuestUsb.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {
// The wait looks once a second, and in comm class mode gives cdc_acm up to a second for the
// tty: a printer that is back ends it well within this.
constexpr std::uint64_t kBackToEndMs = 2500;
} // namespace

TEST(VmChanges, EveryPairOfModesEndsWhenThePrinterIsBack) {
    GadgetPrinterProcess printer(
        "changes", {"--mode", "native", "--serial", "ORV-CHG", "--restart-ms", "1000"});
    const std::string port = PortPathOfUdc(0);
    int from = kNative;
    std::size_t ups = 1;
    for (int to : {kPrinterClass, kCommClass, kNative, kCommClass, kPrinterClass, kNative}) {
        SCOPED_TRACE(std::string(ModeDisplay(from)) + " to " + ModeDisplay(to));
        const std::size_t readsBefore = printer.Reads().size();
        const OrvaneResult result = RunOrvane({ModeSwitch(to)}, 20s);
        const std::uint64_t end = MonotonicMs();

        EXPECT_EQ(result.out, ChangedLines(to, InterfaceTty(port, 0)));
        // A wait that did not end leaves the printer's state unknown: stop at the first.
        ASSERT_EQ(result.exitCode, 0) << result.err;
        ExpectChangeBytes(printer.Reads(readsBefore), from, to);
        ++ups;
        ASSERT_TRUE(printer.WaitForEvents("up", ups, 0ms)) << "the printer is not back";
        const std::vector<GadgetEvent> events = printer.Events();
        const GadgetEvent& back = events.back();
        EXPECT_EQ(back.kind, "up");
        EXPECT_EQ(back.detail.rfind(GadgetModeWord(to), 0), 0u) << back.detail;
        EXPECT_LE(end - back.ms, kBackToEndMs) << "from the printer's return to the end";
        from = to;
    }
}
