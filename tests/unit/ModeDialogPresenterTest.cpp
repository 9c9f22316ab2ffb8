// What the dialog does, apart from its window, on the fake backend: the status line, the mode
// it selects, the change with its wait, and the printer it keeps to.
#include "CoreTest.h"
#include "RecordingView.h"

#include "gui/ModeDialogPresenter.h"

class ModeDialogPresenterTest : public CoreTest {
  protected:
    ModeDialogPresenterTest() {
        view.onChangeStarted = [this] { writesWhenStarted = backend.printer().writes.size(); };
    }
    RecordingView view;
    std::size_t writesWhenStarted = 0;
    ModeDialogPresenter presenter{backend, PrinterTarget::FirstFound(), view, &log};
};

TEST_F(ModeDialogPresenterTest, OpensShowingTheCurrentModeAndSelectingIt) {
    struct Case {
        UsbType mode;
        bool portKnown;
        std::string status;
    };
    for (const Case& c : {Case{IDNATIVETYPE, true, "Native USB"},
                          Case{IDPRINTERCLASSTYPE, true, "Printer Class USB"},
                          Case{IDCOMMCLASSTYPE, true, "Comm Class USB = COM7"},
                          Case{IDCOMMCLASSTYPE, false, "Comm Class USB"}}) {
        fake::Backend machine;
        fake::Printer printer;
        printer.mode = c.mode;
        if (!c.portKnown) {
            printer.port.reset();
        }
        machine.Plug(printer);
        RecordingView seen;
        ModeDialogPresenter opened(machine, PrinterTarget::FirstFound(), seen);
        EXPECT_EQ(opened.Open(), c.mode);
        EXPECT_EQ(opened.selectedMode(), c.mode);
        EXPECT_EQ(seen.events, std::vector<std::string>{"status " + c.status});
        EXPECT_TRUE(machine.printer().writes.empty());
    }
}

TEST_F(ModeDialogPresenterTest, NoPrinterShowsTheErrorAndSelectsNativeMode) {
    EXPECT_EQ(presenter.Open(), IDNATIVETYPE);
    EXPECT_EQ(view.events, std::vector<std::string>{"status Error opening USB"});
}

TEST_F(ModeDialogPresenterTest, SelectingOnlyStoresTheMode) {
    Plug(IDNATIVETYPE);
    presenter.Open();
    presenter.Select(IDCOMMCLASSTYPE);
    presenter.Select(IDPRINTERCLASSTYPE);
    EXPECT_EQ(presenter.selectedMode(), IDPRINTERCLASSTYPE);
    EXPECT_EQ(backend.commandPipeCalls, 0);
}

TEST_F(ModeDialogPresenterTest, ChangeSendsTheSelectedModeAndShowsTheNewOne) {
    Plug(IDNATIVETYPE);
    presenter.Open();
    presenter.Select(IDCOMMCLASSTYPE);
    presenter.Change();
    ASSERT_EQ(printer().writes.size(), 2u);
    EXPECT_EQ(printer().writes[0].bytes.back(), 2);
    EXPECT_EQ(writesWhenStarted, 2u) << "the wait window comes after the command";
    EXPECT_EQ(view.events, (std::vector<std::string>{"status Native USB", "started",
                                                     "status Comm Class USB = COM7", "ended"}));
    EXPECT_EQ(presenter.currentMode(), IDCOMMCLASSTYPE);
    EXPECT_EQ(presenter.selectedMode(), IDCOMMCLASSTYPE) << "the selection stays as it was";
    EXPECT_EQ(TraceCount(") Rebooted\n"), 1);
    EXPECT_EQ(log.records, std::vector<std::string>{
                               "info Mode change to Comm Class USB: done. Printer ORV0001, before "
                               "Native USB, after Comm Class USB, port COM7, in the dialog"});
}

TEST_F(ModeDialogPresenterTest, ChangeToTheCurrentModeStillSendsAndWaits) {
    Plug(IDPRINTERCLASSTYPE).restartMs = 2000;
    presenter.Open();
    presenter.Change();
    EXPECT_EQ(printer().restarts, 1);
    // The pause after the second write covers the first of the two restart seconds.
    EXPECT_EQ(TraceCount("Not yet rebooted"), 1);
    EXPECT_EQ(view.events.back(), "ended");
    EXPECT_EQ(view.events[view.events.size() - 2], "status Printer Class USB");
}

TEST_F(ModeDialogPresenterTest, CommClassWithoutAPortShowsTheModeAlone) {
    Plug(IDNATIVETYPE).port.reset();
    presenter.Open();
    presenter.Select(IDCOMMCLASSTYPE);
    presenter.Change();
    EXPECT_EQ(view.events[2], "status Comm Class USB");
}

