// The one mode change: the command bytes and their pause, the bounded restart wait, the final
// probe, and where the console's and the dialog's policies differ.
#include "CoreTest.h"

#include "app/ConsoleSwitches.h"
#include "modechange/ModeChange.h"

namespace {
const std::vector<std::uint8_t> kRestart = {0x1D, 0xFF};
std::vector<std::uint8_t> ModeCommand(std::uint8_t mode) {
    return {0x1F, 0x0B, 0x4E, 0x1F, 0x43, mode};
}
} // namespace

class ModeChangeTest : public CoreTest {
  protected:
    ChangeOutcome outcome;
    // The console's change, as SetUsbType runs it; returns what it printed.
    std::string Change(UsbType target, PrinterTarget meant = PrinterTarget::FirstFound()) {
        return Stdout([&] {
            ChangeReport change;
            change.target = target;
            outcome = SetUsbType(backend, meant, &change);
            ConsoleReply(false).Change(change);
        });
    }
    ChangeOutcome DialogChange(UsbType from, UsbType target) {
        return ChangeMode(backend, ChangeRequest{PrinterTarget::FirstFound(), target, from},
                          kDialogChange);
    }
};

TEST_F(ModeChangeTest, OnlyTheModeByteVariesWithTheTarget) {
    const char* traceNames[] = {"IDNATIVETYPE", "IDPRINTERCLASSTYPE", "IDCOMMCLASSTYPE"};
    for (const UsbType target : {IDNATIVETYPE, IDPRINTERCLASSTYPE, IDCOMMCLASSTYPE}) {
        fake::Printer& p = Plug(target == IDNATIVETYPE ? IDCOMMCLASSTYPE : IDNATIVETYPE,
                                "ORV" + std::to_string(target));
        Change(target, PrinterTarget::Listed(p.identity));
        ASSERT_EQ(p.writes.size(), 2u) << target;
        EXPECT_EQ(p.writes[0].bytes, ModeCommand(static_cast<std::uint8_t>(target)));
        EXPECT_EQ(p.writes[1].bytes, kRestart);
        EXPECT_EQ(TraceCount(std::string(") ") + traceNames[target] + "\n"), 1);
    }
}

TEST_F(ModeChangeTest, ConsolePausesASecondBetweenTheTwoCommands) {
    Plug(IDNATIVETYPE);
    EXPECT_EQ(Change(IDPRINTERCLASSTYPE), "Now set to Printer Class USB\n");
    EXPECT_EQ(outcome.kind, ChangeOutcome::Kind::Changed);
    EXPECT_EQ(outcome.before, IDNATIVETYPE);
    EXPECT_EQ(outcome.after, IDPRINTERCLASSTYPE);
    EXPECT_EQ(outcome.printer.identity(), "ORV0001");
    ASSERT_EQ(printer().writes.size(), 2u);
    EXPECT_EQ(printer().writes[1].atMs - printer().writes[0].atMs, 1000u);
    // Both writes are bounded.
    EXPECT_EQ(printer().writes[0].timeoutMs, 5000u);
    EXPECT_EQ(printer().writes[1].timeoutMs, 5000u);
    EXPECT_EQ(TraceCount("SetUsbType("),
              TraceCount(") USB write opened ok\n") + 1 + TraceCount("Not yet rebooted"));
    EXPECT_EQ(TraceCount("OnChange("), 0);
    EXPECT_EQ(TraceCount("ProbeUsb("), 2) << "one probe before the command, one after the wait";
}

TEST_F(ModeChangeTest, DialogPausesAfterTheSecondCommandAndTracesTheReturn) {
    Plug(IDNATIVETYPE).restartMs = 0;
    const ChangeOutcome dialog = DialogChange(IDNATIVETYPE, IDCOMMCLASSTYPE);
    EXPECT_EQ(dialog.kind, ChangeOutcome::Kind::Changed);
    EXPECT_EQ(dialog.port.port, "COM7");
    ASSERT_EQ(printer().writes.size(), 2u);
    EXPECT_EQ(printer().writes[0].atMs, printer().writes[1].atMs);
    EXPECT_EQ(Now() - printer().writes[1].atMs, 1000u);
    EXPECT_EQ(TraceCount("SetUsbType("), 0);
    EXPECT_EQ(TraceCount("OnChange("), 3);
    EXPECT_EQ(TraceCount("OnChange(") - TraceCount(") Rebooted\n"), 2);
    EXPECT_EQ(TraceCount("ProbeUsb("), 1) << "the dialog sends from the mode it last found";
}

TEST_F(ModeChangeTest, DialogSendsEvenToTheModeItIsIn) {
    Plug(IDPRINTERCLASSTYPE);
    EXPECT_EQ(DialogChange(IDPRINTERCLASSTYPE, IDPRINTERCLASSTYPE).kind,
              ChangeOutcome::Kind::Changed);
    ASSERT_EQ(printer().writes.size(), 2u);
    EXPECT_EQ(printer().writes[0].bytes, ModeCommand(1));
    EXPECT_EQ(printer().restarts, 1);
}

TEST_F(ModeChangeTest, EachFailedAttemptIsTracedOneSecondLater) {
    Plug(IDNATIVETYPE).restartMs = 3000;
    Change(IDCOMMCLASSTYPE);
    // The restart command goes out at 1000 ms; the printer answers again at 4000 ms.
    EXPECT_EQ(TraceTimes("Not yet rebooted"), (std::vector<std::uint64_t>{2000, 3000, 4000}));
    EXPECT_EQ(printer().mode, IDCOMMCLASSTYPE);
}

