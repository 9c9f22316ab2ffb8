// The libusb backend in this process, on the fake kernel, with a virtual clock, under the
// console face as orvane runs it: the waits that take minutes in real time (a printer that
// never comes back, writes that fail) take none, and the world moves on at the sleeps.
#include "FakePrinterBackend.h"
#include "PrinterTestbed.h"
#include "UsbDescriptors.h"

#include "app/ConsoleFace.h"
#include "common/DebugTrace.h"
#include "device/linux/LibusbPrinterBackend.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {
class TraceRecorder : public TraceSink {
  public:
    TraceRecorder() { m_previous = InstallTraceSink(this); }
    ~TraceRecorder() override { InstallTraceSink(m_previous); }
    void Send(const char* text) override { lines += text; }
    int Count(const std::string& text) const {
        int count = 0;
        for (std::size_t at = lines.find(text); at != std::string::npos;
             at = lines.find(text, at + 1)) {
            ++count;
        }
        return count;
    }
    std::string lines;

  private:
    TraceSink* m_previous = nullptr;
};

// Runs the console face on the backend, as orvane's main does; returns the exit code.
int RunConsole(PrinterBackend& backend, std::vector<std::string> args, std::string* pOutput) {
    args.insert(args.begin(), "orvane");
    std::vector<char*> argv;
    argv.reserve(args.size());
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    ConsoleContext context{backend, "orvane", "", false, false};
    ::testing::internal::CaptureStdout();
    const int exitCode =
        RunConsoleOnly(context, ParseSwitches(static_cast<int>(argv.size()), argv.data(),
                                              SwitchConventions::Posix));
    *pOutput = ::testing::internal::GetCapturedStdout();
    return exitCode;
}
} // namespace

TEST(LibusbBackend, PrinterThatNeverComesBackEndsTheWaitAtItsBound) {
    PrinterTestbed bed;
    const std::string node = bed.Plug("1-2", {});
    fake::VirtualClock clock;
    bool gone = false;
    clock.onSleep = [&](std::uint64_t) {
        if (!gone && bed.usb().WritesTo(node).size() == 2) {
            bed.Unplug("1-2");
            gone = true;
        }
    };
    LibusbPrinterBackend backend(clock);
    std::string output;
    EXPECT_EQ(RunConsole(backend, {"PRINTERCLASS"}, &output), 3);
    EXPECT_EQ(output, "Printer did not come back in Printer Class USB mode within 120 seconds\n");
    EXPECT_TRUE(gone);
    // The pause, then polls once a second up to the bound.
    EXPECT_GE(clock.NowMs(), 1000u + 120000u);
    EXPECT_LT(clock.NowMs(), 1000u + 122000u);
}

TEST(LibusbBackend, FailedTransfersAreTracedAndTheRestartWaitFollows) {
    PrinterTestbed bed;
    const std::string node = bed.Plug("1-2", Described("--fail-writes"));
    fake::VirtualClock clock;
    LibusbPrinterBackend backend(clock);
    const TraceRecorder trace;
    std::string output;
    EXPECT_EQ(RunConsole(backend, {"COMMCLASS"}, &output), 3);
    EXPECT_EQ(output, "Printer did not come back in Comm Class USB mode within 120 seconds\n");
    EXPECT_EQ(trace.Count("Error on write"), 2) << trace.lines;
    EXPECT_EQ(trace.Count("endpoint 01: LIBUSB_ERROR_PIPE, 0 of 6 bytes sent"), 1) << trace.lines;
    EXPECT_EQ(trace.Count("endpoint 01: LIBUSB_ERROR_PIPE, 0 of 2 bytes sent"), 1) << trace.lines;
    // Both were tried, without the pause that only a written mode command earns.
    EXPECT_EQ(bed.usb().WritesTo(node).size(), 2u);
    EXPECT_GE(clock.NowMs(), 120000u);
    EXPECT_LT(clock.NowMs(), 1000u + 120000u);
    EXPECT_EQ(bed.usb().RequestsOn(node),
              (std::vector<std::string>{"detach+claim 0", "release 0", "attach 0"}));
}

TEST(LibusbBackend, WriteThatRunsOutOfTimeIsCancelledAndTheInterfaceReleased) {
    PrinterTestbed bed;
    const std::string node = bed.Plug("1-2", Described("--mode printer --stall-writes"));
    fake::VirtualClock clock;
    LibusbPrinterBackend backend(clock);
    std::unique_ptr<PrinterChannel> channel =
        backend.OpenChannel(PrinterTarget::Listed("orvemu0001"));
    std::unique_ptr<CommandPipe> pipe = channel->OpenCommandPipe(IDPRINTERCLASSTYPE).pipe;
    ASSERT_NE(pipe, nullptr);

    const std::uint8_t restart[] = {0x1D, 0xFF};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(pipe->Write(restart, sizeof restart, 200));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 200ms);
    EXPECT_LT(took, 2000ms);
    pipe.reset();
    EXPECT_EQ(bed.usb().RequestsOn(node),
              (std::vector<std::string>{"detach+claim 0", "discard", "release 0", "attach 0"}));
    EXPECT_EQ(bed.usb().WritesTo(node)[0].endpoint, kPrinterClassOut);
}

TEST(LibusbBackend, VirtualPortIsAwaitedBrieflyAfterThePrinterAppears) {
    PrinterTestbed bed;
    bed.Plug("1-2", Described("--mode comm"), false);
    fake::VirtualClock clock;
    LibusbPrinterBackend backend(clock);

    const PortLookup missing = backend.LookUpPort(PrinterTarget::FirstFound());
    EXPECT_EQ(missing.port, std::nullopt);
    EXPECT_EQ(missing.problem, "No virtual port: the kernel made no tty for "
                               "/sys/bus/usb/devices/1-2:1.0 (is the cdc_acm module loaded?)");
    EXPECT_EQ(missing.driver.module, "cdc_acm") << "no driver is bound to the interface";
    EXPECT_GE(clock.NowMs(), 1000u);

    const std::uint64_t asked = clock.NowMs();
    clock.onSleep = [&](std::uint64_t now) {
        if (now - asked == 300) {
            bed.AddTty("1-2", "ttyACM3");
        }
    };
    const PortLookup found = backend.LookUpPort(PrinterTarget::Listed("ORVEMU0001"));
    EXPECT_EQ(found.port, "/dev/ttyACM3");
    EXPECT_EQ(clock.NowMs() - asked, 300u);
}
