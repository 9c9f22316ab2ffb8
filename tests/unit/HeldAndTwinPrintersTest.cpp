// The Windows backend with printers that another program holds and device text that is not
// plain, where the table of cases cannot look: the dialog, and the trace. Each open error that a
// hold causes, and printers sharing a serial, are rows of the table.
#include "SimMachine.h"

namespace {
constexpr int kNative = 0;
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
