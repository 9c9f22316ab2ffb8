#include "app/ExitCodes.h"
#include "app/windows/Program.h"
#include "device/UsbType.h"

#include "SimMachine.h"

namespace {
const std::string kHelp = "Command line switches\n"
                          "HELP\t\tThis message\n"
                          "NATIVE\t\tPut the printer into Native USB mode\n"
                          "PRINTERCLASS\tPut the printer into Printer Class USB mode\n"
                          "COMMCLASS\tPut the printer into Comm Class USB mode\n"
                          "MODE\t\tDisplay the current USB mode setting\n"
                          "<no switch>\tStart the GUI\n"
                          "LIST\t\tList the attached printers: number, ID, mode and port\n"
                          "PRINTER=<n|ID>\tWork on this printer: a LIST number, its ID or its "
                          "serial number\n"
                          "VERSION\t\tDisplay the program's version\n"
                          "TRACE\t\tEcho the diagnostic trace on the standard error stream\n";
const std::string kConflict = "Cannot specify more than one USB communication mode\n";
} // namespace

class CommandLineTest : public SimMachineTest {
  protected:
    int exitCode = -1;
    std::string Run(std::vector<std::string> args) {
        return RunOrvaneWith(std::move(args), &exitCode);
    }
};

TEST_F(CommandLineTest, HelpPrintsSevenLinesEachTimeItIsGiven) {
    EXPECT_EQ(Run({"HELP"}), kHelp);
    EXPECT_EQ(exitCode, kExitOk);
    EXPECT_EQ(Run({"help", "Help"}), kHelp + kHelp);
}

TEST_F(CommandLineTest, SwitchesMatchInAnyCaseButOnlyAsWholeWords) {
    printer().attach(IDPRINTERCLASSTYPE);
    EXPECT_EQ(Run({"mode"}), "Printer Class USB\n");
    EXPECT_EQ(Run({"mOdE"}), "Printer Class USB\n");
    EXPECT_EQ(Run({"/MODE"}), "");
    EXPECT_EQ(Run({"MODES"}), "");
    EXPECT_EQ(Run({"-help"}), "");
    EXPECT_EQ(exitCode, kExitOk);
}

TEST_F(CommandLineTest, UnknownWordAloneDoesNothing) {
    printer().attach(IDNATIVETYPE);
    EXPECT_EQ(Run({"frobnicate"}), "");
    EXPECT_EQ(exitCode, kExitOk);
    EXPECT_TRUE(machine().createFilePaths().empty());
    EXPECT_FALSE(machine().consoleFreed()) << "the dialog must not start";
}

TEST_F(CommandLineTest, TwoModeSwitchesAreRefused) {
    printer().attach(IDNATIVETYPE);
    EXPECT_EQ(Run({"NATIVE", "COMMCLASS"}), kConflict);
    EXPECT_EQ(exitCode, kExitOk);
    EXPECT_EQ(Run({"MODE", "NATIVE", "PRINTERCLASS"}), kConflict);
    EXPECT_EQ(TraceCount("InitInstance("), 2);
    EXPECT_EQ(TraceCount(") More than one USB mode specified\n"), 2);
    EXPECT_TRUE(machine().createFilePaths().empty());
    EXPECT_TRUE(printer().writes().empty());
}

TEST_F(CommandLineTest, ASwitchGivenTwiceCountsOnce) {
    printer().attach(IDCOMMCLASSTYPE);
    EXPECT_EQ(Run({"COMMCLASS", "commclass", "MODE"}), "Comm Class USB = COM7\n");
}

TEST_F(CommandLineTest, SwitchesAreTraced) {
    Run({"NATIVE", "xyz", "MODE"});
    EXPECT_EQ(TraceCount("Param("), 2);
    EXPECT_EQ(TraceIndex(") NATIVE\n") + 1, TraceIndex(") MODE\n"));
}

TEST_F(CommandLineTest, ModeReportsEachModeOfThePrinter) {
    printer().attach(IDNATIVETYPE);
    EXPECT_EQ(Run({"MODE"}), "Native USB\n");
    EXPECT_EQ(exitCode, kExitOk);
    sim::reset();
    printer().attach(IDCOMMCLASSTYPE);
    printer().port = "COM5";
    EXPECT_EQ(Run({"MODE"}), "Comm Class USB = COM5\n");
    EXPECT_EQ(exitCode, kExitOk);
}

TEST_F(CommandLineTest, ModeInCommClassWithoutListedPortPrintsTheLookupError) {
    printer().port.reset();
    printer().attach(IDCOMMCLASSTYPE);
    machine().addRegistryKey("HARDWARE\\DEVICEMAP\\SERIALCOMM");
    EXPECT_EQ(Run({"MODE"}), "Error Querying Value (\\Device\\QZMPUSBPort0) = 2\nComm Class USB\n");
    EXPECT_EQ(exitCode, kExitOk);
}

TEST_F(CommandLineTest, ModeWithoutPrinterSaysSoAndExitsWithTwo) {
    EXPECT_EQ(Run({"MODE"}), "Error opening USB\n");
    EXPECT_EQ(exitCode, kExitNoPrinter);
}

TEST_F(CommandLineTest, ModeWinsOverASingleModeSwitch) {
    printer().attach(IDNATIVETYPE);
    EXPECT_EQ(Run({"COMMCLASS", "MODE"}), "Native USB\n");
    EXPECT_TRUE(printer().writes().empty());
    EXPECT_EQ(OpensContaining("PIPE01"), 0);
}

TEST_F(CommandLineTest, EveryArgumentIsProcessedHoweverMany) {
    printer().attach(IDNATIVETYPE);
    std::vector<std::string> args(40, "unknown");
    args.push_back("MODE");
    EXPECT_EQ(Run(args), "Native USB\n");
}

TEST_F(CommandLineTest, FrameworkThatCannotStartEndsWithOne) {
    machine().failCall(sim::Api::GetModuleHandleA, 0, ERROR_GEN_FAILURE);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Run({"MODE"}), "");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Fatal Error: MFC initialization failed\n");
    EXPECT_EQ(exitCode, kExitFrameworkFailed);
}

TEST_F(CommandLineTest, NoSwitchReleasesTheConsoleForTheDialog) {
    EXPECT_EQ(Run({}), "");
    EXPECT_TRUE(machine().consoleFreed());
    EXPECT_EQ(exitCode, 0);
    // This machine has no dialog resources: the dialog cannot be made and ends at once.
    EXPECT_EQ(TraceCount("Resource not found"), 1);
}
