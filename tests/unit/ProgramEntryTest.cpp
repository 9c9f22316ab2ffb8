// Orvane.exe's entry on the simulated machine: the framework's start-up, and the choice between
// the console face and the dialog face.
#include "app/ExitCodes.h"
#include "app/windows/Program.h"

#include "SimMachine.h"

class ProgramEntryTest : public SimMachineTest {
  protected:
    int exitCode = -1;
    std::string Run(std::vector<std::string> args) {
        return RunOrvaneWith(std::move(args), &exitCode);
    }
};

TEST_F(ProgramEntryTest, UnknownWordAloneDoesNothing) {
    printer().attach(IDNATIVETYPE);
    EXPECT_EQ(Run({"frobnicate"}), "");
    EXPECT_EQ(exitCode, kExitOk);
    EXPECT_TRUE(machine().createFilePaths().empty());
    EXPECT_FALSE(machine().consoleFreed()) << "the dialog must not start";
    EXPECT_EQ(dialog.runs, 0);
}

TEST_F(ProgramEntryTest, FrameworkThatCannotStartEndsWithOne) {
    machine().failCall(sim::Api::GetModuleHandleA, 0, ERROR_GEN_FAILURE);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Run({"MODE"}), "");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Fatal Error: MFC initialization failed\n");
    EXPECT_EQ(exitCode, kExitFrameworkFailed);
    EXPECT_EQ(dialog.module, nullptr) << "no module, no framework";
}

TEST_F(ProgramEntryTest, NoSwitchReleasesTheConsoleForTheDialog) {
    printer().attach(IDPRINTERCLASSTYPE);
    EXPECT_EQ(Run({}), "");
    EXPECT_TRUE(machine().consoleFreed());
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(dialog.module, sim::ExecutableModule()) << "the framework starts on the executable";
    EXPECT_EQ(dialog.runs, 1);
    EXPECT_EQ(dialog.view.status, "Printer Class USB");
}
