// Fault campaigns: every failable Win32 call of a whole operation is made to fail in turn.
// Each run must end, report one of the outcomes the operation knows, and release everything.
#include "app/windows/Program.h"
#include "device/UsbType.h"
#include "gui/MainDlg.h"
#include "gui/resources/resource.h"

#include "DialogFixture.h"

#include <functional>
#include <iostream>
#include <regex>
#include <set>

namespace {

struct Outcome {
    int exitCode = -1;
    std::string output;
};

const std::string kLookupError = "(Error Opening Key \\(HARDWARE\\\\DEVICEMAP\\\\SERIALCOMM\\)\\n|"
                                 "Error Querying Value \\(\\\\Device\\\\QZMPUSBPort0\\) = \\d+\\n)";

} // namespace

class FaultCampaignTest : public DialogTest {
  protected:
    Outcome RunProgram(std::vector<std::string> args) {
        Outcome outcome;
        outcome.output = RunOrvaneWith(std::move(args), &outcome.exitCode);
        return outcome;
    }

    // Runs `scenario` once without faults to count its failable calls, then once per call
    // with that call failing with each error. Returns the number of runs with a fault.
    template <typename Setup, typename Scenario>
    int Campaign(const char* name, Setup setup, Scenario scenario) {
        sim::reset();
        DefineDialogResources();
        setup();
        scenario(-1);
        const std::uint64_t calls = machine().failableCalls();
        EXPECT_GT(calls, 5u) << name;
        int runs = 0;
        for (DWORD error : {ERROR_GEN_FAILURE, ERROR_NO_MORE_ITEMS}) {
            for (std::uint64_t k = 0; k < calls; ++k) {
                sim::reset();
                DefineDialogResources();
                setup();
                machine().failCallNumber(k, error);
                scenario(static_cast<long>(k));
                EXPECT_EQ(machine().injectedFaults().size(), 1u) << name << " fault " << k;
                EXPECT_EQ(machine().openResources(), sim::Resources{}) << name << " fault " << k;
                EXPECT_EQ(machine().badReleases, 0) << name << " fault " << k;
                ++runs;
            }
        }
        std::cout << name << ": " << calls << " failable calls, " << runs << " runs with a fault"
                  << std::endl;
        RecordProperty(std::string(name) + "_fault_runs", runs);
        return runs;
    }
};

TEST_F(FaultCampaignTest, ModeQueryReportsOrSaysItCouldNot) {
    const std::regex allowed("(" + kLookupError +
                             "?Comm Class USB( = COM7)?\\n|Error opening USB\\n|)");
    Campaign(
        "MODE", [this] { printer().attach(IDCOMMCLASSTYPE); },
        [&](long fault) {
            const Outcome outcome = RunProgram({"MODE"});
            EXPECT_TRUE(std::regex_match(outcome.output, allowed))
                << "fault " << fault << ": " << outcome.output;
            EXPECT_TRUE(outcome.exitCode == 0 || outcome.exitCode == 1 || outcome.exitCode == 2)
                << "fault " << fault;
            EXPECT_EQ(outcome.exitCode == 2, outcome.output == "Error opening USB\n");
        });
}

TEST_F(FaultCampaignTest, ConsoleChangeEndsWithADecidedOutcome) {
    const std::regex changed("Now set to Comm Class USB\\n(Comm Class USB virtual port = COM7\\n|" +
                             kLookupError + ")");
    Campaign(
        "COMMCLASS",
        [this] {
            printer().attach(IDNATIVETYPE);
            printer().restartMs = 3000;
        },
        [&](long fault) {
            const Outcome outcome = RunProgram({"COMMCLASS"});
            switch (outcome.exitCode) {
            case 0:
                EXPECT_TRUE(std::regex_match(outcome.output, changed))
                    << "fault " << fault << ": " << outcome.output;
                EXPECT_EQ(printer().mode(), IDCOMMCLASSTYPE);
                break;
            case 1:
                EXPECT_EQ(outcome.output, "");
                break;
            case 2:
                EXPECT_EQ(outcome.output, "Error opening USB\n") << "fault " << fault;
                break;
            case 3:
                EXPECT_EQ(outcome.output,
                          "Printer did not come back in Comm Class USB mode within 120 seconds\n")
                    << "fault " << fault;
                break;
            default:
                ADD_FAILURE() << "fault " << fault << ": exit code " << outcome.exitCode;
            }
            EXPECT_LE(machine().now(), 125000u) << "fault " << fault;
        });
}

TEST_F(FaultCampaignTest, DialogChangeEndsWithTheDialogUsable) {
    const std::set<std::string> allowed = {"",
                                           "Comm Class USB = COM7",
                                           "Comm Class USB",
                                           "No answer in Comm Class USB",
                                           "Error opening USB",
                                           "Native USB"};
    Campaign(
        "dialog change",
        [this] {
            printer().attach(IDNATIVETYPE);
            printer().restartMs = 2000;
        },
        [&](long fault) {
            std::string status;
            bool changeEnabled = false;
            std::vector<Step> steps = {
                [](HWND dialog) {
                    PostMessageA(GetDlgItem(dialog, IDC_COMM_CLASS), BM_CLICK, 0, 0);
                },
                [](HWND dialog) { PostMessageA(GetDlgItem(dialog, IDC_CHANGE), BM_CLICK, 0, 0); },
                [&](HWND dialog) {
                    status = Control(dialog, IDC_STATUS)->text;
                    changeEnabled = Control(dialog, IDC_CHANGE)->enabled;
                },
                [](HWND dialog) { PostMessageA(GetDlgItem(dialog, IDC_CLOSE), BM_CLICK, 0, 0); }};
            std::size_t stepsRun = 0;
            RunMainDialog(steps, &stepsRun);
            EXPECT_TRUE(allowed.count(status) == 1) << "fault " << fault << ": " << status;
            if (stepsRun >= 3) {
                EXPECT_TRUE(changeEnabled) << "fault " << fault;
            }
            EXPECT_EQ(machine().windows().dialog(IDD_WAIT_DIALOG), nullptr);
        });
}