TEST_F(ModeChangeTest, PrinterBackAtTheFirstAttemptNeedsNoRetry) {
    Plug(IDCOMMCLASSTYPE).restartMs = 0;
    EXPECT_EQ(Change(IDNATIVETYPE), "Now set to Native USB\n");
    EXPECT_EQ(TraceCount("Not yet rebooted"), 0);
    EXPECT_EQ(Now(), 1000u) << "only the pause between the commands";
}

TEST_F(ModeChangeTest, WaitGivesUpAfterItsBound) {
    Plug(IDNATIVETYPE).neverReturns = true;
    EXPECT_EQ(Change(IDCOMMCLASSTYPE),
              "Printer did not come back in Comm Class USB mode within 120 seconds\n");
    EXPECT_EQ(outcome.kind, ChangeOutcome::Kind::Timeout);
    EXPECT_EQ(Now() - printer().writes[1].atMs, kRestartWaitLimitMs);
    EXPECT_EQ(TraceCount("Not yet rebooted"), 120);
    EXPECT_EQ(TraceCount("ProbeUsb("), 1) << "no probe after a wait that failed";
}

TEST_F(ModeChangeTest, PrinterThatAnswersAndSettlesInAnotherModeIsSaidSo) {
    Plug(IDNATIVETYPE).settlesIn = IDPRINTERCLASSTYPE;
    EXPECT_EQ(Change(IDCOMMCLASSTYPE),
              "Printer came back in Printer Class USB mode, not in Comm Class USB mode\n");
    EXPECT_EQ(outcome.kind, ChangeOutcome::Kind::OtherMode);
    EXPECT_EQ(outcome.after, IDPRINTERCLASSTYPE);
    EXPECT_EQ(outcome.port.port, std::nullopt);
}

TEST_F(ModeChangeTest, PrinterGoneRightAfterItsReturnIsNoSuccess) {
    Plug(IDNATIVETYPE).leavesAfterReturn = true;
    EXPECT_EQ(Change(IDCOMMCLASSTYPE), "Error opening USB\n");
    EXPECT_EQ(outcome.kind, ChangeOutcome::Kind::NoPrinter);
    EXPECT_EQ(TraceCount(") retval = 0  UsbString = Error opening USB\n\n"), 1);
}

TEST_F(ModeChangeTest, FailedWritesAreTracedAndTheWaitStillFollows) {
    Plug(IDNATIVETYPE).failWrites = true;
    Change(IDPRINTERCLASSTYPE);
    EXPECT_EQ(TraceCount(") Error on write\n"), 2);
    EXPECT_TRUE(printer().writes.empty());
    EXPECT_EQ(TraceTimes("Not yet rebooted").front(), 1000u) << "no pause after a failed write";
    EXPECT_EQ(outcome.kind, ChangeOutcome::Kind::Timeout);
}

TEST_F(ModeChangeTest, StalledPrinterHoldsEachWriteOnlyForItsBound) {
    Plug(IDNATIVETYPE).stallWrites = true;
    EXPECT_EQ(Change(IDPRINTERCLASSTYPE),
              "Printer did not come back in Printer Class USB mode within 120 seconds\n");
    EXPECT_EQ(TraceCount(") Error on write\n"), 2);
    EXPECT_EQ(TraceTimes("Not yet rebooted").front(), 2 * 5000u + 1000u);
    EXPECT_EQ(Now(), 2 * 5000u + kRestartWaitLimitMs);
}

TEST_F(ModeChangeTest, CommandPipeThatDoesNotOpenSkipsTheWritesNotTheWait) {
    Plug(IDNATIVETYPE).commandPipeOpens = false;
    Change(IDPRINTERCLASSTYPE);
    EXPECT_EQ(TraceCount("SetUsbType("), 4 + 120);
    EXPECT_EQ(TraceCount(") Error opening USB\n"), 1);
    EXPECT_EQ(TraceCount(") Error on write\n"), 2);
    EXPECT_TRUE(printer().writes.empty());
    EXPECT_EQ(outcome.kind, ChangeOutcome::Kind::Timeout);
}

TEST_F(ModeChangeTest, NoPrinterSendsNothing) {
    EXPECT_EQ(Change(IDCOMMCLASSTYPE), "Error opening USB\n");
    EXPECT_EQ(outcome.kind, ChangeOutcome::Kind::NoPrinter);
    EXPECT_EQ(backend.commandPipeCalls, 0);
    EXPECT_EQ(Now(), 0u);
}

TEST_F(ModeChangeTest, OnlyThePrinterChangedEndsTheWait) {
    Plug(IDNATIVETYPE, "ORV-A").restartMs = 3000;
    Plug(IDCOMMCLASSTYPE, "ORV-B");
    EXPECT_EQ(Change(IDCOMMCLASSTYPE, PrinterTarget::Listed("orv-a")),
              "Now set to Comm Class USB\nComm Class USB virtual port = COM7\n");
    // B sat in comm class mode all along; only A's return ended the wait.
    EXPECT_EQ(TraceCount("Not yet rebooted"), 3);
    EXPECT_TRUE(printer(1).writes.empty());
    EXPECT_EQ(outcome.printer.identity(), "ORV-A");
}

TEST_F(ModeChangeTest, ChangeToCommClassLooksUpThePortOrSaysWhyNot) {
    Plug(IDNATIVETYPE).port.reset();
    printer().portProblem = "Error Querying Value (\\Device\\QZMPUSBPort0) = 2";
    EXPECT_EQ(Change(IDCOMMCLASSTYPE),
              "Now set to Comm Class USB\nError Querying Value (\\Device\\QZMPUSBPort0) = 2\n");
    EXPECT_EQ(outcome.port.port, std::nullopt);
}
