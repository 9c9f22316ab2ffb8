// Test fixture over the simulated machine: a fresh machine per test, and a check afterwards
// that the code under test released everything it acquired.
#pragma once

#include "common/windows/ApplicationEventLog.h"
#include "common/windows/DebuggerChannel.h"
#include "device/windows/Win32PrinterBackend.h"
#include "platform/sim/SimSystem.h"

#include "ScriptedDialog.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

class SimMachineTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    sim::System& machine() { return sim::machine(); }
    sim::Printer& printer() { return sim::machine().printer(); }
    // The Windows backend over the simulated machine.
    Win32PrinterBackend backend;

    // Debugger channel lines sent since the test began.
    const std::vector<std::string>& trace() { return machine().debugOutput(); }
    int TraceCount(const std::string& text);
    // Virtual times of the trace lines that contain `text`.
    std::vector<std::uint64_t> TraceTimes(const std::string& text);

    // Standard output produced by `action`.
    template <typename Action> std::string Stdout(Action&& action) {
        ::testing::internal::CaptureStdout();
        action();
        return ::testing::internal::GetCapturedStdout();
    }

    // Runs Orvane with these arguments after the program name, as main would, with `dialog` as
    // its dialog face; returns its standard output and leaves its exit code in *pExitCode.
    std::string RunOrvaneWith(std::vector<std::string> args, int* pExitCode);
    ScriptedDialog dialog;
    // Runs the dialog on the first printer found, with these steps before Close.
    void RunDialog(std::vector<ScriptedDialog::Step> steps);

    // Creates files whose paths carry no printer ID, such as the computer's own COM ports.
    void AddForeignSerialPorts(int count);
    // Paths handed to CreateFileA that contain `part`.
    int OpensContaining(const std::string& part);
    // The events reported to the event log as the table of cases spells them,
    // "<info|warning|error> <text>"; "unexpected ..." for any other.
    std::vector<std::string> LoggedEvents();

  private:
    DebuggerChannel debuggerChannel;
    ApplicationEventLog eventLog;
};
