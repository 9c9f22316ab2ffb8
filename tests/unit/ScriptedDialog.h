// The dialog face of Orvane on the simulated machine: the dialog's presenter over the backend
// that the entry hands it, with a recording view, and a script of what the user does. The
// simulated machine has no windows; the dialog's windows are tested under Wine
// (tests/e2e/cases/dialog.sh).
#pragma once

#include "RecordingView.h"
#include "app/windows/Program.h"

#include <functional>
#include <vector>

class ScriptedDialog : public DialogFace {
  public:
    using Step = std::function<void(ModeDialogPresenter&)>;

    BOOL Start(HINSTANCE hInstance, LPSTR) override {
        module = hInstance;
        return TRUE;
    }
    // Opens the dialog on `printer`, runs the steps in turn, and closes it.
    int Run(PrinterBackend& backend, const PrinterTarget& printer, SystemLog& log) override {
        ++runs;
        view = RecordingView{};
        ModeDialogPresenter presenter(backend, printer, view, &log);
        selected = presenter.Open();
        for (const Step& step : steps) {
            step(presenter);
        }
        selected = presenter.selectedMode();
        return 0; // as Close ends the dialog
    }

    static Step Select(UsbType mode) {
        return [mode](ModeDialogPresenter& presenter) { presenter.Select(mode); };
    }
    static Step Change() {
        return [](ModeDialogPresenter& presenter) { presenter.Change(); };
    }

    std::vector<Step> steps; // what the user does before Close
    HINSTANCE module = nullptr;
    int runs = 0;
    RecordingView view;              // what the last dialog showed
    UsbType selected = IDNATIVETYPE; // the radio button checked at its Close
};
