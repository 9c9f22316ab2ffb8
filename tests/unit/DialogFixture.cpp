#include "DialogFixture.h"

#include "RcTemplates.h"

#include "gui/MainDlg.h"
#include "gui/framework/AfxWin.h"
#include "gui/resources/resource.h"

void DialogTest::SetUp() {
    SimMachineTest::SetUp();
    DefineDialogResources();
}

void DialogTest::DefineDialogResources() {
    // The dialogs load their resources from the module that start-up hands the framework.
    AfxWinInit(sim::ExecutableModule(), nullptr, nullptr, 0);
    // The templates and icons of gui/resources/Orvane.rc, read out of it at build time.
    sim::Windows& windows = sim::machine().windows();
    for (const auto& [id, dialog] : rc::kDialogs) {
        windows.defineTemplate(id, dialog);
    }
    for (int id : rc::kIcons) {
        windows.defineResource(id);
    }
}

void DialogTest::ScriptTheUser(std::vector<Step> steps) {
    stepsRun = 0;
    machine().windows().onIdle = [this, steps = std::move(steps)](HWND dialog) {
        if (stepsRun == steps.size()) {
            return false;
        }
        steps[stepsRun++](dialog);
        return true;
    };
}

INT_PTR DialogTest::RunMainDialog(std::vector<Step> steps, std::size_t* pStepsRun) {
    const std::size_t count = steps.size();
    ScriptTheUser(std::move(steps));
    CMainDlg dlg(backend, PrinterTarget::FirstFound());
    const INT_PTR result = dlg.DoModal();
    machine().windows().onIdle = nullptr;
    if (pStepsRun != nullptr) {
        *pStepsRun = stepsRun;
    } else {
        EXPECT_EQ(stepsRun, count) << "the dialog ended before every step ran";
    }
    return result;
}

DialogTest::Step DialogTest::Click(int controlId) {
    return
        [controlId](HWND dialog) { PostMessageA(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0); };
}

DialogTest::Step DialogTest::Command(int id, WORD code) {
    return [id, code](HWND dialog) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), code), 0);
    };
}

std::string DialogTest::Status(HWND dialog) {
    return Control(dialog, IDC_STATUS)->text;
}

DialogTest::Step DialogTest::Snapshot() {
    return [this](HWND dialog) {
        lastStatus = Status(dialog);
        lastChecks = {Control(dialog, IDC_NATIVE_MODE)->checked,
                      Control(dialog, IDC_PRINTER_CLASS)->checked,
                      Control(dialog, IDC_COMM_CLASS)->checked};
        lastChangeEnabled = Control(dialog, IDC_CHANGE)->enabled;
        lastChangeText = Control(dialog, IDC_CHANGE)->text;
    };
}

void DialogTest::WatchTheWait(DuringWait* pState) {
    machine().onSleep = [this, pState] {
        sim::Window* main = machine().windows().dialog(IDD_MAIN_DIALOG);
        sim::Window* wait = machine().windows().dialog(IDD_WAIT_DIALOG);
        if (pState->seen || main == nullptr || wait == nullptr) {
            return;
        }
        pState->seen = true;
        pState->changeText = Control(main->handle, IDC_CHANGE)->text;
        pState->changeEnabled = Control(main->handle, IDC_CHANGE)->enabled;
        pState->waitWindowVisible = wait->visible;
        pState->waitCaption = wait->text;
    };
}
