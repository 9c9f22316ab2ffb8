// The Windows backend with printers that another program holds, printers that share a serial
// number and device text that is not plain: each open error that a hold causes, the console and
// the dialog, and the whole instance ID matched in any case.
#include "SimMachine.h"

namespace {
constexpr int kNative = 0;
constexpr int kPrinterClass = 1;
constexpr int kCommClass = 2;
const std::string kInUseNative = "Printer in Native USB mode is in use by another program";
} // namespace

class HeldAndTwinPrintersTest : public SimMachineTest {
  protected:
    std::string Run(std::vector<std::string> args) {
        return RunOrvaneWith(std::move(args), &exitCode);
    }
    int exitCode = -1;
};

TEST_F(HeldAndTwinPrintersTest, EachErrorOfAHoldGivesTheInUseLineAndExitSix) {
    for (const DWORD error : {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_BUSY}) {
        sim::reset();
        SetUp();
        printer().attach(kNative);
        printer().heldWith = error;
        EXPECT_EQ(Run({"MODE"}), kInUseNative + "\n") << error;
        EXPECT_EQ(exitCode, 6) << error;
        EXPECT_EQ(Run({"COMMCLASS"}), kInUseNative + "\n") << error;
        EXPECT_EQ(exitCode, 6) << error;
        EXPECT_TRUE(printer().writes().empty()) << error;
        EXPECT_EQ(TraceCount("Not yet rebooted"), 0) << "no wait after nothing was sent";
    }
}

TEST_F(HeldAndTwinPrintersTest, AnyOtherOpenFailureIsNoPrinterAsBefore) {
    printer().attach(kPrinterClass);
    printer().heldWith = ERROR_GEN_FAILURE;
    EXPECT_EQ(Run({"MODE"}), "Error opening USB\n");
    EXPECT_EQ(exitCode, 2);
}

TEST_F(HeldAndTwinPrintersTest, HeldCommandPipeStopsTheChangeBeforeAnyByte) {
    printer().attach(kPrinterClass);
    printer().pipe01HeldWith = ERROR_BUSY;
    EXPECT_EQ(Run({"MODE"}), "Printer Class USB\n");
    EXPECT_EQ(Run({"NATIVE"}), "Printer in Printer Class USB mode is in use by another program\n");
    EXPECT_EQ(exitCode, 6);
    EXPECT_TRUE(printer().writes().empty());
    EXPECT_EQ(printer().mode(), kPrinterClass);
}

TEST_F(HeldAndTwinPrintersTest, DialogShowsTheInUseLineAndSendsNothing) {
    printer().attach(kNative);
    printer().heldWith = ERROR_SHARING_VIOLATION;
    RunDialog({ScriptedDialog::Select(IDCOMMCLASSTYPE), ScriptedDialog::Change()});
    EXPECT_EQ(dialog.view.events.front(), "status " + kInUseNative);
    printer().heldWith = 0;
    printer().pipe01HeldWith = ERROR_ACCESS_DENIED;
    RunDialog({ScriptedDialog::Select(IDCOMMCLASSTYPE), ScriptedDialog::Change()});
    EXPECT_EQ(dialog.view.status, kInUseNative);
    EXPECT_EQ(dialog.view.events,
              (std::vector<std::string>{"status Native USB", "status " + kInUseNative}))
        << "no wait window: nothing was sent";
    EXPECT_TRUE(printer().writes().empty());
}

TEST_F(HeldAndTwinPrintersTest, TwinSerialsAreNamedByInstanceIdAndEachIsReachable) {
    printer().instance = "BATCH7";
    printer().attach(kNative);
    sim::Printer& twin = machine().addPrinter();
    twin.instance = "BATCH7";
    twin.hardwareId = "vid_6b1f&pid_c318";
    twin.attach(kCommClass);
    const std::string listed = Run({"LIST"});
    EXPECT_EQ(listed, "1\tUSB\\VID_6B1F&PID_C302\\BATCH7\tNative USB\t\tserial BATCH7 is shared "
                      "with another printer\n"
                      "2\tUSB\\VID_6B1F&PID_C318\\BATCH7\tComm Class USB\tCOM8\tserial BATCH7 is "
                      "shared with another printer\n");
    EXPECT_EQ(Run({"PRINTER=usb\\vid_6b1f&pid_c318\\batch7", "MODE"}), "Comm Class USB = COM8\n")
        << "the whole instance ID, in another case";
    EXPECT_EQ(Run({"PRINTER=USB\\VID_6B1F&PID_C302\\BATCH7", "PRINTERCLASS"}),
              "Now set to Printer Class USB\n");
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(printer().writes().size(), 2u);
    EXPECT_TRUE(twin.writes().empty());
}

TEST_F(HeldAndTwinPrintersTest, WholeInstanceIdMatchesInAnyCase) {
    printer().attach(kCommClass);
    machine().addPrinter().attach(kNative);
    EXPECT_EQ(Run({"PRINTER=usb\\VID_6b1f&pid_C302\\6&2F1A3B4C&0&1", "MODE"}),
              "Comm Class USB = COM7\n");
    EXPECT_EQ(exitCode, 0);
}

TEST_F(HeldAndTwinPrintersTest, RegistryPortNameIsShownEscaped) {
    printer().port = "COM7\x1b[2J";
    printer().attach(kCommClass);
    EXPECT_EQ(Run({"MODE"}), "Comm Class USB = COM7\\x1B[2J\n");
    RunDialog({});
    EXPECT_EQ(dialog.view.status, "Comm Class USB = COM7\\x1B[2J");
    for (const std::string& line : trace()) {
        EXPECT_EQ(line.find('\x1b'), std::string::npos) << line;
    }
}
