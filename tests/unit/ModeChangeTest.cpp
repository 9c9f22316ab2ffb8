#include "modechange/ModeChange.h"
#include "app/ConsoleSwitches.h"

#include "SimMachine.h"

namespace {
const std::vector<std::uint8_t> kRestart = {0x1D, 0xFF};
std::vector<std::uint8_t> ModeCommand(std::uint8_t mode) {
    return {0x1F, 0x0B, 0x4E, 0x1F, 0x43, mode};
}
} // namespace

class ModeChangeTest : public SimMachineTest {
  protected:
    ChangeOutcome::Kind result{};
    std::string Change(UsbType target) {
        return Stdout(
            [&] { result = SetUsbType(backend, PrinterTarget::FirstFound(), target).kind; });
    }
};

TEST_F(ModeChangeTest, OnlyTheModeByteVariesWithTheTarget) {
    const char* traceNames[] = {"IDNATIVETYPE", "IDPRINTERCLASSTYPE", "IDCOMMCLASSTYPE"};
    for (UsbType target : {IDNATIVETYPE, IDPRINTERCLASSTYPE, IDCOMMCLASSTYPE}) {
        sim::reset();
        printer().attach(target == IDNATIVETYPE ? IDCOMMCLASSTYPE : IDNATIVETYPE);
        Change(target);
        ASSERT_EQ(printer().writes().size(), 2u) << target;
        EXPECT_EQ(printer().writes()[0].bytes, ModeCommand(static_cast<std::uint8_t>(target)));
        EXPECT_EQ(printer().writes()[1].bytes, kRestart);
        EXPECT_EQ(TraceCount(std::string(") ") + traceNames[target] + "\n"), 1);
    }
}

TEST_F(ModeChangeTest, ConsolePausesASecondBetweenTheTwoCommands) {
    printer().attach(IDNATIVETYPE);
    EXPECT_EQ(Change(IDPRINTERCLASSTYPE), "Now set to Printer Class USB\n");
    EXPECT_EQ(result, ChangeOutcome::Kind::Changed);
    ASSERT_EQ(printer().writes().size(), 2u);
    EXPECT_EQ(printer().writes()[1].atMs - printer().writes()[0].atMs, 1000u);
    EXPECT_EQ(TraceCount("SetUsbType("),
              TraceCount(") USB write opened ok\n") + 1 + TraceCount("Not yet rebooted"));
}

TEST_F(ModeChangeTest, DialogPausesAfterTheSecondCommand) {
    printer().attach(IDNATIVETYPE);
    printer().neverReturns = true;
    ChangeMode(backend, ChangeRequest{PrinterTarget::FirstFound(), IDCOMMCLASSTYPE, IDNATIVETYPE},
               kDialogChange);
    ASSERT_EQ(printer().writes().size(), 2u);
    EXPECT_EQ(printer().writes()[0].atMs, printer().writes()[1].atMs);
    EXPECT_EQ(TraceTimes("Not yet rebooted").front() - printer().writes()[1].atMs, 2000u);
    EXPECT_EQ(TraceCount("OnChange("), 2 + 120);
    EXPECT_EQ(TraceCount("SetUsbType("), 0);
}

TEST_F(ModeChangeTest, EachFailedAttemptIsTracedOneSecondLater) {
    printer().attach(IDNATIVETYPE);
    printer().restartMs = 3000;
    Change(IDCOMMCLASSTYPE);
    // The restart command goes out at 1000 ms; the printer answers again at 4000 ms.
    EXPECT_EQ(TraceTimes("Not yet rebooted"), (std::vector<std::uint64_t>{2000, 3000, 4000}));
    EXPECT_EQ(printer().mode(), IDCOMMCLASSTYPE);
}

TEST_F(ModeChangeTest, PrinterBackAtTheFirstAttemptNeedsNoRetry) {
    printer().attach(IDCOMMCLASSTYPE);
    printer().restartMs = 0;
    EXPECT_EQ(Change(IDNATIVETYPE), "Now set to Native USB\n");
    EXPECT_EQ(TraceCount("Not yet rebooted"), 0);
    EXPECT_EQ(machine().now(), 1000u) << "only the pause between the commands";
}

TEST_F(ModeChangeTest, WaitGivesUpAfterItsBound) {
    printer().attach(IDNATIVETYPE);
    printer().neverReturns = true;
    EXPECT_EQ(Change(IDCOMMCLASSTYPE),
              "Printer did not come back in Comm Class USB mode within 120 seconds\n");
    EXPECT_EQ(result, ChangeOutcome::Kind::Timeout);
    const std::uint64_t waitStart = printer().writes()[1].atMs;
    EXPECT_EQ(machine().now() - waitStart, kRestartWaitLimitMs);
    EXPECT_EQ(TraceCount("Not yet rebooted"), 120);
}

TEST_F(ModeChangeTest, PrinterBackInAnotherModeIsNotTakenForSuccess) {
    printer().attach(IDNATIVETYPE);
    printer().returnMode = IDNATIVETYPE;
    EXPECT_EQ(Change(IDPRINTERCLASSTYPE),
              "Printer did not come back in Printer Class USB mode within 120 seconds\n");
    EXPECT_EQ(result, ChangeOutcome::Kind::Timeout);
}

TEST_F(ModeChangeTest, FailedWritesAreTracedAndTheWaitStillFollows) {
    printer().attach(IDNATIVETYPE);
    printer().failWrites = true;
    Change(IDPRINTERCLASSTYPE);
    EXPECT_EQ(TraceCount(") Error on write\n"), 2);
    EXPECT_EQ(machine().callsOf(sim::Api::WriteFile), 2);
    EXPECT_TRUE(printer().writes().empty());
    EXPECT_EQ(TraceTimes("Not yet rebooted").front(), 1000u) << "no pause after a failed write";
    EXPECT_EQ(result, ChangeOutcome::Kind::Timeout);
}

TEST_F(ModeChangeTest, CommandPipeThatDoesNotOpenSkipsTheWritesNotTheWait) {
    printer().attach(IDNATIVETYPE);
    printer().pipe01Opens = false;
    Change(IDPRINTERCLASSTYPE);
    EXPECT_EQ(TraceCount("SetUsbType("), 4 + 120);
    EXPECT_EQ(TraceCount(") Error opening USB\n"), 1);
    EXPECT_EQ(TraceCount(") Error on write\n"), 2);
    EXPECT_EQ(machine().callsOf(sim::Api::WriteFile), 0);
    EXPECT_EQ(result, ChangeOutcome::Kind::Timeout);
}

TEST_F(ModeChangeTest, NoPrinterSendsNothing) {
    EXPECT_EQ(Change(IDCOMMCLASSTYPE), "Error opening USB\n");
    EXPECT_EQ(result, ChangeOutcome::Kind::NoPrinter);
    EXPECT_EQ(OpensContaining("PIPE01"), 0);
    EXPECT_EQ(machine().now(), 0u);
}

TEST_F(ModeChangeTest, PrinterBackOnlyAfterTheBoundIsATimeout) {
    printer().attach(IDNATIVETYPE);
    printer().restartMs = kRestartWaitLimitMs + 5000;
    EXPECT_EQ(Change(IDPRINTERCLASSTYPE),
              "Printer did not come back in Printer Class USB mode within 120 seconds\n");
    EXPECT_EQ(result, ChangeOutcome::Kind::Timeout);
}
