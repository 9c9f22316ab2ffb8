// The simulated machine with Orvane's dialog templates and icon, and a way to script what
// the user does while a dialog runs modally.
#pragma once

#include "SimMachine.h"

#include <functional>
#include <vector>

class DialogTest : public SimMachineTest {
  protected:
    void SetUp() override;
    // Gives the simulated machine Orvane's dialog templates and icon.
    static void DefineDialogResources();

    using Step = std::function<void(HWND dialog)>;
    // Runs the main dialog modally; each time it waits for input, the next step runs. Expects
    // every step to run, unless `pStepsRun` asks how many did.
    INT_PTR RunMainDialog(std::vector<Step> steps, std::size_t* pStepsRun = nullptr);
    // Gives the dialogs that the program opens itself this script of what the user does; the
    // steps that ran are counted in stepsRun.
    void ScriptTheUser(std::vector<Step> steps);
    std::size_t stepsRun = 0;

    static Step Click(int controlId);
    static Step Command(int id, WORD code = BN_CLICKED);
    // Records the state of the main dialog and the wait window during the restart wait.
    struct DuringWait {
        bool seen = false;
        std::string changeText;
        bool changeEnabled = true;
        bool waitWindowVisible = false;
        std::string waitCaption;
    };
    void WatchTheWait(DuringWait* pState);

    sim::Window* Control(HWND dialog, int id) { return machine().windows().control(dialog, id); }
    std::string Status(HWND dialog);
    // The state of the dialog as the last step saw it.
    std::string lastStatus;
    std::vector<UINT> lastChecks;
    bool lastChangeEnabled = false;
    std::string lastChangeText;
    Step Snapshot();
};
