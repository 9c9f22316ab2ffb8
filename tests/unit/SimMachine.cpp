#include "SimMachine.h"

#include "app/windows/Program.h"
#include "common/DebugTrace.h"

#include <map>

void SimMachineTest::SetUp() {
    sim::reset();
    InstallTraceSink(&debuggerChannel);
    EchoTraceToStderr(false);
}

void SimMachineTest::TearDown() {
    EXPECT_EQ(machine().openResources(), sim::Resources{})
        << "files " << machine().openResources().files << ", device lists "
        << machine().openResources().deviceLists << ", keys "
        << machine().openResources().registryKeys << ", global blocks "
        << machine().openResources().globalBlocks << ", event sources "
        << machine().openResources().eventSources << ", threads "
        << machine().openResources().threads;
    EXPECT_EQ(machine().badReleases, 0) << "an object was released twice or never acquired";
    EXPECT_EQ(machine().blockedForever, 0) << "a call would never have returned";
    EXPECT_EQ(machine().closedWithPending, 0) << "a handle was closed with a write pending";
    InstallTraceSink(nullptr);
    EchoTraceToStderr(false);
}

int SimMachineTest::TraceCount(const std::string& text) {
    int count = 0;
    for (const std::string& line : trace()) {
        count += line.find(text) != std::string::npos ? 1 : 0;
    }
    return count;
}

std::vector<std::uint64_t> SimMachineTest::TraceTimes(const std::string& text) {
    std::vector<std::uint64_t> times;
    for (std::size_t i = 0; i < trace().size(); ++i) {
        if (trace()[i].find(text) != std::string::npos) {
            times.push_back(machine().debugTimes()[i]);
        }
    }
    return times;
}

void SimMachineTest::AddForeignSerialPorts(int count) {
    for (int i = 1; i <= count; ++i) {
        machine().addInterface(sim::kCommPortClass, "\\\\?\\acpi#pnp0501#" + std::to_string(i) +
                                                        "#{86e0d1e0-8089-11d0-9ce4-08003e301f73}");
    }
}

int SimMachineTest::OpensContaining(const std::string& part) {
    int count = 0;
    for (const std::string& path : machine().createFilePaths()) {
        count += path.find(part) != std::string::npos ? 1 : 0;
    }
    return count;
}

std::vector<std::string> SimMachineTest::LoggedEvents() {
    // Each level's event type and message in Orvane.exe's message table.
    static const std::map<std::pair<WORD, DWORD>, std::string> kLevels = {
        {{EVENTLOG_INFORMATION_TYPE, 0x40000001}, "info "},
        {{EVENTLOG_WARNING_TYPE, 0x80000002}, "warning "},
        {{EVENTLOG_ERROR_TYPE, 0xC0000003}, "error "}};
    std::vector<std::string> lines;
    for (const sim::System::ReportedEvent& event : machine().reportedEvents()) {
        const auto level = kLevels.find({event.type, event.id});
        lines.push_back(event.source == "Orvane" && level != kLevels.end() &&
                                event.strings.size() == 1
                            ? level->second + event.strings.front()
                            : "unexpected event of type " + std::to_string(event.type));
    }
    return lines;
}

std::string SimMachineTest::RunOrvaneWith(std::vector<std::string> args, int* pExitCode) {
    args.insert(args.begin(), "Orvane.exe");
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    return Stdout(
        [&] { *pExitCode = RunOrvane(static_cast<int>(args.size()), argv.data(), dialog); });
}

void SimMachineTest::RunDialog(std::vector<ScriptedDialog::Step> steps) {
    dialog.steps = std::move(steps);
    dialog.Run(backend, PrinterTarget::FirstFound(), eventLog);
}
