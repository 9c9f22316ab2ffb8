// Fault campaigns: every failable Win32 call of a whole operation is made to fail in turn, with
// two different errors. Each run must end with the one outcome that the failing call implies,
// and release everything. Where a fault struck is read from the trace sent before it: the
// silent list of printers, one of the probes (and the class it was searching), the command, the
// restart wait, or the port lookup.
#include "SimMachine.h"

#include <functional>
#include <iostream>

namespace {

constexpr int kNative = 0;
constexpr int kCommClass = 2;

struct Outcome {
    int exitCode = -1;
    std::string output;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& outcome) {
    return out << "exit " << outcome.exitCode << ", \"" << outcome.output << "\"";
}

// What the program had done when the fault struck.
struct Phase {
    int probesDone = 0;       // probes that had reported their result
    int probeClass = -1;      // the class the current probe was searching, -1 outside a probe
    bool commandSent = false; // the change had traced its target: the writes were under way
    bool anyTrace = false;
};

Phase PhaseOf(const std::vector<std::string>& trace, std::size_t lines) {
    Phase phase;
    for (std::size_t i = 0; i < lines && i < trace.size(); ++i) {
        const std::string& line = trace[i];
        phase.anyTrace = true;
        if (line.rfind("pInPipe(", 0) == 0) {
            ++phase.probeClass;
        } else if (line.rfind("ProbeUsb(", 0) == 0) {
            ++phase.probesDone;
            phase.probeClass = -1;
        } else if (line.find(") IDCOMMCLASSTYPE\n") != std::string::npos) {
            phase.commandSent = true;
        }
    }
    return phase;
}

bool IsWrite(sim::Api api) {
    return api == sim::Api::CreateEventA || api == sim::Api::WriteFile;
}

std::string LookupProblem(const sim::System::FaultRecord& fault) {
    if (fault.api == sim::Api::RegOpenKeyExA) {
        return "Error Opening Key (HARDWARE\\DEVICEMAP\\SERIALCOMM)\n";
    }
    return "Error Querying Value (\\Device\\QZMPUSBPort0) = " + std::to_string(fault.error) + "\n";
}

// The port lookup reads the device key first; the serial port device map is the fallback. A
// fault that makes the fallback fail shows as its message.
bool SpoilsTheFallback(const sim::System::FaultRecord& fault, bool portInDeviceKey) {
    // With the port in the device key, a single fault never reaches the device map with
    // success left to spoil; without it, the device key's first query fails by itself.
    return !portInDeviceKey && (fault.api == sim::Api::RegOpenKeyExA ||
                                (fault.api == sim::Api::RegQueryValueExA && fault.nth >= 1));
}

} // namespace

class FaultCampaignTest : public SimMachineTest {
  protected:
    using Fault = sim::System::FaultRecord;
    // The outcome a run must have: `fault` is the failing call and `phase` where it struck, or
    // nullptr for the run without a fault.
    using Expectation = std::function<Outcome(const Fault* fault, const Phase& phase)>;

    Outcome RunProgram(std::vector<std::string> args) {
        Outcome outcome;
        outcome.output = RunOrvaneWith(std::move(args), &outcome.exitCode);
        return outcome;
    }

    // Runs the scenario once without faults to count its failable calls, then once per call
    // with that call failing with each error.
    void Campaign(const std::string& name, const std::function<void()>& setup,
                  const std::function<Outcome()>& run, const Expectation& expect) {
        sim::reset();
        setup();
        EXPECT_EQ(run(), expect(nullptr, Phase{})) << name << ", without a fault";
        const std::uint64_t calls = machine().failableCalls();
        EXPECT_GT(calls, 20u) << name;
        int runs = 0;
        for (DWORD error : {ERROR_GEN_FAILURE, ERROR_NO_MORE_ITEMS}) {
            for (std::uint64_t k = 0; k < calls; ++k) {
                sim::reset();
                setup();
                machine().failCallNumber(k, error);
                const Outcome outcome = run();
                const std::string where = name + ", fault " + std::to_string(k);
                ASSERT_EQ(machine().faultRecords().size(), 1u) << where;
                const Fault& fault = machine().faultRecords().front();
                EXPECT_EQ(outcome, expect(&fault, PhaseOf(trace(), fault.traceLines)))
                    << where << ": " << sim::ApiName(fault.api) << " #" << fault.nth;
                EXPECT_EQ(machine().openResources(), sim::Resources{}) << where;
                EXPECT_EQ(machine().badReleases, 0) << where;
                EXPECT_EQ(machine().blockedForever, 0) << where;
                ++runs;
            }
        }
        std::cout << name << ": " << calls << " failable calls, " << runs << " runs with a fault"
                  << std::endl;
    }
};

