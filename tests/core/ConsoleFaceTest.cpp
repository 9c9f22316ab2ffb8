// The console face on every system: the switches, the help, the conflict rule, MODE, LIST,
// PRINTER=, the changes with their lines and exit codes, TRACE and the progress line.
#include "CoreTest.h"

#include "app/ExitCodes.h"

namespace {
const std::string kHelpHead = "Command line switches\n"
                              "HELP\t\tThis message\n"
                              "NATIVE\t\tPut the printer into Native USB mode\n"
                              "PRINTERCLASS\tPut the printer into Printer Class USB mode\n"
                              "COMMCLASS\tPut the printer into Comm Class USB mode\n"
                              "MODE\t\tDisplay the current USB mode setting\n";
const std::string kHelpTail = "LIST\t\tList the attached printers: number, ID, mode and port\n"
                              "PRINTER=<n|ID>\tWork on this printer: a LIST number, its ID or "
                              "its serial number\n"
                              "VERSION\t\tDisplay the program's version\n"
                              "TRACE\t\tEcho the diagnostic trace on the standard error stream\n";
const std::string kHelp = kHelpHead + "<no switch>\tStart the GUI\n" + kHelpTail;
const std::string kConflict = "Cannot specify more than one USB communication mode\n";
const std::string kLocked = "No permission to open the printer's device /dev/bus/usb/001/007: "
                            "install the udev rule /usr/lib/udev/rules.d/60-orvane.rules and "
                            "plug the printer in again";
} // namespace

class ConsoleFaceTest : public CoreTest {};

TEST_F(ConsoleFaceTest, HelpPrintsItsLinesEachTimeItIsGiven) {
    EXPECT_EQ(Run({"HELP"}), kHelp);
    EXPECT_EQ(exitCode, kExitOk);
    EXPECT_EQ(Run({"help", "Help"}), kHelp + kHelp);
    withDialog = false;
    EXPECT_EQ(Run({"HELP"}), kHelpHead + kHelpTail) << "without a dialog there is none to start";
}

TEST_F(ConsoleFaceTest, SwitchesMatchInAnyCaseButOnlyAsWholeWords) {
    Plug(IDPRINTERCLASSTYPE);
    EXPECT_EQ(Run({"mode"}), "Printer Class USB\n");
    EXPECT_EQ(Run({"mOdE"}), "Printer Class USB\n");
    EXPECT_EQ(Run({"/MODE"}), "");
    EXPECT_EQ(Run({"MODES"}), "");
    EXPECT_EQ(Run({"-help"}), "");
    EXPECT_EQ(exitCode, kExitOk);
}

TEST_F(ConsoleFaceTest, UnknownWordAloneDoesNothing) {
    Plug(IDNATIVETYPE);
    EXPECT_EQ(Run({"frobnicate"}), "");
    EXPECT_EQ(exitCode, kExitOk);
    EXPECT_EQ(backend.answersCalls, 0);
}

// orvane follows its own system's conventions; Orvane.exe passes the same words over.
TEST_F(ConsoleFaceTest, WithoutADialogTheOptionAliasesWorkAndAnUnknownWordIsAUsageError) {
    Plug(IDNATIVETYPE);
    EXPECT_EQ(Run({"--help", "-V"}), "") << "Orvane.exe: unknown words";
    EXPECT_EQ(exitCode, kExitOk);
    withDialog = false;
    EXPECT_EQ(Run({"--help"}), kHelpHead + kHelpTail);
    EXPECT_EQ(Run({"-h"}), kHelpHead + kHelpTail);
    EXPECT_EQ(Run({"--version"}), "orvane 1.0.0.8\n");
    EXPECT_EQ(Run({"-V"}), "orvane 1.0.0.8\n");
    EXPECT_EQ(exitCode, kExitOk);

    EXPECT_EQ(Run({"NATVE"}), "");
    EXPECT_EQ(errors, "orvane: unknown switch 'NATVE' (HELP lists the switches)\n");
    EXPECT_EQ(exitCode, kExitUsage);
    EXPECT_EQ(Run({"-v"}), "") << "-V alone is the version";
    EXPECT_EQ(exitCode, kExitUsage);
    EXPECT_EQ(Run({"PRINTERCLASS", "COMMCLAS\x1b[2J"}), "");
    EXPECT_EQ(errors, "orvane: unknown switch 'COMMCLAS\\x1B[2J' (HELP lists the switches)\n");
    EXPECT_EQ(exitCode, kExitUsage);
    EXPECT_EQ(Run({"PRINTER=", "MODE"}), "");
    EXPECT_EQ(errors, "orvane: PRINTER= needs a LIST number or an ID (LIST shows them)\n");
    EXPECT_EQ(exitCode, kExitUsage);
    EXPECT_EQ(backend.answersCalls, 0);
    EXPECT_TRUE(printer().writes.empty());
}

