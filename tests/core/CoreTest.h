// Fixture for the portable core's tests: the fake backend, the trace with its virtual times,
// and the console face run as a program's main runs it. Afterwards it checks that every channel
// and pipe was given back.
#pragma once

#include "FakePrinterBackend.h"

#include "common/DebugTrace.h"
#include "common/SystemLog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The system's log as the faces wrote it, each record as the table of cases spells it:
// "<info|warning|error> <text>".
class RecordingLog : public SystemLog {
  public:
    void Write(const LogRecord& record) override {
        static const char* const kLevels[] = {"info", "warning", "error"};
        records.push_back(std::string(kLevels[static_cast<int>(record.level)]) + " " + record.text);
    }
    std::vector<std::string> records;
};

class CoreTest : public ::testing::Test, private TraceSink {
  protected:
    CoreTest();
    ~CoreTest() override;
    void TearDown() override;

    fake::Printer& Plug(UsbType mode, std::string identity = "ORV0001");
    fake::Printer& printer(std::size_t index = 0) { return backend.printer(index); }
    std::uint64_t Now() { return backend.virtualClock().NowMs(); }

    int TraceCount(const std::string& text) const;
    std::vector<std::uint64_t> TraceTimes(const std::string& text) const;

    // Runs the console face with these arguments after the program name; returns its standard
    // output, with its exit code in exitCode and its standard error in errors.
    std::string Run(std::vector<std::string> args);
    // Standard output produced by `action`.
    template <typename Action> static std::string Stdout(Action&& action) {
        ::testing::internal::CaptureStdout();
        action();
        return ::testing::internal::GetCapturedStdout();
    }

    fake::Backend backend;
    RecordingLog log;
    std::vector<std::string> trace;
    std::vector<std::uint64_t> traceTimes;
    int exitCode = -1;
    std::string errors;
    bool stderrIsConsole = false;
    bool withDialog = true;

  private:
    void Send(const char* text) override;
    TraceSink* m_previous;
};
