// A printer whose command pipe takes no byte must not hold Orvane: each write gives up after its
// bound, is cancelled, and counts as a failed write.
#include "device/windows/BoundedWrite.h"
#include "device/windows/UsbDevice.h"

#include "SimMachine.h"

#include <algorithm>

namespace {
constexpr int kNative = 0;
constexpr int kPrinterClass = 1;
} // namespace

class BoundedWriteTest : public SimMachineTest {};

TEST_F(BoundedWriteTest, ConsoleChangeToAStalledPrinterEndsWithTheTimeout) {
    printer().attach(kNative);
    printer().stallWrites = true;
    int exitCode = -1;
    EXPECT_EQ(RunOrvaneWith({"PRINTERCLASS"}, &exitCode),
              "Printer did not come back in Printer Class USB mode within 120 seconds\n");
    EXPECT_EQ(exitCode, 3);
    EXPECT_TRUE(printer().writes().empty());
    // Each write waits five seconds, is cancelled and is a failed write: no pause follows it.
    EXPECT_EQ(TraceTimes("WriteWithin("), (std::vector<std::uint64_t>{5000, 10000}));
    EXPECT_EQ(TraceTimes(") Error on write\n"), (std::vector<std::uint64_t>{5000, 10000}));
    EXPECT_EQ(TraceTimes("Not yet rebooted").front(), 11000u);
    EXPECT_EQ(machine().now(), 10000u + 120000u);
    EXPECT_EQ(machine().callsOf(sim::Api::CreateEventA), 2);
}

TEST_F(BoundedWriteTest, DialogChangeToAStalledPrinterComesBackUsable) {
    printer().attach(kNative);
    printer().stallWrites = true;
    RunDialog({ScriptedDialog::Select(IDPRINTERCLASSTYPE), ScriptedDialog::Change()});
    EXPECT_EQ(dialog.view.status, "No answer in Printer Class USB");
    EXPECT_EQ(dialog.view.waitsOnScreen, 0) << "the wait window goes and Change works again";
    EXPECT_EQ(TraceCount("OnChange(") - TraceCount("Not yet rebooted"), 4);
}

// The event log's record of a change is handed over within its bound, or left behind.
TEST_F(BoundedWriteTest, StalledEventLogHoldsNeitherTheResultNorTheEnd) {
    printer().attach(kNative);
    printer().restartMs = 3000;
    machine().eventLogStalls = true;
    int exitCode = -1;
    EXPECT_EQ(RunOrvaneWith({"PRINTERCLASS"}, &exitCode), "Now set to Printer Class USB\n");
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(machine().stuckThreads, 1);
    EXPECT_EQ(machine().blockedForever, 0);
    // It waited its bound once, then ended at once.
    const auto late = std::find_if(trace().begin(), trace().end(), [](const std::string& line) {
        return line.find("EventLog(") == 0;
    });
    ASSERT_NE(late, trace().end());
    ASSERT_NE(late, trace().begin());
    EXPECT_NE(late->find(") No answer within 2000 ms: going on without the record"),
              std::string::npos);
    const std::vector<std::uint64_t>& times = machine().debugTimes();
    const auto at = static_cast<std::size_t>(late - trace().begin());
    EXPECT_EQ(times[at] - times[at - 1], 2000u);
    EXPECT_EQ(machine().now(), times[at]);
    EXPECT_EQ(TraceCount("EventLog("), 1);
    // The thread left behind holds its source until the process ends; nothing else is open.
    EXPECT_EQ(machine().openResources(), (sim::Resources{.eventSources = 1}));
    sim::reset();
}

TEST_F(BoundedWriteTest, WriteThatCompletesReturnsAtOnce) {
    printer().attach(kPrinterClass);
    CUsbDevice device;
    HANDLE hPipe = device.open_file(IDPRINTERCLASSTYPE, "PIPE01", FILE_FLAG_OVERLAPPED);
    ASSERT_NE(hPipe, INVALID_HANDLE_VALUE);
    const std::uint8_t bytes[] = {0x1D, 0xFF};
    EXPECT_TRUE(WriteWithin(hPipe, bytes, sizeof bytes, 5000));
    EXPECT_EQ(machine().now(), 0u);
    ASSERT_EQ(printer().writes().size(), 1u);
    EXPECT_EQ(printer().writes()[0].bytes, (std::vector<std::uint8_t>{0x1D, 0xFF}));
    CloseHandle(hPipe);
}

TEST_F(BoundedWriteTest, NoEventMeansAFailedWriteAndNothingSent) {
    printer().attach(kPrinterClass);
    machine().failCall(sim::Api::CreateEventA, 0, ERROR_NOT_ENOUGH_MEMORY);
    CUsbDevice device;
    HANDLE hPipe = device.open_file(IDPRINTERCLASSTYPE, "PIPE01", FILE_FLAG_OVERLAPPED);
    const std::uint8_t bytes[] = {0x1D, 0xFF};
    EXPECT_FALSE(WriteWithin(hPipe, bytes, sizeof bytes, 5000));
    EXPECT_TRUE(printer().writes().empty());
    EXPECT_EQ(TraceCount("CreateEvent: Error=8\n"), 1);
    CloseHandle(hPipe);
}
