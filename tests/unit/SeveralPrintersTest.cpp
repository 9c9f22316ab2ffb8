// Two printers on one machine: Orvane names them, acts only on the one the command line means,
// and lets no other printer answer for it.
#include "SimMachine.h"

namespace {
constexpr int kNative = 0;
constexpr int kPrinterClass = 1;
constexpr int kCommClass = 2;
const std::vector<std::uint8_t> kRestart = {0x1D, 0xFF};
const std::string kIdA = "USB\\VID_6B1F&PID_C302\\6&2F1A3B4C&0&1";
const std::string kIdB = "USB\\VID_6B1F&PID_C302\\6&2F1A3B4C&0&2";
} // namespace

class SeveralPrintersTest : public SimMachineTest {
  protected:
    // Printer A (port COM7) in native mode, printer B (port COM8) already in comm class mode.
    void AttachTwo(int modeA = kNative, int modeB = kCommClass) {
        printer().attach(modeA);
        b = &machine().addPrinter();
        b->attach(modeB);
    }
    std::string Run(std::vector<std::string> args) {
        return RunOrvaneWith(std::move(args), &exitCode);
    }

    sim::Printer* b = nullptr;
    int exitCode = -1;
};

TEST_F(SeveralPrintersTest, ListNamesEveryPrinterWithItsOwnPort) {
    AttachTwo(kCommClass, kCommClass);
    AddForeignSerialPorts(2);
    machine().addPrinter().attach(kPrinterClass);
    EXPECT_EQ(Run({"LIST"}), "1\t" + kIdB.substr(0, kIdB.size() - 1) + "3\tPrinter Class USB\t\n" +
                                 "2\t" + kIdA + "\tComm Class USB\tCOM7\n" + "3\t" + kIdB +
                                 "\tComm Class USB\tCOM8\n");
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(trace().size(), 1u) << "the list is made without a word on the trace";
    sim::reset();
    EXPECT_EQ(Run({"LIST"}), "Error opening USB\n");
    EXPECT_EQ(exitCode, 2);
}

TEST_F(SeveralPrintersTest, SharedDeviceMapNamesAPortOnlyWhenOnePrinterIsInCommClass) {
    printer().attach(kCommClass);
    printer().portInDeviceKey = false;
    EXPECT_EQ(Run({"MODE"}), "Comm Class USB = COM7\n") << "alone, the device map is its own";
    b = &machine().addPrinter();
    b->attach(kCommClass);
    EXPECT_EQ(Run({"PRINTER=1", "MODE"}), "Comm Class USB\n");
    EXPECT_EQ(Run({"PRINTER=2", "MODE"}), "Comm Class USB = COM8\n");
}

TEST_F(SeveralPrintersTest, DialogWorksOnTheChosenPrinterAndWaitsForIt) {
    AttachTwo(kCommClass, kNative); // printer 1 of the list is B
    dialog.steps = {ScriptedDialog::Select(IDCOMMCLASSTYPE), ScriptedDialog::Change()};
    EXPECT_EQ(Run({"PRINTER=1"}), "");
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(machine().consoleFreed());
    EXPECT_EQ(dialog.view.status, "Comm Class USB = COM8");
    EXPECT_EQ(b->restarts(), 1);
    EXPECT_TRUE(printer().writes().empty()) << "A never hears the command";
    EXPECT_GE(TraceCount("Not yet rebooted"), 1) << "A in comm class must not end the wait";
}

TEST_F(SeveralPrintersTest, DialogWithoutAChoiceTakesTheFirstOfTheList) {
    AttachTwo(kPrinterClass, kNative);
    RunDialog({ScriptedDialog::Change()});
    EXPECT_EQ(dialog.view.events[1], "status Native USB");
    EXPECT_EQ(b->restarts(), 1);
    EXPECT_EQ(printer().restarts(), 0);
}

TEST_F(SeveralPrintersTest, DialogChoiceThatMatchesNothingEndsBeforeTheDialog) {
    AttachTwo();
    EXPECT_EQ(Run({"PRINTER=9"}),
              "No attached printer matches PRINTER=9 (LIST shows the attached printers)\n");
    EXPECT_EQ(exitCode, 4);
    EXPECT_FALSE(machine().consoleFreed());
    EXPECT_EQ(dialog.runs, 0);
}

TEST_F(SeveralPrintersTest, DialogChooserPicksAPrinterAndFollowsItsLeaving) {
    AttachTwo();
    std::vector<std::string> entries;
    std::size_t shown = 0;
    RunDialog({[&](ModeDialogPresenter& presenter) {
        entries = dialog.view.entries;
        presenter.Choose(1);
        EXPECT_EQ(dialog.view.status, "Comm Class USB = COM8");
        EXPECT_EQ(presenter.selectedMode(), IDCOMMCLASSTYPE);
        b->detach();
        shown = dialog.view.events.size();
        presenter.PrintersChanged();
    }});
    EXPECT_EQ(entries, (std::vector<std::string>{"1  " + kIdA + " - Native USB",
                                                 "2  " + kIdB + " - Comm Class USB = COM8"}));
    EXPECT_EQ(dialog.view.status, "Error opening USB");
    EXPECT_EQ(dialog.view.events.size(), shown + 2) << "the radio buttons are left alone";
    EXPECT_EQ(dialog.selected, IDCOMMCLASSTYPE);
    EXPECT_TRUE(dialog.view.entries.empty()) << "one printer left: the chooser goes";
}
