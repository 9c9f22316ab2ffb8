#include "app/ExitCodes.h"
#include "app/windows/Program.h"
#include "device/UsbType.h"

#include "SimMachine.h"

class ConsoleSwitchTest : public SimMachineTest {
  protected:
    int exitCode = -1;
    std::string Run(std::vector<std::string> args) {
        return RunOrvaneWith(std::move(args), &exitCode);
    }
};

TEST_F(ConsoleSwitchTest, ChangeToPrinterClass) {
    printer().attach(IDNATIVETYPE);
    EXPECT_EQ(Run({"PRINTERCLASS"}), "Now set to Printer Class USB\n");
    EXPECT_EQ(exitCode, kExitOk);
    EXPECT_EQ(printer().mode(), IDPRINTERCLASSTYPE);
    EXPECT_EQ(printer().writes().back().bytes, (std::vector<std::uint8_t>{0x1D, 0xFF}));
}

TEST_F(ConsoleSwitchTest, ChangeToCommClassReportsThePort) {
    printer().attach(IDNATIVETYPE);
    printer().port = "COM7";
    EXPECT_EQ(Run({"commclass"}),
              "Now set to Comm Class USB\nComm Class USB virtual port = COM7\n");
    EXPECT_EQ(exitCode, kExitOk);
}

TEST_F(ConsoleSwitchTest, ChangeToCommClassWithoutListedPortPrintsTheLookupError) {
    printer().attach(IDPRINTERCLASSTYPE);
    printer().port.reset();
    machine().addRegistryKey("HARDWARE\\DEVICEMAP\\SERIALCOMM");
    EXPECT_EQ(Run({"COMMCLASS"}), "Now set to Comm Class USB\n"
                                  "Error Querying Value (\\Device\\QZMPUSBPort0) = 2\n");
    EXPECT_EQ(exitCode, kExitOk);
}

TEST_F(ConsoleSwitchTest, ModeAlreadyActiveIsOnlyReported) {
    const char* switches[] = {"NATIVE", "PRINTERCLASS", "COMMCLASS"};
    const char* names[] = {"Native USB", "Printer Class USB", "Comm Class USB"};
    for (UsbType mode : {IDNATIVETYPE, IDPRINTERCLASSTYPE, IDCOMMCLASSTYPE}) {
        sim::reset();
        printer().attach(mode);
        EXPECT_EQ(Run({switches[mode]}), std::string("Already set to ") + names[mode] + "\n");
        EXPECT_EQ(exitCode, kExitOk);
        EXPECT_TRUE(printer().writes().empty());
        EXPECT_EQ(OpensContaining("PIPE01"), 0);
    }
}

TEST_F(ConsoleSwitchTest, NoPrinterIsReportedAtOnceForEverySwitch) {
    for (const char* mode : {"NATIVE", "PRINTERCLASS", "COMMCLASS"}) {
        sim::reset();
        EXPECT_EQ(Run({mode}), "Error opening USB\n") << mode;
        EXPECT_EQ(exitCode, kExitNoPrinter);
        EXPECT_EQ(machine().now(), 0u);
    }
}

TEST_F(ConsoleSwitchTest, PrinterThatNeverComesBackEndsWithThree) {
    printer().attach(IDCOMMCLASSTYPE);
    printer().neverReturns = true;
    EXPECT_EQ(Run({"NATIVE"}), "Printer did not come back in Native USB mode within 120 seconds\n");
    EXPECT_EQ(exitCode, kExitRestartTimeout);
}

TEST_F(ConsoleSwitchTest, HelpThenASwitchDoesBoth) {
    printer().attach(IDNATIVETYPE);
    const std::string out = Run({"HELP", "PRINTERCLASS"});
    EXPECT_EQ(out.substr(0, 22), "Command line switches\n");
    EXPECT_EQ(out.substr(out.size() - 29), "Now set to Printer Class USB\n");
}