TEST_F(ConsoleFaceTest, TwoModeSwitchesAreRefused) {
    Plug(IDNATIVETYPE);
    EXPECT_EQ(Run({"NATIVE", "COMMCLASS"}), kConflict);
    EXPECT_EQ(exitCode, kExitOk);
    EXPECT_EQ(Run({"MODE", "NATIVE", "PRINTERCLASS"}), kConflict);
    EXPECT_EQ(TraceCount("InitInstance("), 2);
    EXPECT_EQ(TraceCount(") More than one USB mode specified\n"), 2);
    EXPECT_EQ(backend.answersCalls, 0);
    EXPECT_TRUE(printer().writes.empty());
}

TEST_F(ConsoleFaceTest, ASwitchGivenTwiceCountsOnceAndEveryArgumentIsRead) {
    Plug(IDCOMMCLASSTYPE);
    EXPECT_EQ(Run({"COMMCLASS", "commclass", "MODE"}), "Comm Class USB = COM7\n");
    std::vector<std::string> args(40, "unknown");
    args.push_back("MODE");
    EXPECT_EQ(Run(args), "Comm Class USB = COM7\n");
}

TEST_F(ConsoleFaceTest, SwitchesAreTracedInOrder) {
    Run({"NATIVE", "xyz", "MODE"});
    EXPECT_EQ(TraceCount("Param("), 2);
    ASSERT_GE(trace.size(), 2u);
    EXPECT_NE(trace[0].find(") NATIVE\n"), std::string::npos);
    EXPECT_NE(trace[1].find(") MODE\n"), std::string::npos);
}

TEST_F(ConsoleFaceTest, ModeReportsThePrinterAndItsPort) {
    Plug(IDNATIVETYPE);
    EXPECT_EQ(Run({"MODE"}), "Native USB\n");
    EXPECT_EQ(exitCode, kExitOk);
    printer().mode = IDCOMMCLASSTYPE;
    printer().port = "COM5";
    EXPECT_EQ(Run({"MODE"}), "Comm Class USB = COM5\n");
    printer().port.reset();
    printer().portProblem = "Error Querying Value (\\Device\\QZMPUSBPort0) = 2";
    EXPECT_EQ(Run({"MODE"}), "Error Querying Value (\\Device\\QZMPUSBPort0) = 2\nComm Class USB\n");
    EXPECT_EQ(exitCode, kExitOk);
}

TEST_F(ConsoleFaceTest, ModeAlreadyActiveIsOnlyReported) {
    const char* switches[] = {"NATIVE", "PRINTERCLASS", "COMMCLASS"};
    const char* names[] = {"Native USB", "Printer Class USB", "Comm Class USB"};
    Plug(IDNATIVETYPE);
    for (const UsbType mode : {IDNATIVETYPE, IDPRINTERCLASSTYPE, IDCOMMCLASSTYPE}) {
        printer().mode = mode;
        EXPECT_EQ(Run({switches[mode]}), std::string("Already set to ") + names[mode] + "\n");
        EXPECT_EQ(exitCode, kExitOk);
    }
    EXPECT_EQ(backend.commandPipeCalls, 0);
    EXPECT_TRUE(printer().writes.empty());
}

TEST_F(ConsoleFaceTest, NoPrinterIsReportedAtOnceForEverySwitch) {
    for (const char* mode : {"NATIVE", "PRINTERCLASS", "COMMCLASS"}) {
        EXPECT_EQ(Run({mode}), "Error opening USB\n") << mode;
        EXPECT_EQ(exitCode, kExitNoPrinter);
    }
    EXPECT_EQ(Now(), 0u);
}

