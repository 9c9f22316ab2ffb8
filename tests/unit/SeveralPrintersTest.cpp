// Two printers on one machine, as the Windows backend lists them and finds their ports. What the
// console does with them is rows of the table of cases; the dialog's chooser is its presenter's
// (on the fake) and the real dialog's under Wine.
#include "SimMachine.h"

namespace {
constexpr int kNative = 0;
constexpr int kPrinterClass = 1;
constexpr int kCommClass = 2;
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
