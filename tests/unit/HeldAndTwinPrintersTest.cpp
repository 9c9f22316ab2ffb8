// The Windows backend with printers that another program holds and device text that is not
// plain: each open error that a hold causes, in the console and the dialog. Printers sharing a
// serial are rows of the table of cases, under Wine.
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