TEST_F(ConsoleFaceTest, PrinterThatNeverComesBackEndsWithThree) {
    Plug(IDCOMMCLASSTYPE).neverReturns = true;
    EXPECT_EQ(Run({"NATIVE"}), "Printer did not come back in Native USB mode within 120 seconds\n");
    EXPECT_EQ(exitCode, kExitRestartTimeout);
    printer() = fake::Printer{};
    printer().mode = IDCOMMCLASSTYPE;
    printer().settlesIn = IDPRINTERCLASSTYPE;
    Run({"NATIVE"});
    EXPECT_EQ(exitCode, kExitRestartTimeout) << "back in another mode is no success either";
}

TEST_F(ConsoleFaceTest, HelpThenASwitchDoesBoth) {
    Plug(IDNATIVETYPE);
    EXPECT_EQ(Run({"HELP", "PRINTERCLASS"}), kHelp + "Now set to Printer Class USB\n");
}

TEST_F(ConsoleFaceTest, PrinterIsChosenByNumberByShownIdAndByIdentityInAnyCase) {
    Plug(IDCOMMCLASSTYPE, "ORV-A").shownId = "USB\\VID_6B1F&PID_C302\\ORV-A";
    Plug(IDNATIVETYPE, "ORV-B").port = "COM8"; // listed first: native mode
    EXPECT_EQ(Run({"PRINTER=1", "NATIVE"}), "Already set to Native USB\n");
    EXPECT_EQ(Run({"printer=usb\\vid_6b1f&pid_c302\\orv-a", "MODE"}), "Comm Class USB = COM7\n");
    EXPECT_EQ(Run({"PRINTER=orv-b", "MODE"}), "Native USB\n");
    EXPECT_EQ(exitCode, kExitOk);
    // A comm class printer asked for native mode is changed, not reported as native.
    EXPECT_EQ(Run({"PRINTER=2", "NATIVE"}), "Now set to Native USB\n");
    EXPECT_EQ(printer(0).mode, IDNATIVETYPE);
    EXPECT_TRUE(printer(1).writes.empty());
}

TEST_F(ConsoleFaceTest, NameBeatsNumber) {
    Plug(IDNATIVETYPE, "ORV-A");
    Plug(IDCOMMCLASSTYPE, "1");
    EXPECT_EQ(Run({"PRINTER=1", "MODE"}), "Comm Class USB = COM7\n");
}

TEST_F(ConsoleFaceTest, ChoiceThatMatchesNothingIsRefused) {
    Plug(IDNATIVETYPE, "ORV-A");
    Plug(IDCOMMCLASSTYPE, "ORV-B");
    for (const std::string choice : {"3", "0", "", "ORV", "-1"}) {
        EXPECT_EQ(Run({"PRINTER=" + choice, "PRINTERCLASS"}),
                  "No attached printer matches PRINTER=" + choice +
                      " (LIST shows the attached printers)\n");
        EXPECT_EQ(exitCode, kExitWhichPrinter) << choice;
    }
    EXPECT_EQ(Run({"PRINTER=1", "PRINTER=2", "MODE"}),
              "Choose one printer: PRINTER= is given more than once\n");
    EXPECT_EQ(exitCode, kExitWhichPrinter);
    EXPECT_EQ(backend.answersCalls, 0);
    EXPECT_EQ(Run({"PRINTER=orv-a", "PRINTER=orv-a", "MODE"}), "Native USB\n")
        << "the same choice twice is one choice";
}

TEST_F(ConsoleFaceTest, ListNamesEveryPrinterInTheProbesOrderWithItsPort) {
    Plug(IDCOMMCLASSTYPE, "ORV-A");
    Plug(IDNATIVETYPE, "1-4.2");
    Plug(IDCOMMCLASSTYPE, "ORV-C").port = "COM9";
    EXPECT_EQ(Run({"LIST", "VERSION"}), "Orvane 1.0.0.8\n"
                                        "1\t1-4.2\tNative USB\t\n"
                                        "2\tORV-A\tComm Class USB\tCOM7\n"
                                        "3\tORV-C\tComm Class USB\tCOM9\n");
    EXPECT_EQ(exitCode, kExitOk);
    EXPECT_EQ(backend.answersCalls, 0) << "the list probes nothing";
}

