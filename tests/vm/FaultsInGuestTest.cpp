// Printers that fail a change, four at once on four device controllers, each with its own
// orvane: one that takes no byte, one that never comes back, one that leaves in the middle of
// a write, one that leaves while orvane holds its interface claimed. Each ends in exit 3 with
// its line after the two-minute wait, without a crash, and leaves nothing claimed.
#include "../linux/OrvaneProcess.h"
#include "GadgetPrinterProcess.h"
#include "GuestCase.h"
#include "GuestUsb.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {
constexpr auto kBound = 150s;

std::size_t Occurrences(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

std::string NotBack(int mode) {
    return std::string("Printer did not come back in ") + ModeDisplay(mode) +
           " mode within 120 seconds\n";
}
} // namespace

TEST(VmFaults, StalledVanishedAndUnpluggedPrintersEndWithExit3) {
    GadgetPrinterProcess stalled("stalled", {"--udc", "dummy_udc.0", "--mode", "native", "--serial",
                                             "ORV-STALL", "--stall-writes"});
    GadgetPrinterProcess gone("gone", {"--udc", "dummy_udc.1", "--mode", "native", "--serial",
                                       "ORV-GONE", "--never-back"});
    GadgetPrinterProcess claimed("claimed",
                                 {"--udc", "dummy_udc.2", "--mode", "comm", "--serial", "ORV-CLAIM",
                                  "--unplug-at-command", "--restart-ms", "1000"});
    // It takes nothing, and leaves while orvane's first write waits for it.
    GadgetPrinterProcess midWrite("mid-write",
                                  {"--udc", "dummy_udc.3", "--mode", "native", "--serial",
                                   "ORV-MID", "--stall-writes", "--unplug-after-ms", "2500"});
    const std::uint64_t start = MonotonicMs();
    OrvaneProcess onMidWrite({"PRINTER=ORV-MID", "COMMCLASS", "TRACE"});
    OrvaneProcess onStalled({"PRINTER=ORV-STALL", "PRINTERCLASS", "TRACE"});
    OrvaneProcess onGone({"PRINTER=ORV-GONE", "PRINTERCLASS"});
    OrvaneProcess onClaimed({"PRINTER=ORV-CLAIM", "NATIVE", "TRACE"});

    // Awaited in the order they end, so that each end is timed when it happens.
    const OrvaneResult goneResult = onGone.Finish(kBound);
    const std::uint64_t goneEnd = MonotonicMs();
    EXPECT_EQ(goneResult.out, NotBack(kPrinterClass));
    EXPECT_EQ(goneResult.exitCode, 3);
    ExpectChangeBytes(gone.Reads(), kNative, kPrinterClass);
    EXPECT_GE(goneEnd - gone.LastMs("reset"), 119000u);
    EXPECT_LE(goneEnd - gone.LastMs("reset"), 126000u);

    const OrvaneResult midWriteResult = onMidWrite.Finish(kBound);
    EXPECT_EQ(midWriteResult.out, NotBack(kCommClass));
    EXPECT_EQ(midWriteResult.exitCode, 3);
    // Its leaving ends the write, not the write's bound. The kernel tells it as the device
    // gone, or as an I/O error when the endpoint goes before the port reports the unplug.
    EXPECT_EQ(Occurrences(midWriteResult.err, "LIBUSB_ERROR_TIMEOUT"), 0u) << midWriteResult.err;
    EXPECT_GE(Occurrences(midWriteResult.err, "LIBUSB_ERROR_NO_DEVICE") +
                  Occurrences(midWriteResult.err, "LIBUSB_ERROR_IO"),
              1u)
        << midWriteResult.err;
    EXPECT_TRUE(midWrite.Reads().empty());

    // The command reached it, the reset found it gone; it came back in its old mode.
    const OrvaneResult claimedResult = onClaimed.Finish(kBound);
    EXPECT_EQ(claimedResult.out, NotBack(kNative));
    EXPECT_EQ(claimedResult.exitCode, 3);
    const std::vector<GadgetRead> claimedReads = claimed.Reads();
    ASSERT_EQ(claimedReads.size(), 1u);
    EXPECT_EQ(claimedReads[0].bytes, ModeCommand(kNative));
    const std::string port = PortPathOfUdc(2);
    EXPECT_EQ(InterfaceDriver(port, 0), "cdc_acm");
    EXPECT_EQ(InterfaceDriver(port, 1), "cdc_acm");
    const OrvaneResult after = RunOrvane({"PRINTER=ORV-CLAIM", "MODE"});
    EXPECT_EQ(after.out, "Comm Class USB = " + InterfaceTty(port, 0) + "\n");

    // Each write is cancelled at its 5 s bound; then the wait runs its two minutes.
    const OrvaneResult stalledResult = onStalled.Finish(kBound);
    const std::uint64_t stalledEnd = MonotonicMs();
    EXPECT_EQ(stalledResult.out, NotBack(kPrinterClass));
    EXPECT_EQ(stalledResult.exitCode, 3);
    EXPECT_EQ(Occurrences(stalledResult.err, "LIBUSB_ERROR_TIMEOUT"), 2u) << stalledResult.err;
    EXPECT_GE(stalledEnd - start, 129000u);
    EXPECT_LE(stalledEnd - start, 140000u);
    EXPECT_TRUE(stalled.Reads().empty());
}