TEST_F(ModeDialogPresenterTest, PrinterThatDoesNotComeBackIsShownAndTheNextChangeWorks) {
    Plug(IDNATIVETYPE).returnMode = IDNATIVETYPE; // ignores the command
    presenter.Open();
    presenter.Select(IDCOMMCLASSTYPE);
    presenter.Change();
    EXPECT_EQ(view.events[2], "status No answer in Comm Class USB");
    EXPECT_EQ(view.events[3], "ended");
    EXPECT_EQ(TraceCount("Not yet rebooted"), 120);
    EXPECT_EQ(presenter.currentMode(), IDNATIVETYPE) << "found again where it really is";
    EXPECT_EQ(log.records, std::vector<std::string>{
                               "error Mode change to Comm Class USB: failed, the printer did not "
                               "come back in that mode in time. Printer ORV0001, before Native "
                               "USB, after unknown, port none, in the dialog"});

    printer().returnMode.reset();
    presenter.Select(IDPRINTERCLASSTYPE);
    presenter.Change();
    EXPECT_EQ(printer().mode, IDPRINTERCLASSTYPE);
    EXPECT_EQ(view.events[5], "status Printer Class USB");
}

TEST_F(ModeDialogPresenterTest, PrinterBackWithoutADriverShowsWhyAndWhatToDo) {
    fake::Printer& plugged = Plug(IDNATIVETYPE);
    plugged.shownId = "USB\\VID_6B1F&PID_C302\\ORV0001";
    plugged.noDriverIn = IDCOMMCLASSTYPE;
    plugged.problemCode = 43;
    presenter.Open();
    presenter.Select(IDCOMMCLASSTYPE);
    presenter.Change();
    EXPECT_EQ(view.events[2], "status Printer USB\\VID_6B1F&PID_C302\\ORV0001 is back, but Windows "
                              "has no working driver for it in Comm Class USB mode (problem code "
                              "43: the driver stopped the device: unplug the printer and plug it "
                              "in again)");
    EXPECT_EQ(view.events[3], "ended");
    EXPECT_EQ(Now(), 3000u) << "the problem code ends the wait as soon as the printer is back";
}

TEST_F(ModeDialogPresenterTest, CommandPipeThatDoesNotOpenStillWaits) {
    Plug(IDNATIVETYPE).commandPipeOpens = false;
    presenter.Open();
    presenter.Select(IDCOMMCLASSTYPE);
    presenter.Change();
    EXPECT_EQ(TraceCount(") Error on write\n"), 2);
    EXPECT_EQ(TraceCount("Not yet rebooted"), 120);
    EXPECT_EQ(view.events[2], "status No answer in Comm Class USB");
}

TEST_F(ModeDialogPresenterTest, PrinterGoneAfterItsReturnShowsTheError) {
    Plug(IDNATIVETYPE).leavesAfterReturn = true;
    presenter.Open();
    presenter.Select(IDCOMMCLASSTYPE);
    presenter.Change();
    EXPECT_EQ(view.events[2], "status Error opening USB");
    EXPECT_EQ(presenter.currentMode(), IDNATIVETYPE);
}

TEST_F(ModeDialogPresenterTest, KeepsToThePrinterItFoundFirst) {
    Plug(IDPRINTERCLASSTYPE, "ORV-A");
    Plug(IDNATIVETYPE, "ORV-B").restartMs = 3000;
    presenter.Open(); // native mode is searched first: B
    presenter.Select(IDPRINTERCLASSTYPE);
    presenter.Change();
    EXPECT_EQ(printer(1).restarts, 1);
    EXPECT_TRUE(printer(0).writes.empty());
    EXPECT_GE(TraceCount("Not yet rebooted"), 1) << "A in printer class must not end the wait";
}

TEST_F(ModeDialogPresenterTest, PortProblemGoesToTheStandardOutput) {
    Plug(IDCOMMCLASSTYPE).port.reset();
    printer().portProblem = "Error Opening Key (HARDWARE\\DEVICEMAP\\SERIALCOMM)";
    EXPECT_EQ(Stdout([&] { presenter.Open(); }),
              "Error Opening Key (HARDWARE\\DEVICEMAP\\SERIALCOMM)\n");
    EXPECT_EQ(view.events, std::vector<std::string>{"status Comm Class USB"});
}

// Two printers: B in native mode lists first, A in comm class mode second.
// Held by another program: the in-use line, and with the command pipe held no wait window either,
// since nothing was sent.
TEST_F(ModeDialogPresenterTest, HeldPrinterShowsTheInUseLineAndSendsNothing) {
    const std::string inUse = "status Printer in Native USB mode is in use by another program";
    Plug(IDNATIVETYPE).inUse = true;
    presenter.Open();
    EXPECT_EQ(view.events, std::vector<std::string>{inUse});
    printer().inUse = false;
    printer().commandPipeInUse = true;
    RecordingView seen;
    ModeDialogPresenter held(backend, PrinterTarget::FirstFound(), seen);
    held.Open();
    held.Select(IDCOMMCLASSTYPE);
    held.Change();
    EXPECT_EQ(seen.events, (std::vector<std::string>{"status Native USB", inUse}));
    EXPECT_TRUE(printer().writes.empty());
}

