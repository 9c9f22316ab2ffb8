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

INT_PTR DialogTest::RunMainDialog(std::vector<Step> steps, std::size_t* pStepsRun) {
    std::size_t next = 0;
    machine().windows().onIdle = [&](HWND dialog) {
        if (next == steps.size()) {
            return false;
        }
        steps[next++](dialog);
        return true;
    };
    CMainDlg dlg;
    const INT_PTR result = dlg.DoModal();
    machine().windows().onIdle = nullptr;
    if (pStepsRun != nullptr) {
        *pStepsRun = next;
    } else {
        EXPECT_EQ(next, steps.size()) << "the dialog ended before every step ran";
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