TEST_F(FaultCampaignTest, ModeQuery) {
    for (const bool portInDeviceKey : {true, false}) {
        Campaign(
            portInDeviceKey ? "MODE" : "MODE, port only in the device map",
            [&] {
                printer().attach(kCommClass);
                printer().portInDeviceKey = portInDeviceKey;
            },
            [&] { return RunProgram({"MODE"}); },
            [&](const Fault* fault, const Phase& phase) -> Outcome {
                if (fault == nullptr) {
                    return {0, "Comm Class USB = COM7\n"};
                }
                if (fault->api == sim::Api::GetModuleHandleA) {
                    return {1, ""};
                }
                if (phase.probeClass == kCommClass) {
                    return {2, "Error opening USB\n"};
                }
                if (phase.probesDone == 1 && SpoilsTheFallback(*fault, portInDeviceKey)) {
                    return {0, LookupProblem(*fault) + "Comm Class USB\n"};
                }
                return {0, "Comm Class USB = COM7\n"};
            });
    }
}

TEST_F(FaultCampaignTest, ConsoleChange) {
    for (const bool portInDeviceKey : {true, false}) {
        const std::string changed = "Now set to Comm Class USB\n";
        const Outcome normal{0, changed + "Comm Class USB virtual port = COM7\n"};
        const Outcome noPrinter{2, "Error opening USB\n"};
        const Outcome timeout{
            3, "Printer did not come back in Comm Class USB mode within 120 seconds\n"};
        Campaign(
            portInDeviceKey ? "COMMCLASS" : "COMMCLASS, port only in the device map",
            [&] {
                printer().attach(kNative);
                printer().restartMs = 3000;
                printer().portInDeviceKey = portInDeviceKey;
            },
            [&] {
                const Outcome outcome = RunProgram({"COMMCLASS"});
                EXPECT_LE(machine().now(), 135000u);
                return outcome;
            },
            [&](const Fault* fault, const Phase& phase) -> Outcome {
                if (fault == nullptr) {
                    return normal;
                }
                if (fault->api == sim::Api::GetModuleHandleA) {
                    return {1, ""};
                }
                if (phase.probesDone < 2 && phase.probeClass == kNative) {
                    return noPrinter; // both probes before the change find it in native mode
                }
                if ((phase.probesDone == 2 && !phase.commandSent) || IsWrite(fault->api)) {
                    // The command pipe did not open, or the printer missed part of the command.
                    return timeout;
                }
                if (phase.probesDone == 2 && phase.probeClass == kCommClass) {
                    return noPrinter; // back in comm class, and not found there
                }
                if (phase.probesDone == 3 && SpoilsTheFallback(*fault, portInDeviceKey)) {
                    return {0, changed + LookupProblem(*fault)};
                }
                return normal;
            });
    }
}

// The dialog's outcome: the status line after the change. Its windows make no calls here: the
// simulated machine has none.
TEST_F(FaultCampaignTest, DialogChange) {
    for (const bool portInDeviceKey : {true, false}) {
        Campaign(
            portInDeviceKey ? "dialog change" : "dialog change, port only in the device map",
            [&] {
                printer().attach(kNative);
                printer().restartMs = 2000;
                printer().portInDeviceKey = portInDeviceKey;
            },
            [&] {
                RunDialog({ScriptedDialog::Select(IDCOMMCLASSTYPE), ScriptedDialog::Change()});
                EXPECT_EQ(dialog.view.waitsOnScreen, 0) << "the wait window went";
                return Outcome{0, dialog.view.status};
            },
            [&](const Fault* fault, const Phase& phase) -> Outcome {
                const Outcome normal{0, "Comm Class USB = COM7"};
                if (fault == nullptr) {
                    return normal;
                }
                if (phase.probesDone == 1 && (!phase.commandSent || IsWrite(fault->api))) {
                    return {0, "No answer in Comm Class USB"};
                }
                if (phase.probesDone == 1 && phase.probeClass == kCommClass) {
                    return {0, "Error opening USB"};
                }
                if (phase.probesDone == 2 && SpoilsTheFallback(*fault, portInDeviceKey)) {
                    return {0, "Comm Class USB"};
                }
                return normal;
            });
    }
}