class SeveralPrintersDialogTest : public ModeDialogPresenterTest {
  protected:
    SeveralPrintersDialogTest() {
        fake::Printer& a = Plug(IDCOMMCLASSTYPE, "C3\tD4");
        a.shownId = "USB\\VID_6B1F&PID_C318\\C3\tD4";
        a.port = "COM9";
        Plug(IDNATIVETYPE, "A1B2");
    }
    static void Unplug(fake::Printer& printer) { printer.restarting = printer.neverReturns = true; }
    static void PlugBack(fake::Printer& printer) {
        printer.restarting = printer.neverReturns = false;
    }
};

TEST_F(SeveralPrintersDialogTest, ChooserShowsListsNumbersIdsAndModesWithPorts) {
    EXPECT_EQ(presenter.Open(), IDNATIVETYPE);
    EXPECT_EQ(view.events, (std::vector<std::string>{"printers 2 chosen 0", "status Native USB"}));
    EXPECT_EQ(view.entries, (std::vector<std::string>{
                                "1  A1B2 - Native USB",
                                "2  USB\\VID_6B1F&PID_C318\\C3\\x09D4 - Comm Class USB = COM9"}));
}

TEST_F(SeveralPrintersDialogTest, ChoosingShowsThatPrinterAndChangesOnlyIt) {
    presenter.Open();
    presenter.Choose(1);
    EXPECT_EQ(view.events[2], "status Comm Class USB = COM9");
    EXPECT_EQ(view.events[3], "radio 2");
    EXPECT_EQ(presenter.selectedMode(), IDCOMMCLASSTYPE);
    presenter.Select(IDPRINTERCLASSTYPE);
    presenter.Change();
    EXPECT_EQ(printer(0).writes.size(), 2u);
    EXPECT_TRUE(printer(1).writes.empty());
    EXPECT_EQ(printer(0).mode, IDPRINTERCLASSTYPE);
    EXPECT_EQ(view.events[5], "status Printer Class USB");
    EXPECT_EQ(view.events.back(), "printers 2 chosen 1") << "read again after the wait";
    EXPECT_EQ(view.entries[1], "2  USB\\VID_6B1F&PID_C318\\C3\\x09D4 - Printer Class USB");
}

TEST_F(SeveralPrintersDialogTest, PrinterChoicePreselects) {
    RecordingView seen;
    ModeDialogPresenter chosen(backend, PrinterTarget::Listed("c3\td4"), seen);
    EXPECT_EQ(chosen.Open(), IDCOMMCLASSTYPE);
    EXPECT_EQ(seen.events,
              (std::vector<std::string>{"printers 2 chosen 1", "status Comm Class USB = COM9"}));
}

TEST_F(SeveralPrintersDialogTest, ChooserComesAndGoesWithTheSecondPrinter) {
    Unplug(printer(0));
    presenter.Open();
    EXPECT_EQ(view.events, std::vector<std::string>{"status Native USB"});
    PlugBack(printer(0));
    presenter.PrintersChanged();
    presenter.PrintersChanged(); // nothing new: the chooser is left alone
    Unplug(printer(0));
    presenter.PrintersChanged();
    EXPECT_EQ(view.events, (std::vector<std::string>{"status Native USB", "printers 2 chosen 0",
                                                     "printers 0 chosen none"}));
}

TEST_F(SeveralPrintersDialogTest, ChosenPrinterLeavesAndIsChosenAgainOnItsReturn) {
    presenter.Open();
    presenter.Choose(1);
    Unplug(printer(0));
    presenter.PrintersChanged();
    EXPECT_EQ(view.events.back(), "status Error opening USB") << "and no radio button touched";
    EXPECT_EQ(view.events[view.events.size() - 2], "printers 0 chosen none");
    presenter.Change();
    EXPECT_TRUE(printer(1).writes.empty()) << "never the other printer";

    PlugBack(printer(0));
    presenter.PrintersChanged();
    const std::size_t n = view.events.size();
    EXPECT_EQ(view.events[n - 3], "printers 2 chosen 1");
    EXPECT_EQ(view.events[n - 2], "status Comm Class USB = COM9");
    EXPECT_EQ(view.events[n - 1], "radio 2");
}

TEST_F(ModeDialogPresenterTest, PrinterThatArrivesAfterAnEmptyOpeningIsShown) {
    presenter.Open();
    Plug(IDPRINTERCLASSTYPE);
    presenter.PrintersChanged();
    EXPECT_EQ(view.events, (std::vector<std::string>{"status Error opening USB",
                                                     "status Printer Class USB", "radio 1"}));
}
