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
}

TEST_F(ProgramEntryTest, FrameworkThatCannotStartEndsWithOne) {
    machine().failCall(sim::Api::GetModuleHandleA, 0, ERROR_GEN_FAILURE);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Run({"MODE"}), "");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Fatal Error: MFC initialization failed\n");
    EXPECT_EQ(exitCode, kExitFrameworkFailed);
}

TEST_F(ProgramEntryTest, NoSwitchReleasesTheConsoleForTheDialog) {
    EXPECT_EQ(Run({}), "");
    EXPECT_TRUE(machine().consoleFreed());
    EXPECT_EQ(exitCode, 0);
    // This machine has no dialog resources: the dialog cannot be made and ends at once.
    EXPECT_EQ(TraceCount("Resource not found"), 1);
}