TEST_F(ConsoleFaceTest, PrinterThisUserMayNotOpenEndsWithItsLineAndExitFive) {
    Plug(IDNATIVETYPE).deniedNode = "/dev/bus/usb/001/007";
    for (const char* action : {"MODE", "PRINTERCLASS"}) {
        EXPECT_EQ(Run({action}), kLocked + "\n") << action;
        EXPECT_EQ(exitCode, kExitNoAccess) << action;
    }
    EXPECT_EQ(Run({"PRINTER=orv0001", "COMMCLASS"}), kLocked + "\n");
    EXPECT_EQ(exitCode, kExitNoAccess);
    EXPECT_EQ(backend.commandPipeCalls, 0);
}

TEST_F(ConsoleFaceTest, ModeOfSeveralNamesTheOneThatCannotBeOpened) {
    Plug(IDNATIVETYPE, "1-4.2").deniedNode = "/dev/bus/usb/001/007";
    Plug(IDCOMMCLASSTYPE, "ORV-A").port = "/dev/ttyACM0";
    EXPECT_EQ(Run({"MODE"}), "Printer 1 (1-4.2): " + kLocked +
                                 "\nPrinter 2 (ORV-A): Comm Class USB = /dev/ttyACM0\n");
    EXPECT_EQ(exitCode, kExitOk);
}

TEST_F(ConsoleFaceTest, TraceEchoesEveryTraceLineOnStandardError) {
    Plug(IDNATIVETYPE);
    EXPECT_EQ(Run({"MODE", "trace"}), "Native USB\n");
    std::string sent;
    for (const std::string& line : trace) {
        sent += line;
    }
    EXPECT_EQ(errors, sent);
    EXPECT_NE(errors.find("ProbeUsb("), std::string::npos);
    EXPECT_EQ(Run({"MODE"}), "Native USB\n");
    EXPECT_EQ(errors, "");
}

// Back without a driver and no problem code: the wait goes on, saying so, until the driver comes.
TEST_F(ConsoleFaceTest, ProgressLineSaysWhenThePrinterIsBackAndItsDriverIsBeingInstalled) {
    Plug(IDNATIVETYPE).noDriverIn = IDPRINTERCLASSTYPE; // back at 4 s, its driver at 5 s
    backend.virtualClock().onSleep = [&](std::uint64_t now) {
        if (now >= 5000) {
            printer().noDriverIn.reset();
        }
    };
    stderrIsConsole = true;
    EXPECT_EQ(Run({"PRINTERCLASS"}), "Now set to Printer Class USB\n");
    const std::string waiting = "Waiting for the printer to restart in Printer Class USB mode: ";
    const std::string installing =
        "The printer is back, installing its driver for Printer Class USB mode: 4 s";
    EXPECT_EQ(errors, "\r" + waiting + "1 s\r" + waiting + "2 s\r" + waiting + "3 s\r" +
                          installing + "\r" + std::string(installing.size(), ' ') + "\r");
    EXPECT_EQ(TraceCount("Back without a driver, none installed yet"), 1);
}

TEST_F(ConsoleFaceTest, ProgressLineShowsOnAConsoleOnlyAndIsClearedBeforeTheResult) {
    const std::string line = "Waiting for the printer to restart in Printer Class USB mode: ";
    Plug(IDNATIVETYPE);
    stderrIsConsole = true;
    EXPECT_EQ(Run({"PRINTERCLASS"}), "Now set to Printer Class USB\n");
    const std::string blank(line.size() + 3, ' ');
    EXPECT_EQ(errors, "\r" + line + "1 s\r" + line + "2 s\r" + line + "3 s\r" + blank + "\r");

    printer().mode = IDNATIVETYPE;
    stderrIsConsole = false;
    EXPECT_EQ(Run({"PRINTERCLASS"}), "Now set to Printer Class USB\n");
    EXPECT_EQ(errors, "") << "a redirected stream sees no progress";

    printer().mode = IDNATIVETYPE;
    stderrIsConsole = true;
    Run({"PRINTERCLASS", "TRACE"});
    EXPECT_EQ(errors.find("Waiting for"), std::string::npos) << "the trace has the stream";
}
